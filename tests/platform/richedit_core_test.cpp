// The rich-text core on its own: position space, editing, the reader, the
// writer and line breaking with fixed character widths.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "platform/richedit/codepage.h"
#include "platform/richedit/document.h"
#include "platform/richedit/layout.h"
#include "platform/richedit/rtf.h"

using namespace zolrich;

namespace {

CharFormat base() {
    CharFormat f;
    f.setFace("Arial");
    f.height = 200;
    f.colour = 0x0000FF;
    f.charset = 204;
    return f;
}

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(ZOL_RTF_FIXTURES) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string allText(const Document& d) { return d.text(0, d.length()); }

// ---------------------------------------------------------------- positions

struct RangeCase {
    int32_t a, b;
    const char* text;
};

class PositionSpace : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PositionSpace, BreakCountsOnlyWhenBothPositionsAreInside) {
    // "ab" CR LF "" CR LF "c": positions a0 b1 CR2 LF3 CR4 LF5 c6, length 7.
    Document d = plainDocument("ab\r\n\nc", base());
    ASSERT_EQ(d.length(), 7);
    const RangeCase& c = GetParam();
    EXPECT_EQ(d.text(c.a, c.b), c.text);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PositionSpace,
                         ::testing::Values(RangeCase{0, 7, "ab\r\n\r\nc"}, RangeCase{2, 3, ""}, RangeCase{3, 4, ""},
                                           RangeCase{2, 4, "\r\n"}, RangeCase{1, 3, "b"}, RangeCase{3, 6, "\r\n"},
                                           RangeCase{6, 7, "c"}, RangeCase{7, 8, ""}, RangeCase{-5, 1, "a"},
                                           RangeCase{5, 2, "\r\n"}));

TEST(Document, LocateClampsAndNamesTheParagraph) {
    Document d = plainDocument("ab\r\ncd", base());
    EXPECT_EQ(d.locate(3).para, 0u);  // the LF belongs to the paragraph it ends
    EXPECT_EQ(d.locate(3).offset, 3);
    EXPECT_EQ(d.locate(4).para, 1u);
    EXPECT_EQ(d.locate(99).offset, 2);
    EXPECT_EQ(d.locate(-4).offset, 0);
}

struct ReplaceCase {
    const char* name;
    int32_t a, b;
    const char* insert;
    const char* result;
    int32_t caret;
};

