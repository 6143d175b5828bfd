; The tests' DOS stand-in emulator (nasm -f bin), an MZ program with no newer header: it writes
; C:\PCE.LOG, two lines: its command tail, and the first 32 bytes of the file the tail names last.
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
    mov byte [di], 0                        ; DI keeps the tail's end: DOS calls leave it
    mov dx, log_name                        ; the log, created
    mov ah, 0x3C
    xor cx, cx
    int 0x21
    jc done
    mov bp, ax                              ; the log's handle
    mov cx, di
    sub cx, tail
    log tail, cx
    log new_line, 2
    mov si, di
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
    mov bx, bp
    mov ah, 0x40
    int 0x21
    ret

log_name db 'C:\PCE.LOG', 0
new_line db 13, 10
code_end:

file_size equ (header_end - header_start) + (code_end - start)

section .bss nobits vfollows=code
tail resb 130
content resb 32
