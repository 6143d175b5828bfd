; The DOS stand-in emulator of the tests: a small MZ program (no PE header) that appends to
; C:\PCE.LOG, in the folder mounted as C:, three lines on how it was started:
;   tail=<its command tail as DOS gave it>
;   open=1 <up to 32 first bytes of the file named by the tail's last word>   or   open=0
;   cd=<number of CD-ROM drives MSCDEX reports> <letter of the first, or - without one>
; then exits. Built with: nasm -f bin -o PCE.EXE pce_dos.asm
bits 16

section header start=0
header_start:
    db 'MZ'
    dw file_size % 512                      ; bytes in the last page
    dw (file_size + 511) / 512              ; pages
    dw 0                                    ; relocations
    dw (header_end - header_start) / 16     ; header size in paragraphs
    dw 0x1000                               ; extra paragraphs: 64 KiB for data and stack
    dw 0xFFFF
    dw 0                                    ; SS, relative to the program
    dw 0xFFFE                               ; SP
    dw 0                                    ; checksum
    dw 0                                    ; IP
    dw 0                                    ; CS, relative to the program
    dw 0x1C                                 ; relocation table: right after these fields
    dw 0
    times 32 - ($ - header_start) db 0
header_end:

section code follows=header vstart=0
start:
    push cs
    pop ds
    mov [psp], es
    ; The command tail, from the PSP to `tail`; it ends at its CR.
    xor cx, cx
    mov cl, [es:0x80]
    mov si, 0x81
    mov di, tail
copy:
    jcxz copied
    mov al, [es:si]
    cmp al, 13
    je copied
    mov [di], al
    inc si
    inc di
    dec cx
    jmp copy
copied:
    mov byte [di], 0
    mov [tail_end], di

    ; The log: opened for writing and wound to its end, or created.
    mov dx, log_name
    mov ax, 0x3D01
    int 0x21
    jnc log_open
    mov dx, log_name
    mov ah, 0x3C
    xor cx, cx
    int 0x21
    jc done
log_open:
    mov [log], ax
    mov bx, ax
    mov ax, 0x4202
    xor cx, cx
    xor dx, dx
    int 0x21

    mov dx, text_tail
    mov cx, text_tail_length
    call write
    mov dx, tail
    mov cx, [tail_end]
    sub cx, tail
    call write
    mov dx, text_open
    mov cx, text_open_length
    call write

    ; The last word of the tail: after its last blank.
    mov si, [tail_end]
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
    jnc read_done
    xor ax, ax
read_done:
    mov [content_length], ax
    mov ah, 0x3E
    int 0x21
    mov bx, [log]
    mov dx, text_one
    mov cx, 2
    call write
    mov dx, content
    mov cx, [content_length]
    call write
    jmp cd_drives
not_opened:
    mov dx, text_zero
    mov cx, 1
    call write

cd_drives:
    ; MSCDEX: the number of CD-ROM drives in BX, the first one's drive number in CX.
    mov ax, 0x1500
    xor bx, bx
    xor cx, cx
    int 0x2F
    mov al, '0'
    add al, bl
    mov [cd_count], al
    mov al, '-'
    test bx, bx
    jz no_cd
    mov al, 'A'
    add al, cl
no_cd:
    mov [cd_letter], al
    mov dx, text_cd
    mov cx, text_cd_length
    call write

    mov bx, [log]
    mov ah, 0x3E
    int 0x21
done:
    mov ax, 0x4C00
    int 0x21

; Writes CX bytes at DS:DX to the log.
write:
    mov bx, [log]
    mov ah, 0x40
    int 0x21
    ret

log_name db 'C:\PCE.LOG', 0
text_tail db 'tail='
text_tail_length equ $ - text_tail
text_open db 13, 10, 'open='
text_open_length equ $ - text_open
text_one db '1 '
text_zero db '0'
text_cd db 13, 10, 'cd='
cd_count db '0', ' '
cd_letter db '-', 13, 10
text_cd_length equ $ - text_cd
code_end:

file_size equ (header_end - header_start) + (code_end - start)

section .bss nobits vfollows=code
psp resw 1
log resw 1
tail_end resw 1
content_length resw 1
tail resb 130
content resb 32
