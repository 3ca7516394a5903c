#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <tuple>

#include "platform/richedit/codepage.h"
#include "platform/richedit/rtf.h"

namespace zolrich {

namespace {

using FontKey = std::tuple<std::string, uint8_t, uint8_t>;

FontKey fontKey(const CharFormat& f) {
    return {std::string(f.faceName()), f.charset, f.pitchFamily};
}

const char* familyWord(uint8_t pitchFamily) {
    switch (pitchFamily & 0xF0) {
        case 0x10: return "\\froman";
        case 0x20: return "\\fswiss";
        case 0x30: return "\\fmodern";
        case 0x40: return "\\fscript";
        case 0x50: return "\\fdecor";
        default: return "\\fnil";
    }
}

void escaped(std::string& out, unsigned char c, bool inFontName) {
    char buf[8];
    if (c == '\\' || c == '{' || c == '}') {
        out.push_back('\\');
        out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c >= 0x80 || (inFontName && c == ';')) {
        std::snprintf(buf, sizeof buf, "\\'%02x", c);
        out += buf;
    } else {
        out.push_back(static_cast<char>(c));
    }
}

class Writer {
public:
    explicit Writer(const Document& d) : doc_(d) {}

    std::string run() {
        collect();
        out_ = "{\\rtf1\\ansi\\ansicpg";
        out_ += std::to_string(codePageOf(fontOrder_.empty() ? 0 : std::get<1>(fontOrder_[0])));
        out_ += "\\deff0{\\fonttbl";
        for (size_t i = 0; i < fontOrder_.size(); ++i) {
            const auto& [face, charset, pf] = fontOrder_[i];
            out_ += "{\\f" + std::to_string(i) + familyWord(pf) + "\\fprq" + std::to_string(pf & 3) +
                    "\\fcharset" + std::to_string(charset) + " ";
            for (unsigned char c : face) escaped(out_, c, true);
            out_ += ";}";
        }
        out_ += "}\r\n{\\colortbl ;";
        for (uint32_t c : colourOrder_) {
            out_ += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
                    "\\blue" + std::to_string((c >> 16) & 0xFF) + ";";
        }
        out_ += "}\r\n\\viewkind4\\uc1";
        for (size_t p = 0; p < doc_.paras.size(); ++p) {
            const Paragraph& para = doc_.paras[p];
            if (p == 0 || !(para.para == doc_.paras[p - 1].para)) paraWords(para.para);
            for (size_t i = 0; i < para.text.size(); ++i) {
                formatWords(doc_.charFormat(p, i));
                textChar(static_cast<unsigned char>(para.text[i]));
            }
            formatWords(doc_.markFormat(p));
            if (p + 1 < doc_.paras.size()) {
                out_ += "\\par\r\n";
                pendingSpace_ = false;
            }
        }
        out_ += "}\r\n";
        return std::move(out_);
    }

private:
    void collect() {
        auto add = [&](const CharFormat& f) {
            FontKey k = fontKey(f);
            if (!fontIds_.count(k)) {
                fontIds_[k] = fontOrder_.size();
                fontOrder_.push_back(k);
            }
            uint32_t c = f.colour & 0xFFFFFF;
            if (!colourIds_.count(c)) {
                colourIds_[c] = colourOrder_.size() + 1;
                colourOrder_.push_back(c);
            }
        };
        for (size_t p = 0; p < doc_.paras.size(); ++p) {
            for (size_t i = 0; i < doc_.paras[p].text.size(); ++i) add(doc_.charFormat(p, i));
            add(doc_.markFormat(p));
        }
    }

    void word(const std::string& w) {
        out_ += w;
        pendingSpace_ = true;
    }

    void paraWords(const ParaFormat& pf) {
        word("\\pard");
        switch (pf.align) {
            case Align::Center: word("\\qc"); break;
            case Align::Right: word("\\qr"); break;
            case Align::Justify: word("\\qj"); break;
            default: break;
        }
        int32_t fi = -pf.offset, li = pf.startIndent + pf.offset;
        if (li) word("\\li" + std::to_string(li));
        if (fi) word("\\fi" + std::to_string(fi));
        if (pf.rightIndent) word("\\ri" + std::to_string(pf.rightIndent));
    }

    void formatWords(const CharFormat& f) {
        const bool all = !current_;
        const CharFormat& c = all ? f : *current_;
        auto flag = [&](uint32_t bit, const char* on, const char* off) {
            if (all || (c.effects & bit) != (f.effects & bit)) word((f.effects & bit) ? on : off);
        };
        if (all || fontKey(c) != fontKey(f)) word("\\f" + std::to_string(fontIds_.at(fontKey(f))));
        if (all || c.height != f.height) word("\\fs" + std::to_string(f.height / 10));
        if (all || (c.colour & 0xFFFFFF) != (f.colour & 0xFFFFFF))
            word("\\cf" + std::to_string(colourIds_.at(f.colour & 0xFFFFFF)));
        flag(kBold, "\\b", "\\b0");
        flag(kItalic, "\\i", "\\i0");
        flag(kUnderline, "\\ul", "\\ulnone");
        flag(kStrikeOut, "\\strike", "\\strike0");
        if (all || c.offset != f.offset) {
            if (f.offset >= 0) word("\\up" + std::to_string(f.offset / 10));
            else word("\\dn" + std::to_string(-f.offset / 10));
        }
        current_ = f;
    }

    void textChar(unsigned char ch) {
        if (ch == '\t') {
            word("\\tab");
            return;
        }
        if (ch == static_cast<unsigned char>(kLineBreak)) {
            word("\\line");
            return;
        }
        if (pendingSpace_) {
            out_.push_back(' ');
            pendingSpace_ = false;
        }
        escaped(out_, ch, false);
    }

    const Document& doc_;
    std::string out_;
    bool pendingSpace_ = false;
    std::optional<CharFormat> current_;
    std::map<FontKey, size_t> fontIds_;
    std::vector<FontKey> fontOrder_;
    std::map<uint32_t, size_t> colourIds_;
    std::vector<uint32_t> colourOrder_;
};

}  // namespace

std::string writeRichText(const Document& doc) { return Writer(doc).run(); }

std::string writePlainText(const Document& doc) { return doc.text(0, doc.length()); }

CharFormat normalizeFormat(CharFormat f) {
    f.effects &= kEffectsMask;
    f.colour &= 0xFFFFFF;
    f.height = normalizeHeight(f.height);
    f.offset = static_cast<int32_t>(std::clamp(f.offset, -kMaxHeightTwips, kMaxHeightTwips) / 10 * 10);
    uint8_t family = f.pitchFamily & 0xF0;
    if (family > 0x50) family = 0;
    f.pitchFamily = static_cast<uint8_t>(family | (f.pitchFamily & 0x03));
    return f;
}

}  // namespace zolrich
