; The DOS stand-in emulator of the tests: an MZ program (no newer header) that writes C:\PCE.LOG,
; in the folder mounted as C:, two lines, then exits: its command tail as DOS gave it, and the first
; 32 bytes (or fewer) of the file that the tail's last word names, or nothing where none opens.
; Built with: nasm -f bin -o PCE.EXE pce_dos.asm
bits 16

section header start=0
header_start:
    db 'MZ'
    dw file_size % 512, (file_size + 511) / 512     ; bytes in the last page, pages
    dw 0, (header_end - header_start) / 16          ; relocations, header paragraphs
    dw 0x1000, 0xFFFF                               ; 64 KiB more for data and stack
    dw 0, 0xFFFE, 0, 0, 0                           ; SS, SP, checksum, IP, CS
    dw 0x1C, 0                                      ; relocation table, overlay
    times 32 - ($ - header_start) db 0
header_end:

%macro log 2 ; writes %2 bytes at %1 to the log
    mov dx, %1
    mov cx, %2
    call write
%endmacro

section code follows=header vstart=0
start:
    mov si, 0x81                            ; the tail, from the PSP (DS and ES at start)
    xor cx, cx
    mov cl, [si - 1]
    push cs
    pop es
    mov di, tail
    cld
    rep movsb
    push cs
    pop ds
    mov byte [di], 0
    mov [tail_end], di
    mov dx, log_name
    mov ah, 0x3C                            ; the log, created
    xor cx, cx
    int 0x21
    jc done
    mov [handle], ax
    mov cx, [tail_end]
    sub cx, tail
    log tail, cx
    log new_line, 2
    mov si, [tail_end]
last_word:                                  ; after the tail's last blank
    cmp si, tail
    je open
    cmp byte [si - 1], ' '
    je open
    dec si
    jmp last_word
open:
    mov dx, si
    mov ax, 0x3D00
    int 0x21
    jc opened
    mov bx, ax
    mov ah, 0x3F
    mov cx, 32
    mov dx, content
    int 0x21
    jc opened
    log content, ax
opened:
    log new_line, 2
done:
    mov ax, 0x4C00                          ; DOS closes the files
    int 0x21

write:
    mov bx, [handle]
    mov ah, 0x40
    int 0x21
    ret

log_name db 'C:\PCE.LOG', 0
new_line db 13, 10
code_end:

file_size equ (header_end - header_start) + (code_end - start)

section .bss nobits vfollows=code
handle resw 1
tail_end resw 1
tail resb 130
content resb 32
