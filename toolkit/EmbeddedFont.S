/* Liberation Sans, the face drawn for "Arial", built into the library. */
    .section .rodata
    .global tavrel_embedded_font
    .hidden tavrel_embedded_font
    .global tavrel_embedded_font_end
    .hidden tavrel_embedded_font_end
    .balign 16
tavrel_embedded_font:
    .incbin TAVREL_FONT_FILE
tavrel_embedded_font_end:
    .byte 0
    .section .note.GNU-stack,"",@progbits
