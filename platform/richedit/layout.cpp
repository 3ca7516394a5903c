#include "platform/richedit/layout.h"

#include <algorithm>

namespace zolrich {

int32_t twipsToPixels(int64_t twips) {
    int64_t n = twips * kPixelsPerInch;
    int64_t q = (n >= 0 ? n + 720 : n - 720) / 1440;
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN / 4, INT32_MAX / 4));
}

int32_t clampPixels(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 4, INT32_MAX / 4));
}

int32_t tabAdvance(int32_t x) {
    const int32_t step = twipsToPixels(kDefaultTabTwips);
    int32_t stop = x < 0 ? 0 : (x / step + 1) * step;
    return stop - x;
}

size_t Layout::lineOf(const Document& doc, int32_t pos) const {
    Document::Place pl = doc.locate(pos);
    size_t a = firstLine[pl.para];
    size_t b = pl.para + 1 < firstLine.size() ? firstLine[pl.para + 1] : lines.size();
    // The last line of the paragraph whose first character is not after the offset.
    size_t best = a;
    for (size_t l = a; l < b; ++l) {
        if (lines[l].first <= pl.offset) best = l;
        else break;
    }
    // A position right after a wrapped line's last character starts the next line.
    return best;
}

namespace {

struct Breaker {
    const Document& doc;
    Measurer& m;
    int32_t width;
    bool wrap;
    Layout& out;
    int64_t top = 0;

    int32_t adv(size_t p, int32_t i, int64_t x) {
        const Paragraph& para = doc.paras[p];
        unsigned char c = static_cast<unsigned char>(para.text[i]);
        if (c == '\t') return tabAdvance(clampPixels(x));
        return m.advance(para.fmt[i], doc.formats[para.fmt[i]], c);
    }

    void paragraph(size_t p) {
        const Paragraph& para = doc.paras[p];
        const ParaFormat& pf = para.para;
        const int32_t n = static_cast<int32_t>(para.text.size());
        const int32_t firstIndent = twipsToPixels(pf.startIndent);
        const int32_t restIndent = twipsToPixels(static_cast<int64_t>(pf.startIndent) + pf.offset);
        const int64_t right = static_cast<int64_t>(width) - twipsToPixels(pf.rightIndent);
        out.firstLine.push_back(out.lines.size());
        int32_t i = 0;
        bool firstLine = true;
        do {
            const int32_t indent = std::max(firstLine ? firstIndent : restIndent, 0);
            int64_t x = indent;
            int32_t j = i;
            int32_t breakAt = -1;  // end of the last run of spaces, or after a tab
            bool forced = false;
            while (j < n) {
                unsigned char c = static_cast<unsigned char>(para.text[j]);
                if (c == static_cast<unsigned char>(kLineBreak)) {
                    ++j;
                    forced = true;
                    break;
                }
                int32_t a = adv(p, j, x);
                if (c == ' ') {  // spaces hang past the right edge
                    x += a;
                    ++j;
                    breakAt = j;
                    continue;
                }
                if (wrap && j > i && x + a > right) {
                    if (breakAt > i) j = breakAt;
                    break;
                }
                x += a;
                ++j;
                if (c == '\t') breakAt = j;
            }
            Line line;
            line.para = p;
            line.first = i;
            line.count = j - i;
            // Visible width: up to the last character before hanging spaces.
            int32_t k = j;
            while (k > i && (para.text[k - 1] == ' ' || para.text[k - 1] == kLineBreak)) --k;
            int64_t xx = indent;
            for (int32_t q = i; q < k; ++q) xx += adv(p, q, xx);
            line.width = clampPixels(xx - indent);
            line.endsParagraph = j >= n;
            // Alignment within the room the indents leave.
            const int32_t spare = clampPixels(std::max<int64_t>(right - indent - line.width, 0));
            line.left = indent;
            if (pf.align == Align::Center) line.left += spare / 2;
            else if (pf.align == Align::Right) line.left += spare;
            else if (pf.align == Align::Justify && wrap && !line.endsParagraph && !forced) {
                int32_t spaces = 0;
                for (int32_t q = i; q < k; ++q) spaces += para.text[q] == ' ';
                if (spaces > 0) {
                    line.justifyExtra = spare;
                    line.justifySpaces = spaces;
                }
            }
            // Height: the tallest ascent over the deepest descent on the line.
            FontMetrics best{};
            if (line.count == 0) {
                best = m.metrics(para.mark, doc.formats[para.mark]);
            } else {
                for (int32_t q = i; q < j; ++q) {
                    FontMetrics fm = m.metrics(para.fmt[q], doc.formats[para.fmt[q]]);
                    best.ascent = std::max(best.ascent, fm.ascent);
                    best.descent = std::max(best.descent, fm.descent);
                }
            }
            line.ascent = best.ascent;
            line.height = best.ascent + best.descent;
            line.top = clampPixels(top);
            top += line.height;
            out.lines.push_back(line);
            i = j;
            firstLine = false;
        } while (i < n);
    }
};

}  // namespace

Layout layoutDocument(const Document& doc, int32_t width, bool wrap, Measurer& m) {
    Layout out;
    Breaker b{doc, m, width, wrap, out};
    for (size_t p = 0; p < doc.paras.size(); ++p) b.paragraph(p);
    return out;
}

std::vector<int32_t> lineOffsets(const Document& doc, const Line& line, Measurer& m) {
    const Paragraph& para = doc.paras[line.para];
    std::vector<int32_t> xs;
    xs.reserve(static_cast<size_t>(line.count) + 1);
    int64_t x = line.left;
    int32_t spacesLeft = line.justifySpaces;
    int32_t extraLeft = line.justifyExtra;
    for (int32_t q = line.first; q < line.first + line.count; ++q) {
        xs.push_back(clampPixels(x));
        unsigned char c = static_cast<unsigned char>(para.text[q]);
        int32_t a = c == '\t' ? tabAdvance(clampPixels(x)) : m.advance(para.fmt[q], doc.formats[para.fmt[q]], c);
        if (c == ' ' && spacesLeft > 0) {
            int32_t share = extraLeft / spacesLeft;
            a += share;
            extraLeft -= share;
            --spacesLeft;
        }
        x += a;
    }
    xs.push_back(clampPixels(x));
    return xs;
}

}  // namespace zolrich
