; The DOS stand-in emulator of the tests: an MZ program (no newer header) that writes C:\PCE.LOG,
; in the folder mounted as C:, two lines on how it was started, then exits:
;   tail=<its command tail as DOS gave it>
;   open=1 <up to 32 first bytes of the file named by the tail's last word>   or   open=0
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

section code follows=header vstart=0
start:
    ; The command tail, from the PSP (DS and ES at start) to `tail`.
    mov si, 0x81
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

    mov dx, log_name                        ; the log, created
    mov ah, 0x3C
    xor cx, cx
    int 0x21
    jc done
    mov [log], ax
    mov dx, text_tail
    mov cx, text_open - text_tail
    call write
    mov dx, tail
    mov cx, [tail_end]
    sub cx, dx
    call write
    mov dx, text_open
    mov cx, text_one - text_open
    call write

    mov si, [tail_end]                      ; the last word: after the tail's last blank
last_word:
    cmp si, tail
    je found_word
    cmp byte [si - 1], ' '
    je found_word
    dec si
    jmp last_word
found_word:
    mov dx, si
    mov ax, 0x3D00
    int 0x21
    jc not_opened
    mov bx, ax
    mov ah, 0x3F
    mov cx, 32
    mov dx, content
    int 0x21
    jnc was_read
    xor ax, ax
was_read:
    mov [content_length], ax
    mov ah, 0x3E
    int 0x21
    mov dx, text_one
    mov cx, 2
    call write
    mov dx, content
    mov cx, [content_length]
    call write
    jmp finish
not_opened:
    mov dx, text_zero
    mov cx, 1
    call write
finish:
    mov dx, text_end
    mov cx, 2
    call write
    mov bx, [log]
    mov ah, 0x3E
    int 0x21
done:
    mov ax, 0x4C00
    int 0x21

write: ; CX bytes at DS:DX to the log
    mov bx, [log]
    mov ah, 0x40
    int 0x21
    ret

log_name db 'C:\PCE.LOG', 0
text_tail db 'tail='
text_open db 13, 10, 'open='
text_one db '1 '
text_zero db '0'
text_end db 13, 10
code_end:

file_size equ (header_end - header_start) + (code_end - start)

section .bss nobits vfollows=code
log resw 1
tail_end resw 1
content_length resw 1
tail resb 130
content resb 32
