// Display lines of a document at a width: word wrap at spaces, a word longer
// than a line broken between characters, or no wrapping; tabs to the
// default tab stops; indents and alignment. Lines are measured through a
// Measurer, so the breaking rules can be checked with fixed widths.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/richedit/document.h"

namespace zolrich {

inline constexpr int kPixelsPerInch = 96;
inline constexpr int32_t kDefaultTabTwips = 720;

// Twips to pixels at the screen's resolution, halves away from zero.
int32_t twipsToPixels(int64_t twips);

struct FontMetrics {
    int32_t ascent = 0;
    int32_t descent = 0;
};

class Measurer {
public:
    virtual ~Measurer() = default;
    // Advance of one character in the format, pixels.
    virtual int32_t advance(uint32_t formatId, const CharFormat& f, unsigned char c) = 0;
    virtual FontMetrics metrics(uint32_t formatId, const CharFormat& f) = 0;
};

struct Line {
    size_t para = 0;
    int32_t first = 0;   // offset of the first character in its paragraph
    int32_t count = 0;   // characters, trailing spaces and a line break included
    int32_t left = 0;    // x of the first character, indent and alignment applied
    int32_t width = 0;   // pixels from the first character to the last that is not a space
    int32_t top = 0;
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t justifyExtra = 0;  // pixels added over the line's inner spaces
    int32_t justifySpaces = 0;
    bool endsParagraph = false;
};

struct Layout {
    std::vector<Line> lines;
    std::vector<size_t> firstLine;  // per paragraph

    // The line that holds a position (a break belongs to the line it ends).
    size_t lineOf(const Document& doc, int32_t pos) const;
    int32_t lineStart(const Document& doc, size_t line) const {
        return doc.paraStart(lines[line].para) + lines[line].first;
    }
};

// Pixel values kept well inside the 32-bit range, so sums of them never wrap.
int32_t clampPixels(int64_t v);

// Advance of a tab that starts at pixel x: to the next default tab stop.
int32_t tabAdvance(int32_t x);

// wrap: break lines at `width` pixels; otherwise lines end only at
// paragraph ends and line-break characters.
Layout layoutDocument(const Document& doc, int32_t width, bool wrap, Measurer& m);

// x of each character of a line and of its end (count + 1 values).
std::vector<int32_t> lineOffsets(const Document& doc, const Line& line, Measurer& m);

}  // namespace zolrich
