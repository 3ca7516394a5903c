#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "platform/richedit/codepage.h"
#include "platform/richedit/rtf.h"

namespace zolrich {

namespace {

// Deeper groups than this still balance their braces but share the state
// of the deepest one kept, so a flood of "{" costs no memory.
constexpr size_t kMaxDepth = 200;
constexpr int kMaxWordLetters = 32;
constexpr int32_t kMaxIndent = 100000;  // twips, about 70 inches
constexpr int kMaxSkipCount = 16;

enum class Dest : uint8_t { Text, FontTable, ColorTable, Skip };

struct FontEntry {
    std::string name;
    uint8_t charset = 0;
    uint8_t pitchFamily = 0;
};

struct State {
    CharFormat cf;
    Align align = Align::Left;
    int32_t li = 0, fi = 0, ri = 0;
    int uc = 1;
    Dest dest = Dest::Text;
    bool fontSet = false;  // \f seen since the last \plain
};

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool skippedDestination(std::string_view w) {
    static constexpr std::string_view kSkipped[] = {
        "info", "stylesheet", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "fldinst",
        "filetbl", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
        "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "pntext",
        "pntxta", "pntxtb", "bkmkstart", "bkmkend", "template", "private", "nonshppict",
        "shppict", "shp", "pgdsctbl", "listtext", "atnid", "atnauthor", "comment", "falt",
        "panose", "fname", "mmathPr", "wgrffmtfilter", "userprops", "docvar", "objdata",
        "result", "blipuid", "picprop", "xe", "tc", "txe", "rxe", "ftnsep", "ftnsepc",
        "aftnsep", "aftnsepc", "ftncn", "aftncn"};
    return std::find(std::begin(kSkipped), std::end(kSkipped), w) != std::end(kSkipped);
}

class Reader {
public:
    Reader(std::string_view data, const CharFormat& def, const ParaFormat& defPara)
        : in_(data), def_(def), defPara_(defPara), doc_(def) {
        plain_ = def_;
        State s;
        s.cf = def_;
        s.align = defPara.align;
        s.li = defPara.startIndent + defPara.offset;
        s.fi = -defPara.offset;
        s.ri = defPara.rightIndent;
        stack_.push_back(s);
    }

    Document run() {
        // The header's own "{" opens the document group.
        while (pos_ < in_.size() && !done_) step();
        finish();
        return std::move(doc_);
    }

private:
    State& st() { return stack_.back(); }

    void step() {
        unsigned char c = static_cast<unsigned char>(in_[pos_++]);
        switch (c) {
            case '{': openGroup(); break;
            case '}': closeGroup(); break;
            case '\\': controlWord(); break;
            case '\r':
            case '\n': break;
            default: textByte(c); break;
        }
    }

    void openGroup() {
        skip_ = 0;
        ++depth_;
        if (depth_ <= kMaxDepth) stack_.push_back(stack_.back());
    }

    void closeGroup() {
        skip_ = 0;
        if (depth_ == 0) return;  // a stray "}" before the document opened
        if (depth_ == 1) {
            done_ = true;  // the document group ends; what follows is not ours
            return;
        }
        if (depth_ <= kMaxDepth) {
            Dest leaving = st().dest;
            if (leaving == Dest::FontTable) commitFont();
            stack_.pop_back();
            if (leaving == Dest::FontTable && st().dest != Dest::FontTable) fontTableEnded();
        }
        --depth_;
    }

    // ------------------------------------------------------------ words

    void controlWord() {
        if (pos_ >= in_.size()) return;  // a lone backslash at the end
        unsigned char c = static_cast<unsigned char>(in_[pos_]);
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && isLetter(static_cast<unsigned char>(in_[pos_]))) {
            if (word.size() < kMaxWordLetters) word.push_back(in_[pos_]);
            ++pos_;
        }
        bool hasParam = false;
        bool negative = false;
        int64_t value = 0;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            isDigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(static_cast<unsigned char>(in_[pos_]))) {
            hasParam = true;
            // Saturates: a number of any length stays a number.
            value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT32_MAX);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        int32_t param = static_cast<int32_t>(negative ? -value : value);
        if (word == "bin") {
            // Raw bytes follow; they may hold anything, braces included.
            size_t n = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (skip_ > 0 && word != "u") {
            --skip_;
            return;
        }
        word_(word, hasParam, param);
    }

