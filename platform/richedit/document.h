// The text a rich-text control holds: paragraphs of single-byte characters,
// each character with a character format, each paragraph with a paragraph
// format and the format of its paragraph mark (what an empty paragraph
// types and shows with).
//
// Position space: a character is one position; the break after every
// paragraph but the last is two (CR at the paragraph's end, LF after it).
// A break lies inside a range only when both its positions do.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zolrich {

// The line-break character (\line of rich text): it occupies one position
// and ends its display line, which it belongs to.
inline constexpr char kLineBreak = '\v';

enum Effect : uint32_t {
    kBold = 0x1,
    kItalic = 0x2,
    kUnderline = 0x4,
    kStrikeOut = 0x8,
    kEffectsMask = 0xF,
};

// Sizes are kept in half points (multiples of 10 twips), the unit rich text
// stores, so that what is written reads back the same.
inline constexpr int32_t kMinHeightTwips = 20;      // 1 point
inline constexpr int32_t kMaxHeightTwips = 32760;   // 1638 points
int32_t normalizeHeight(int64_t twips);

struct CharFormat {
    std::array<char, 32> face{};  // terminated, at most 31 characters
    int32_t height = 200;         // twips
    int32_t offset = 0;           // baseline offset, twips
    uint32_t effects = 0;
    uint32_t colour = 0;          // 0x00BBGGRR
    uint8_t charset = 0;
    uint8_t pitchFamily = 0;

    std::string_view faceName() const;
    void setFace(std::string_view name);
    bool operator==(const CharFormat&) const = default;
    auto operator<=>(const CharFormat&) const = default;
};

enum class Align : uint8_t { Left = 1, Right = 2, Center = 3, Justify = 4 };

struct ParaFormat {
    Align align = Align::Left;
    int32_t startIndent = 0;  // first line, twips
    int32_t rightIndent = 0;
    int32_t offset = 0;       // further lines relative to the first
    bool operator==(const ParaFormat&) const = default;
};

// Formats interned per document, so each character costs one index.
class FormatTable {
public:
    uint32_t intern(const CharFormat& f);
    const CharFormat& operator[](uint32_t id) const { return formats_[id]; }
    size_t size() const { return formats_.size(); }

private:
    std::vector<CharFormat> formats_;
    std::map<CharFormat, uint32_t> ids_;
};

struct Paragraph {
    std::string text;            // the characters, without the break
    std::vector<uint32_t> fmt;   // one format id per character
    uint32_t mark = 0;           // format of the paragraph mark
    ParaFormat para;
};

class Document {
public:
    // One empty paragraph in `mark`.
    explicit Document(const CharFormat& mark = CharFormat{});

    FormatTable formats;
    std::vector<Paragraph> paras;

    // Positions: the whole text, with two for each break.
    int32_t length() const;
    int32_t paraStart(size_t p) const;
    // The paragraph holding a position and the offset in it: 0 .. size is the
    // text and its CR position; size + 1 is the LF position. Positions past
    // the end clamp to the end.
    struct Place {
        size_t para;
        int32_t offset;
    };
    Place locate(int32_t pos) const;
    int32_t clamp(int32_t pos) const;

    // Appending while reading.
    void appendChar(char c, const CharFormat& f);
    void appendChar(char c, uint32_t id) {
        paras.back().text.push_back(c);
        paras.back().fmt.push_back(id);
    }
    // Ends the last paragraph with the given paragraph and mark format.
    void breakParagraph(const ParaFormat& pf, const CharFormat& mark);

    const CharFormat& charFormat(size_t p, size_t i) const { return formats[paras[p].fmt[i]]; }
    const CharFormat& markFormat(size_t p) const { return formats[paras[p].mark]; }

    // The characters of [a, b): a break gives CR LF when both its positions lie inside.
    std::string text(int32_t a, int32_t b) const;
    // A copy of [a, b) as a document of its own: the paragraphs the range
    // touches, cut at its ends; the last one keeps its paragraph's formats.
    Document slice(int32_t a, int32_t b) const;
    // Removes [a, b) and puts `piece` there; returns the position after the
    // inserted text. A break is removed only when both its positions are.
    int32_t replace(int32_t a, int32_t b, const Document& piece);

    // The format text typed at `pos` takes: the character before it in the
    // same paragraph, else the one at it, else the paragraph mark.
    const CharFormat& formatAt(int32_t pos) const;

    // Paragraphs whose text, or break, lies in [a, b] (at least the one of a).
    std::pair<size_t, size_t> paragraphsOf(int32_t a, int32_t b) const;

    // The paragraph list changed shape: positions are counted again.
    void invalidate() { startsValid_ = false; }

private:
    void countStarts() const;
    mutable std::vector<int32_t> starts_;
    mutable bool startsValid_ = false;
};

// Plain text: one paragraph per line (CR LF, LF or CR), all in `f`.
Document plainDocument(std::string_view text, const CharFormat& f, const ParaFormat& pf = {});

// Same characters, character formats, mark formats and paragraph formats.
bool sameContent(const Document& a, const Document& b);

}  // namespace zolrich
