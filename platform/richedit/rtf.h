// Rich text in and out of a document.
//
// The reader takes what rich-text controls and word processors write: the
// header and its code page, the default font, the font and colour tables,
// character formatting (\plain \b \i \ul \ulnone \strike \fs \f \cf \up \dn),
// paragraphs and their formatting (\pard \par \ql \qc \qr \qj \li \fi \ri),
// \tab, \line, hex escapes, \u with \uc, and it skips ignorable
// destinations, the information block, the style sheet and pictures.
// Whatever a file leaves unformatted takes the caller's default format.
// Malformed input is read as far as it makes sense: the reader never looks
// past its input, keeps a bounded group stack and makes at most one
// character per input byte.
#pragma once

#include <string>
#include <string_view>

#include "platform/richedit/document.h"

namespace zolrich {

// True when the data begins with the rich-text header "{\rtf".
bool isRichText(std::string_view data);

// Rich text when the data has the header, else plain text, one paragraph
// per line, in the default format.
Document readDocument(std::string_view data, const CharFormat& defaultFormat,
                      const ParaFormat& defaultPara = {});
Document readRichText(std::string_view data, const CharFormat& defaultFormat,
                      const ParaFormat& defaultPara = {});

// Rich text of the whole document; every character's format is written in
// full, so reading it back gives the same characters and formats whatever
// the reader's default format.
std::string writeRichText(const Document& doc);
// Plain text: the characters, CR LF between paragraphs.
std::string writePlainText(const Document& doc);

// Keeps only what rich text can carry of a format: effects bits 0-3, a
// 24-bit colour, sizes and offsets in half points, pitch 0-3 and the
// families rich text names.
CharFormat normalizeFormat(CharFormat f);

}  // namespace zolrich
