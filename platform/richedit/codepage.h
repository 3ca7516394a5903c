// Code pages of the character sets: how a character's byte reads as a
// Unicode character, and back.
#pragma once

#include <cstdint>

namespace zolrich {

// Windows code page number of a character set (1252 for ANSI and for any
// set without a code page of its own).
int codePageOf(uint8_t charset);
// The character set whose code page is `codePage`, 0 when there is none.
uint8_t charsetOfCodePage(int codePage);

// Unicode character of a byte in the character set; 0xFFFD when the code
// page leaves the byte undefined.
uint32_t toUnicode(uint8_t charset, uint8_t byte);
// The byte for a Unicode character in the character set, -1 when it has none.
int fromUnicode(uint8_t charset, uint32_t codePoint);

}  // namespace zolrich