class Replace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(Replace, TextAndCaret) {
    const ReplaceCase& c = GetParam();
    Document d = plainDocument("ab\r\ncd", base());
    int32_t caret = d.replace(c.a, c.b, plainDocument(c.insert, base()));
    EXPECT_EQ(allText(d), c.result);
    EXPECT_EQ(caret, c.caret);
    EXPECT_EQ(d.length(), static_cast<int32_t>(std::string(c.result).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, Replace,
    ::testing::Values(ReplaceCase{"insertAtStart", 0, 0, "X", "Xab\r\ncd", 1},
                      ReplaceCase{"joinParagraphs", 2, 4, "", "abcd", 2},
                      ReplaceCase{"halfABreakStays", 2, 3, "", "ab\r\ncd", 2},
                      ReplaceCase{"fromTheLineFeed", 3, 5, "", "ab\r\nd", 4},
                      ReplaceCase{"splitWithABreak", 1, 1, "1\r\n2", "a1\r\n2b\r\ncd", 5},
                      ReplaceCase{"replaceAll", 0, 6, "z", "z", 1},
                      ReplaceCase{"appendAtEnd", 6, 6, "\n", "ab\r\ncd\r\n", 8}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Document, ReplaceKeepsTheFormatsOnBothSides) {
    CharFormat red = base(), bold = base();
    red.colour = 0x0000FF;
    bold.effects = kBold;
    Document d(red);
    for (char c : std::string("abc")) d.appendChar(c, red);
    Document piece(bold);
    piece.appendChar('X', bold);
    d.replace(1, 2, piece);
    EXPECT_EQ(allText(d), "aXc");
    EXPECT_EQ(d.charFormat(0, 0), red);
    EXPECT_EQ(d.charFormat(0, 1), bold);
    EXPECT_EQ(d.charFormat(0, 2), red);
}

TEST(Document, EmptyParagraphTypesInItsMarkFormat) {
    Document d = readRichText("{\\rtf1 a\\par\\fs48\\par\\fs20 b}", base());
    ASSERT_EQ(d.paras.size(), 3u);
    EXPECT_EQ(d.formatAt(3).height, 480);  // the empty paragraph at position 3
    EXPECT_EQ(d.formatAt(1).height, 200);  // after "a"
}

// ---------------------------------------------------------------- reader

TEST(RtfReader, PlainTextWithoutTheHeaderOneParagraphPerLine) {
    Document d = readDocument("one\r\ntwo\nthree\rfour", base());
    EXPECT_EQ(d.paras.size(), 4u);
    EXPECT_EQ(allText(d), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(d.charFormat(2, 0), base());
    EXPECT_EQ(readDocument(" {\\rtf1 x}", base()).paras[0].text, " {\\rtf1 x}");
}

TEST(RtfReader, WordProcessorFile) {
    Document d = readRichText(fixture("wordprocessor.rtf"), base());
    ASSERT_EQ(d.paras.size(), 7u);
    EXPECT_EQ(d.paras[0].text, "Title line");
    EXPECT_EQ(d.paras[1].text, "Caf\xe9 and na\xefve text");
    EXPECT_EQ(d.paras[2].text, "\xcf\xf0\xe8\xe2\xe5\xf2 italic");
    EXPECT_EQ(d.paras[3].text, "Justified undergone");
    EXPECT_EQ(d.paras[4].text, "");
    EXPECT_EQ(d.paras[5].text, "\x97 dash");
    EXPECT_EQ(d.paras[6].text, "");

    EXPECT_EQ(d.paras[0].para.align, Align::Center);
    EXPECT_EQ(d.paras[1].para.align, Align::Left);
    EXPECT_EQ(d.paras[2].para.align, Align::Right);
    EXPECT_EQ(d.paras[3].para.align, Align::Justify);
    // \li720 \fi-360 \ri360: first line at 360, the rest 360 further.
    EXPECT_EQ(d.paras[1].para.startIndent, 360);
    EXPECT_EQ(d.paras[1].para.offset, 360);
    EXPECT_EQ(d.paras[1].para.rightIndent, 360);

    const CharFormat& title = d.charFormat(0, 0);
    EXPECT_EQ(title.faceName(), "Arial");
    EXPECT_EQ(title.height, 320);
    EXPECT_EQ(title.effects, static_cast<uint32_t>(kBold));
    EXPECT_EQ(title.colour, 0x0000FFu);
    EXPECT_EQ(title.pitchFamily, 0x22);
    const CharFormat& body = d.charFormat(1, 0);
    EXPECT_EQ(body.faceName(), "Times New Roman");
    EXPECT_EQ(body.colour, 0x008000u);
    EXPECT_EQ(body.pitchFamily, 0x12);
    const CharFormat& cyr = d.charFormat(2, 0);
    EXPECT_EQ(cyr.faceName(), "Courier New");
    EXPECT_EQ(cyr.charset, 204);
    EXPECT_EQ(cyr.height, 200);
    EXPECT_EQ(cyr.colour, 0xFF0000u);
    EXPECT_EQ(d.charFormat(2, 7).effects, static_cast<uint32_t>(kItalic));
    EXPECT_EQ(d.charFormat(2, 5).effects, 0u);
    EXPECT_EQ(d.charFormat(3, 10).effects, static_cast<uint32_t>(kUnderline));
    EXPECT_EQ(d.charFormat(3, 15).effects, static_cast<uint32_t>(kStrikeOut));
    EXPECT_EQ(d.charFormat(3, 0).effects, 0u);
    // \plain without \cf: the caller's default colour.
    EXPECT_EQ(d.charFormat(5, 0).colour, base().colour);
}

struct ReadCase {
    const char* name;
    const char* rtf;
    const char* text;
};

class RtfRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RtfRead, Characters) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(allText(readRichText(c.rtf, base())), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Text, RtfRead,
    ::testing::Values(
        ReadCase{"escapes", "{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        ReadCase{"hex", "{\\rtf1 \\'41\\'e9\\'4}", "A\xe9\x04"},
        ReadCase{"tabAndLine", "{\\rtf1 a\\tab b\\line c}", "a\tb\vc"},
        ReadCase{"newlinesInSourceIgnored", "{\\rtf1 a\r\nb\nc}", "abc"},
        ReadCase{"backslashNewlineIsAParagraph", "{\\rtf1 a\\\nb}", "a\r\nb"},
        ReadCase{"wordDelimiterSpaceEaten", "{\\rtf1 \\b  bold}", " bold"},
        ReadCase{"unicodeSkipsFallback", "{\\rtf1\\uc1 \\u1055?x}", "\xcfx"},
        ReadCase{"unicodeTwoFallbacks", "{\\rtf1\\uc2 \\u1055\\'3f\\'3fx}", "\xcfx"},
        ReadCase{"unicodeNotInCodePageKeepsFallback", "{\\rtf1\\uc1 \\u20013?x}", "?x"},
        ReadCase{"negativeUnicode", "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0\\uc1 \\u-3913?}", "\xb7"},
        ReadCase{"ignorableDestination", "{\\rtf1 a{\\*\\unknown {nested} b}c}", "ac"},
        ReadCase{"unknownDestinationIsText", "{\\rtf1 a{\\unknownword b}c}", "abc"},
        ReadCase{"infoAndStylesheetSkipped", "{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}x}", "x"},
        ReadCase{"pictureSkipped", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
        ReadCase{"binaryDataSkipped", "{\\rtf1 a{\\pict\\bin4 }{}\\}b}", "ab"},
        ReadCase{"fieldResultShown", "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "link"},
        ReadCase{"symbols", "{\\rtf1 \\emdash\\endash\\~\\lquote\\rquote}", "\x97\x96\xa0\x91\x92"},
        ReadCase{"textAfterDocumentIgnored", "{\\rtf1 a}trailing{\\b x}", "a"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(RtfReader, UnicodeIsReadInTheCodePageOfTheFont) {
    // The font table's character set decides which byte stands for it.
    Document d = readRichText(
        "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\uc1\\f0\\u233?\\f1\\u1099?}", base());
    EXPECT_EQ(d.paras[0].text, "\xe9\xfb");
    EXPECT_EQ(toUnicode(204, 0xFB), 0x044Bu);
    EXPECT_EQ(fromUnicode(0, 0x20AC), 0x80);
    EXPECT_EQ(fromUnicode(238, 0x0150), 0xD5);  // Central European Ő
    EXPECT_EQ(fromUnicode(0, 0x044B), -1);
}

TEST(RtfReader, DefaultsComeFromTheCallerAndTheDefaultFont) {
    Document d = readRichText(
        "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times;}{\\f1\\fswiss\\fprq2\\fcharset238 Verdana;}}"
        "{\\colortbl;\\red1\\green2\\blue3;}a\\f0\\cf1\\fs30 b\\plain c\\cf0 d}",
        base());
    ASSERT_EQ(d.paras[0].text, "abcd");
    EXPECT_EQ(d.charFormat(0, 0).faceName(), "Verdana");
    EXPECT_EQ(d.charFormat(0, 0).charset, 238);
    EXPECT_EQ(d.charFormat(0, 0).height, base().height);
    EXPECT_EQ(d.charFormat(0, 0).colour, base().colour);
    EXPECT_EQ(d.charFormat(0, 1).faceName(), "Times");
    EXPECT_EQ(d.charFormat(0, 1).colour, 0x030201u);
    EXPECT_EQ(d.charFormat(0, 1).height, 300);
    EXPECT_EQ(d.charFormat(0, 2).faceName(), "Verdana");  // \plain returns to the defaults
    EXPECT_EQ(d.charFormat(0, 2).height, base().height);
    EXPECT_EQ(d.charFormat(0, 3).colour, base().colour);  // \cf0 is "auto"
}

TEST(RtfReader, GroupsRestoreFormattingAndParagraphsTakeTheFormatAtTheirEnd) {
    Document d = readRichText("{\\rtf1 a{\\b b{\\i c}d}e\\par{\\qc\\li100 x\\par}y}", base());
    ASSERT_EQ(d.paras.size(), 3u);
    const uint32_t effects[] = {0, kBold, kBold | kItalic, kBold, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(d.charFormat(0, i).effects, effects[i]) << i;
    EXPECT_EQ(d.paras[1].para.align, Align::Center);
    EXPECT_EQ(d.paras[1].para.startIndent, 100);
    EXPECT_EQ(d.paras[2].para.align, Align::Left);
}

TEST(RtfReader, UnderlineVariantsAndUlnone) {
    Document d = readRichText("{\\rtf1 \\uldb a\\ulnone b\\ul c\\ul0 d\\strike e\\strike0 f}", base());
    const uint32_t effects[] = {kUnderline, 0, kUnderline, 0, kStrikeOut, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(d.charFormat(0, i).effects, effects[i]) << i;
}

// ---------------------------------------------------------------- malformed input

struct MalformedCase {
    const char* name;
    std::string rtf;
    const char* text;  // what is read of it
};

class RtfMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(RtfMalformed, ReadsWhatMakesSenseAndStops) {
    const MalformedCase& c = GetParam();
    Document d = readRichText(c.rtf, base());
    EXPECT_EQ(allText(d), c.text);
    // Never more characters than the input has bytes, never more formats.
    EXPECT_LE(static_cast<size_t>(d.length()), c.rtf.size() + 2);
    EXPECT_LE(d.formats.size(), c.rtf.size() + 2);
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RtfMalformed,
    ::testing::Values(
        MalformedCase{"unclosedGroups", "{\\rtf1 a{\\b b{\\i c", "abc"},
        MalformedCase{"extraClosingBraces", "{\\rtf1 a}}}}b", "a"},
        MalformedCase{"closingBeforeOpening", "}}{\\rtf1 a}", "a"},
        MalformedCase{"truncatedBackslash", "{\\rtf1 a\\", "a"},
        MalformedCase{"truncatedHex", "{\\rtf1 a\\'", "a"},
        MalformedCase{"truncatedHexDigit", "{\\rtf1 a\\'4", "a\x04"},
        MalformedCase{"badHexDigits", "{\\rtf1 a\\'zz}", "azz"},
        MalformedCase{"truncatedWord", "{\\rtf1 a\\fs", "a"},
        MalformedCase{"truncatedUnicode", "{\\rtf1 a\\u", "a"},
        MalformedCase{"truncatedFontTable", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        MalformedCase{"hugeNumbers", "{\\rtf1\\fs99999999999999999999 a\\cf-99999999999\\li99999999999999 b\\u99999999999c}",
                      "abc"},
        MalformedCase{"hugeBin", "{\\rtf1 a\\bin99999999999 bcd}", "a"},
        MalformedCase{"negativeBin", "{\\rtf1 a\\bin-5 b}", "ab"},
        MalformedCase{"hugeUc", "{\\rtf1\\uc999999 \\u1055 abcdefghijklmnopqrstuvwxyz}", "\xcfqrstuvwxyz"},
        MalformedCase{"longWord", "{\\rtf1 \\" + std::string(5000, 'x') + " a}", "a"},
        MalformedCase{"longDigits", "{\\rtf1 \\fs" + std::string(5000, '9') + " a}", "a"},
        MalformedCase{"deepNesting", "{\\rtf1 " + repeat("{\\b ", 100000) + "x" + repeat("}", 100000) + "y}", "xy"},
        MalformedCase{"deepUnbalanced", "{\\rtf1 " + repeat("{", 200000) + "z", "z"},
        MalformedCase{"nulBytes", std::string("{\\rtf1 a\0b\\'00c}", 16), "abc"},
        MalformedCase{"manyColours", "{\\rtf1{\\colortbl" + repeat(";", 100000) + "}\\cf99999 q}", "q"},
        MalformedCase{"manyFonts", "{\\rtf1{\\fonttbl" + repeat("{\\f7 X;}", 10000) + "}\\f7 q}", "q"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(RtfReader, DeepNestingKeepsOnlyABoundedStack) {
    // Formatting set beyond the kept depth still ends with its groups.
    std::string deep = "{\\rtf1 " + repeat("{", 500) + "\\b x" + repeat("}", 500) + "y}";
    Document d = readRichText(deep, base());
    ASSERT_EQ(d.paras[0].text, "xy");
    EXPECT_EQ(d.charFormat(0, 1).effects, 0u);
}

TEST(RtfReader, HugeSizesAreClampedIntoHalfPoints) {
    Document d = readRichText("{\\rtf1\\fs999999 a\\fs0 b\\fs-4 c\\fs25 d}", base());
    EXPECT_EQ(d.charFormat(0, 0).height, kMaxHeightTwips);
    EXPECT_EQ(d.charFormat(0, 1).height, kMinHeightTwips);
    EXPECT_EQ(d.charFormat(0, 2).height, kMinHeightTwips);
    EXPECT_EQ(d.charFormat(0, 3).height, 250);
}

// ---------------------------------------------------------------- round trip

struct RoundTripCase {
    const char* name;
    std::string source;  // read first, then written and read again
};

class RtfRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RtfRoundTrip, SameCharactersAndFormats) {
    Document first = readDocument(GetParam().source, base());
    std::string written = writeRichText(first);
    ASSERT_TRUE(isRichText(written));
    // Read back with a different default: nothing may depend on it.
    CharFormat other;
    other.setFace("Other");
    other.height = 480;
    other.colour = 0x123456;
    Document second = readRichText(written, other);
    EXPECT_TRUE(sameContent(first, second)) << written;
    // And writing is stable.
    EXPECT_EQ(writeRichText(second), written);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfRoundTrip,
    ::testing::Values(
        RoundTripCase{"plain", "Vellomarchen Quillarine"},
        RoundTripCase{"empty", ""},
        RoundTripCase{"trailingBreak", "a\r\n"},
        RoundTripCase{"emptyParagraphsWithOwnMarks", "{\\rtf1 a\\par\\fs60\\par\\fs14\\par\\cf0 b\\f0}"},
        RoundTripCase{"wordProcessor", fixture("wordprocessor.rtf")},
        RoundTripCase{"specialCharacters", "{\\rtf1 \\{\\}\\\\ \\tab\\line\\'01\\'ff;'\"}"},
        RoundTripCase{"fontNameSpecials",
                      "{\\rtf1{\\fonttbl{\\f0\\fdecor\\fprq3\\fcharset2 A\\'3bB\\'7bC\\'e9;}}\\f0 x}"},
        RoundTripCase{"offsets", "{\\rtf1 a\\up6 b\\dn4 c\\up0 d}"},
        RoundTripCase{"indentsAndAlignment",
                      "{\\rtf1\\pard\\qc\\li-100\\fi300\\ri50 a\\par\\pard\\qj b\\par\\pard\\qr\\par c}"},
        RoundTripCase{"allEffects", "{\\rtf1 \\b\\i\\ul\\strike x\\b0 y\\i0 z\\ulnone w\\strike0 v}"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(RtfWriter, PlainTextBreaksAreCrLf) {
    Document d = readRichText("{\\rtf1 a\\par b\\line c}", base());
    EXPECT_EQ(writePlainText(d), "a\r\nb\vc");
}

TEST(RtfWriter, NormalizeKeepsWhatRichTextCarries) {
    CharFormat f = base();
    f.effects = 0xFFFFFFFF;
    f.colour = 0xFF123456;
    f.height = 247;
    f.pitchFamily = 0xF7;
    CharFormat n = normalizeFormat(f);
    EXPECT_EQ(n.effects, 0xFu);
    EXPECT_EQ(n.colour, 0x123456u);
    EXPECT_EQ(n.height, 250);
    EXPECT_EQ(n.pitchFamily, 0x03);
}

// ---------------------------------------------------------------- layout

// Every character 10 pixels wide, a space 5, ascent 8 and descent 2; a
// format of height 400 twips has ascent 16.
class FixedMeasurer : public Measurer {
public:
    int32_t advance(uint32_t, const CharFormat&, unsigned char c) override { return c == ' ' ? 5 : 10; }
    FontMetrics metrics(uint32_t, const CharFormat& f) override {
        return f.height >= 400 ? FontMetrics{16, 4} : FontMetrics{8, 2};
    }
};

std::vector<std::string> lineTexts(const Document& d, const Layout& l) {
    std::vector<std::string> out;
    for (const Line& ln : l.lines) out.push_back(d.paras[ln.para].text.substr(ln.first, ln.count));
    return out;
}

struct WrapCase {
    const char* name;
    const char* text;
    int32_t width;
    bool wrap;
    std::vector<std::string> lines;
};

class LineBreaking : public ::testing::TestWithParam<WrapCase> {};

TEST_P(LineBreaking, Lines) {
    const WrapCase& c = GetParam();
    Document d = plainDocument(c.text, base());
    FixedMeasurer m;
    Layout l = layoutDocument(d, c.width, c.wrap, m);
    EXPECT_EQ(lineTexts(d, l), c.lines);
    // Soft wraps add no positions: consecutive lines of a paragraph abut.
    for (size_t i = 1; i < l.lines.size(); ++i) {
        if (l.lines[i].para != l.lines[i - 1].para) continue;
        EXPECT_EQ(l.lineStart(d, i), l.lineStart(d, i - 1) + l.lines[i - 1].count);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreaking,
    ::testing::Values(
        WrapCase{"fits", "abc def", 100, true, {"abc def"}},
        WrapCase{"wrapAtSpace", "abc def", 50, true, {"abc ", "def"}},
        WrapCase{"spacesHang", "ab    cd", 20, true, {"ab    ", "cd"}},
        WrapCase{"longWordBrokenBetweenCharacters", "abcdefg", 35, true, {"abc", "def", "g"}},
        WrapCase{"longWordAfterShort", "a bcdefgh", 40, true, {"a ", "bcde", "fgh"}},
        WrapCase{"zeroWidthOneCharacterALine", "ab c", 0, true, {"a", "b ", "c"}},
        WrapCase{"noWrap", "abc def ghi", 20, false, {"abc def ghi"}},
        WrapCase{"lineBreakCharacter", "ab\vcd", 500, true, {"ab\v", "cd"}},
        WrapCase{"lineBreakWithoutWrap", "ab\vcd", 5, false, {"ab\v", "cd"}},
        WrapCase{"emptyParagraphs", "a\r\n\r\nb\r\n", 100, true, {"a", "", "b", ""}},
        WrapCase{"tabToStop", "a\tb", 60, true, {"a\tb"}},
        WrapCase{"tabOverflows", "a\tbc", 60, true, {"a\t", "bc"}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Layout, TabsAdvanceToDefaultStopsEveryHalfInch) {
    EXPECT_EQ(tabAdvance(0), 48);
    EXPECT_EQ(tabAdvance(10), 38);
    EXPECT_EQ(tabAdvance(48), 48);
    EXPECT_EQ(tabAdvance(-7), 7);
    Document d = plainDocument("a\tb", base());
    FixedMeasurer m;
    Layout l = layoutDocument(d, 500, true, m);
    std::vector<int32_t> xs = lineOffsets(d, l.lines[0], m);
    EXPECT_EQ(xs, (std::vector<int32_t>{0, 10, 48, 58}));
}

TEST(Layout, IndentsNarrowTheLinesAndAlignmentPlacesThem) {
    // 300 twips = 20 pixels; right indent 150 twips = 10 pixels.
    ParaFormat pf;
    pf.startIndent = 300;
    pf.offset = -300;
    pf.rightIndent = 150;
    Document d = plainDocument("aaa bbb ccc", base(), pf);
    FixedMeasurer m;
    Layout l = layoutDocument(d, 80, true, m);
    // First line from 20 to 70: "aaa " (bbb would end at 85); then from 0.
    ASSERT_EQ(lineTexts(d, l), (std::vector<std::string>{"aaa ", "bbb ccc"}));
    EXPECT_EQ(l.lines[0].left, 20);
    EXPECT_EQ(l.lines[1].left, 0);
    EXPECT_EQ(l.lines[1].width, 65);

    for (auto [align, left] : {std::pair{Align::Center, 10}, std::pair{Align::Right, 20}}) {
        ParaFormat p2;
        p2.align = align;
        Document e = plainDocument("abcdefgh", base(), p2);
        Layout le = layoutDocument(e, 100, true, m);
        EXPECT_EQ(le.lines[0].left, left);
    }
}

TEST(Layout, JustifiedLinesSpreadOverTheirInnerSpaces) {
    ParaFormat pf;
    pf.align = Align::Justify;
    Document d = plainDocument("ab cd ef gh", base(), pf);
    FixedMeasurer m;
    Layout l = layoutDocument(d, 60, true, m);
    ASSERT_EQ(lineTexts(d, l), (std::vector<std::string>{"ab cd ", "ef gh"}));
    std::vector<int32_t> xs = lineOffsets(d, l.lines[0], m);
    // Visible width 45 in 60: the one inner space takes the 15 spare pixels.
    EXPECT_EQ(xs[3], 40);
    EXPECT_EQ(lineOffsets(d, l.lines[1], m)[3], 25);  // the last line stays flush left
}

TEST(Layout, LineHeightIsTallestAscentOverDeepestDescent) {
    Document d = readRichText("{\\rtf1 a\\fs40 b\\fs20 c\\par\\fs40\\par\\fs20 d}", base());
    FixedMeasurer m;
    Layout l = layoutDocument(d, 500, true, m);
    ASSERT_EQ(l.lines.size(), 3u);
    EXPECT_EQ(l.lines[0].height, 20);
    EXPECT_EQ(l.lines[1].height, 20);  // an empty line takes its mark's font
    EXPECT_EQ(l.lines[2].height, 10);
    EXPECT_EQ(l.lines[2].top, 40);
}

}  // namespace