    void controlSymbol(unsigned char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}': textByte(c); return;
            case '\'': hexByte(); return;
            case '*': st().dest = Dest::Skip; return;
            case '~': unicodeChar(0xA0); return;
            case '_': unicodeChar('-'); return;
            case '\r':
            case '\n':
                if (skip_ > 0) {
                    --skip_;
                    return;
                }
                if (st().dest == Dest::Text) paragraph();
                return;
            default: return;  // \- \| \: and unknown symbols
        }
    }

    void hexByte() {
        int hi = pos_ < in_.size() ? hexValue(static_cast<unsigned char>(in_[pos_])) : -1;
        if (hi < 0) return;  // "\'" with no digits is dropped
        ++pos_;
        int lo = pos_ < in_.size() ? hexValue(static_cast<unsigned char>(in_[pos_])) : -1;
        int value = hi;
        if (lo >= 0) {
            ++pos_;
            value = hi * 16 + lo;
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        putByte(static_cast<unsigned char>(value), true);
    }

    void word_(const std::string& w, bool hasParam, int32_t param) {
        State& s = st();
        bool on = !hasParam || param != 0;
        if (s.dest == Dest::Skip) return;
        if (skippedDestination(w)) {
            s.dest = Dest::Skip;
            return;
        }
        if (w == "fonttbl") {
            s.dest = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            s.dest = Dest::ColorTable;
            colorPending_ = false;
            return;
        }
        if (s.dest == Dest::FontTable) {
            fontWord(w, hasParam, param);
            return;
        }
        if (s.dest == Dest::ColorTable) {
            int32_t v = std::clamp(param, 0, 255);
            if (w == "red") red_ = v, colorPending_ = true;
            else if (w == "green") green_ = v, colorPending_ = true;
            else if (w == "blue") blue_ = v, colorPending_ = true;
            return;
        }
        // Document properties.
        if (w == "ansicpg") {
            if (hasParam) docCharset_ = charsetOfCodePage(param);
        } else if (w == "mac") {
            docCharset_ = 77;
        } else if (w == "pc" || w == "pca") {
            docCharset_ = 255;
        } else if (w == "deff") {
            if (hasParam) deff_ = param;
            refreshPlain();
        }
        // Character formatting.
        else if (w == "plain") {
            s.cf = plain_;
            s.fontSet = false;
        } else if (w == "b") {
            setEffect(s.cf, kBold, on);
        } else if (w == "i") {
            setEffect(s.cf, kItalic, on);
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" ||
                   w == "ulth" || w == "ulwave" || w == "uldashd" || w == "ulhwave") {
            setEffect(s.cf, kUnderline, on);
        } else if (w == "ulnone") {
            setEffect(s.cf, kUnderline, false);
        } else if (w == "strike") {
            setEffect(s.cf, kStrikeOut, on);
        } else if (w == "fs") {
            s.cf.height = normalizeHeight(static_cast<int64_t>(hasParam ? param : 24) * 10);
        } else if (w == "f") {
            if (hasParam) {
                applyFont(s.cf, param);
                s.fontSet = true;
            }
        } else if (w == "cf") {
            s.cf.colour = colourOf(hasParam ? param : 0);
        } else if (w == "up" || w == "dn") {
            int64_t half = hasParam ? param : 6;
            int64_t twips = std::clamp<int64_t>(half * 10, -kMaxHeightTwips, kMaxHeightTwips);
            s.cf.offset = static_cast<int32_t>(w == "up" ? twips : -twips);
        }
        // Paragraph formatting.
        else if (w == "pard") {
            s.align = defPara_.align;
            s.li = defPara_.startIndent + defPara_.offset;
            s.fi = -defPara_.offset;
            s.ri = defPara_.rightIndent;
        } else if (w == "ql") {
            s.align = Align::Left;
        } else if (w == "qc") {
            s.align = Align::Center;
        } else if (w == "qr") {
            s.align = Align::Right;
        } else if (w == "qj") {
            s.align = Align::Justify;
        } else if (w == "li") {
            s.li = std::clamp(param, -kMaxIndent, kMaxIndent);
        } else if (w == "fi") {
            s.fi = std::clamp(param, -kMaxIndent, kMaxIndent);
        } else if (w == "ri") {
            s.ri = std::clamp(param, -kMaxIndent, kMaxIndent);
        }
        // Text.
        else if (w == "uc") {
            s.uc = std::clamp(param, 0, kMaxSkipCount);
        } else if (w == "u") {
            if (hasParam) unicode(param);
        } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
            paragraph();
        } else if (w == "tab" || w == "cell" || w == "nestcell") {
            putByte('\t', false);
        } else if (w == "line") {
            putByte(static_cast<unsigned char>(kLineBreak), false);
        } else if (w == "lquote") {
            unicodeChar(0x2018);
        } else if (w == "rquote") {
            unicodeChar(0x2019);
        } else if (w == "ldblquote") {
            unicodeChar(0x201C);
        } else if (w == "rdblquote") {
            unicodeChar(0x201D);
        } else if (w == "bullet") {
            unicodeChar(0x2022);
        } else if (w == "endash") {
            unicodeChar(0x2013);
        } else if (w == "emdash") {
            unicodeChar(0x2014);
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            unicodeChar(' ');
        }
        // Anything else is a word this reader has no use for.
    }

    static void setEffect(CharFormat& cf, uint32_t bit, bool on) {
        cf.effects = on ? (cf.effects | bit) : (cf.effects & ~bit);
    }

    // ------------------------------------------------------------ tables

    void fontWord(const std::string& w, bool hasParam, int32_t param) {
        if (w == "f") {
            commitFont();
            font_ = FontEntry{};
            font_.charset = docCharset_;
            fontNumber_ = hasParam ? param : 0;
            fontOpen_ = true;
            return;
        }
        if (w == "fcharset") font_.charset = static_cast<uint8_t>(std::clamp(param, 0, 255));
        else if (w == "fprq") font_.pitchFamily = static_cast<uint8_t>((font_.pitchFamily & 0xF0) | (std::clamp(param, 0, 3)));
        else if (w == "fnil") setFamily(0x00);
        else if (w == "froman") setFamily(0x10);
        else if (w == "fswiss") setFamily(0x20);
        else if (w == "fmodern") setFamily(0x30);
        else if (w == "fscript") setFamily(0x40);
        else if (w == "fdecor") setFamily(0x50);
        else if (w == "ftech" || w == "fbidi") setFamily(0x00);
    }
    void setFamily(uint8_t family) {
        font_.pitchFamily = static_cast<uint8_t>((font_.pitchFamily & 0x0F) | family);
    }

    void commitFont() {
        if (!fontOpen_) return;
        fontOpen_ = false;
        // Trailing blanks are not part of a face name.
        while (!font_.name.empty() && font_.name.back() == ' ') font_.name.pop_back();
        fonts_[fontNumber_] = font_;
    }

    void fontTableEnded() {
        refreshPlain();
        // Text that names no font of its own takes the default font.
        for (State& s : stack_)
            if (!s.fontSet) applyFont(s.cf, deff_);
    }

    void refreshPlain() {
        plain_ = def_;
        applyFont(plain_, deff_);
    }

    void applyFont(CharFormat& cf, int32_t number) {
        auto it = fonts_.find(number);
        if (it == fonts_.end()) return;
        cf.setFace(it->second.name);
        cf.charset = it->second.charset;
        cf.pitchFamily = it->second.pitchFamily;
    }

    uint32_t colourOf(int32_t index) const {
        if (index < 0 || static_cast<size_t>(index) >= colours_.size() || !colours_[index])
            return def_.colour;
        return *colours_[index];
    }

    // ------------------------------------------------------------ text

    void textByte(unsigned char c) {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        putByte(c, false);
    }

    // `escaped`: a byte given as \'hh, which may be any byte, ";" included.
    void putByte(unsigned char c, bool escaped) {
        State& s = st();
        switch (s.dest) {
            case Dest::Skip: return;
            case Dest::FontTable:
                if (c == ';' && !escaped) {
                    commitFont();
                } else if (fontOpen_ && c != '\r' && c != '\n' && c != '\0' &&
                           font_.name.size() < 31) {
                    font_.name.push_back(static_cast<char>(c));
                }
                return;
            case Dest::ColorTable:
                if (c == ';' && !escaped) {
                    if (colours_.size() < (1u << 16)) {
                        if (colorPending_)
                            colours_.push_back(static_cast<uint32_t>(red_ | (green_ << 8) | (blue_ << 16)));
                        else
                            colours_.push_back(std::nullopt);  // "auto": the default colour
                    }
                    red_ = green_ = blue_ = 0;
                    colorPending_ = false;
                }
                return;
            case Dest::Text:
                if (c == '\0') return;
                if (s.cf != lastFormat_ || !lastValid_) {
                    lastFormat_ = s.cf;
                    lastId_ = doc_.formats.intern(s.cf);
                    lastValid_ = true;
                }
                doc_.appendChar(static_cast<char>(c), lastId_);
                return;
        }
    }

    void unicode(int32_t value) {
        uint32_t cp = value < 0 ? static_cast<uint32_t>(value + 65536) : static_cast<uint32_t>(value);
        int b = fromUnicode(st().cf.charset, cp);
        if (b >= 0) {
            putByte(static_cast<unsigned char>(b), true);
            skip_ = st().uc;  // the stand-in characters that follow are not needed
        } else {
            skip_ = 0;  // no byte of our own: the stand-ins say it instead
        }
    }

    void unicodeChar(uint32_t cp) {
        int b = fromUnicode(st().cf.charset, cp);
        putByte(static_cast<unsigned char>(b >= 0 ? b : '?'), true);
    }

    ParaFormat paraFormat(const State& s) const {
        ParaFormat pf;
        pf.align = s.align;
        pf.startIndent = s.li + s.fi;
        pf.offset = -s.fi;
        pf.rightIndent = s.ri;
        return pf;
    }

    void paragraph() {
        if (st().dest != Dest::Text) return;
        doc_.breakParagraph(paraFormat(st()), st().cf);
    }

    void finish() {
        Paragraph& last = doc_.paras.back();
        last.para = paraFormat(st());
        last.mark = doc_.formats.intern(st().cf);
        doc_.invalidate();
    }

    std::string_view in_;
    size_t pos_ = 0;
    CharFormat def_;
    ParaFormat defPara_;
    CharFormat plain_;
    Document doc_;
    std::vector<State> stack_;
    size_t depth_ = 0;
    bool done_ = false;
    int skip_ = 0;

    uint8_t docCharset_ = 0;
    int32_t deff_ = 0;
    std::map<int32_t, FontEntry> fonts_;
    FontEntry font_;
    int32_t fontNumber_ = 0;
    bool fontOpen_ = false;

    std::vector<std::optional<uint32_t>> colours_;
    int32_t red_ = 0, green_ = 0, blue_ = 0;
    bool colorPending_ = false;

    CharFormat lastFormat_;
    uint32_t lastId_ = 0;
    bool lastValid_ = false;
};

}  // namespace

bool isRichText(std::string_view data) { return data.substr(0, 5) == "{\\rtf"; }

Document readRichText(std::string_view data, const CharFormat& defaultFormat,
                      const ParaFormat& defaultPara) {
    return Reader(data, defaultFormat, defaultPara).run();
}

Document readDocument(std::string_view data, const CharFormat& defaultFormat,
                      const ParaFormat& defaultPara) {
    if (isRichText(data)) return readRichText(data, defaultFormat, defaultPara);
    return plainDocument(data, defaultFormat, defaultPara);
}

}  // namespace zolrich
