#include "platform/richedit/document.h"

#include <algorithm>
#include <cstring>

namespace zolrich {

int32_t normalizeHeight(int64_t twips) {
    int64_t t = std::clamp<int64_t>(twips, kMinHeightTwips, kMaxHeightTwips);
    return static_cast<int32_t>((t + 5) / 10 * 10);
}

std::string_view CharFormat::faceName() const {
    return std::string_view(face.data(), strnlen(face.data(), face.size()));
}

void CharFormat::setFace(std::string_view name) {
    face.fill('\0');
    size_t n = std::min(name.size(), face.size() - 1);
    std::memcpy(face.data(), name.data(), n);
    // A face name never holds its own terminator in the middle.
    face[strnlen(face.data(), n)] = '\0';
}

uint32_t FormatTable::intern(const CharFormat& f) {
    auto it = ids_.find(f);
    if (it != ids_.end()) return it->second;
    uint32_t id = static_cast<uint32_t>(formats_.size());
    formats_.push_back(f);
    ids_.emplace(f, id);
    return id;
}

Document::Document(const CharFormat& mark) {
    paras.emplace_back();
    paras.back().mark = formats.intern(mark);
}

void Document::countStarts() const {
    if (startsValid_ && starts_.size() == paras.size()) return;
    starts_.resize(paras.size());
    int64_t pos = 0;
    for (size_t p = 0; p < paras.size(); ++p) {
        starts_[p] = static_cast<int32_t>(std::min<int64_t>(pos, INT32_MAX));
        pos += static_cast<int64_t>(paras[p].text.size()) + 2;
    }
    startsValid_ = true;
}

int32_t Document::length() const {
    countStarts();
    return starts_.back() + static_cast<int32_t>(paras.back().text.size());
}

int32_t Document::paraStart(size_t p) const {
    countStarts();
    return starts_[p];
}

int32_t Document::clamp(int32_t pos) const { return std::clamp(pos, 0, length()); }

Document::Place Document::locate(int32_t pos) const {
    pos = clamp(pos);
    countStarts();
    auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
    size_t p = static_cast<size_t>(it - starts_.begin()) - 1;
    return {p, pos - starts_[p]};
}

void Document::appendChar(char c, const CharFormat& f) { appendChar(c, formats.intern(f)); }

void Document::breakParagraph(const ParaFormat& pf, const CharFormat& mark) {
    paras.back().para = pf;
    paras.back().mark = formats.intern(mark);
    paras.emplace_back();
    paras.back().para = pf;
    paras.back().mark = paras[paras.size() - 2].mark;
    startsValid_ = false;
}

std::string Document::text(int32_t a, int32_t b) const {
    a = clamp(a);
    b = clamp(b);
    if (b < a) std::swap(a, b);
    std::string out;
    for (size_t p = locate(a).para; p < paras.size(); ++p) {
        int32_t s = paraStart(p);
        if (s >= b) break;
        int32_t n = static_cast<int32_t>(paras[p].text.size());
        int32_t from = std::max(a - s, 0), to = std::min(b - s, n);
        if (from < to) out.append(paras[p].text, from, to - from);
        if (p + 1 < paras.size() && a <= s + n && b >= s + n + 2) out += "\r\n";
    }
    return out;
}

Document Document::slice(int32_t a, int32_t b) const {
    a = clamp(a);
    b = clamp(b);
    if (b < a) std::swap(a, b);
    Document out;
    out.paras.clear();
    for (size_t p = locate(a).para; p < paras.size(); ++p) {
        int32_t s = paraStart(p);
        if (s > b) break;
        const Paragraph& src = paras[p];
        int32_t n = static_cast<int32_t>(src.text.size());
        Paragraph dst;
        int32_t from = std::max(a - s, 0), to = std::clamp(b - s, 0, n);
        for (int32_t i = from; i < to; ++i) {
            dst.text.push_back(src.text[i]);
            dst.fmt.push_back(out.formats.intern(formats[src.fmt[i]]));
        }
        dst.para = src.para;
        dst.mark = out.formats.intern(formats[src.mark]);
        out.paras.push_back(std::move(dst));
        bool breakInside = p + 1 < paras.size() && a <= s + n && b >= s + n + 2;
        if (!breakInside) break;
    }
    if (out.paras.empty()) {
        out.paras.emplace_back();
        out.paras.back().mark = out.formats.intern(formatAt(a));
    }
    out.invalidate();
    return out;
}

int32_t Document::replace(int32_t a, int32_t b, const Document& piece) {
    a = clamp(a);
    b = clamp(b);
    if (b < a) std::swap(a, b);
    // A range that starts or ends between CR and LF holds only half that
    // break, so the break stays: the start moves on past it, the end back
    // before it.
    auto atLineFeed = [&](int32_t pos) {
        Place pl = locate(pos);
        return pl.offset > static_cast<int32_t>(paras[pl.para].text.size());
    };
    if (atLineFeed(a)) ++a;
    if (atLineFeed(b)) --b;
    if (b < a) b = a;
    Place pa = locate(a), pb = locate(b);
    int32_t insertAt = paraStart(pa.para) + pa.offset;

    std::vector<uint32_t> remap(piece.formats.size());
    for (size_t i = 0; i < remap.size(); ++i) remap[i] = formats.intern(piece.formats[static_cast<uint32_t>(i)]);

    Paragraph& first = paras[pa.para];
    const Paragraph& last = paras[pb.para];
    Paragraph right;
    right.text = last.text.substr(pb.offset);
    right.fmt.assign(last.fmt.begin() + pb.offset, last.fmt.end());
    right.para = last.para;
    right.mark = last.mark;

    std::vector<Paragraph> made;
    made.reserve(piece.paras.size());
    int64_t inserted = 0;
    for (size_t q = 0; q < piece.paras.size(); ++q) {
        const Paragraph& src = piece.paras[q];
        Paragraph dst;
        if (q == 0) {
            dst.text = first.text.substr(0, pa.offset);
            dst.fmt.assign(first.fmt.begin(), first.fmt.begin() + pa.offset);
        }
        dst.text += src.text;
        for (uint32_t id : src.fmt) dst.fmt.push_back(remap[id]);
        inserted += static_cast<int64_t>(src.text.size()) + (q + 1 < piece.paras.size() ? 2 : 0);
        dst.para = src.para;
        dst.mark = remap[src.mark];
        made.push_back(std::move(dst));
    }
    if (made.empty()) {
        made.emplace_back();
        made.back().text = first.text.substr(0, pa.offset);
        made.back().fmt.assign(first.fmt.begin(), first.fmt.begin() + pa.offset);
    }
    Paragraph& tail = made.back();
    tail.text += right.text;
    tail.fmt.insert(tail.fmt.end(), right.fmt.begin(), right.fmt.end());
    tail.para = right.para;
    tail.mark = right.mark;

    paras.erase(paras.begin() + static_cast<std::ptrdiff_t>(pa.para),
                paras.begin() + static_cast<std::ptrdiff_t>(pb.para) + 1);
    paras.insert(paras.begin() + static_cast<std::ptrdiff_t>(pa.para),
                 std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    invalidate();
    return static_cast<int32_t>(std::min<int64_t>(insertAt + inserted, INT32_MAX));
}

const CharFormat& Document::formatAt(int32_t pos) const {
    Place pl = locate(pos);
    const Paragraph& para = paras[pl.para];
    int32_t o = std::min<int32_t>(pl.offset, static_cast<int32_t>(para.text.size()));
    if (o > 0) return formats[para.fmt[o - 1]];
    if (!para.text.empty()) return formats[para.fmt[0]];
    return formats[para.mark];
}

std::pair<size_t, size_t> Document::paragraphsOf(int32_t a, int32_t b) const {
    a = clamp(a);
    b = clamp(b);
    if (b < a) std::swap(a, b);
    size_t pa = locate(a).para;
    Place pb = locate(b);
    size_t last = pb.para;
    // A range that ends where a paragraph starts does not reach into it.
    if (b > a && pb.offset == 0 && last > pa) --last;
    return {pa, last};
}

Document plainDocument(std::string_view text, const CharFormat& f, const ParaFormat& pf) {
    Document d(f);
    d.paras.back().para = pf;
    uint32_t id = d.formats.intern(f);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            d.breakParagraph(pf, f);
        } else if (c != '\0') {
            d.appendChar(c, id);
        }
    }
    d.invalidate();
    return d;
}

bool sameContent(const Document& a, const Document& b) {
    if (a.paras.size() != b.paras.size()) return false;
    for (size_t p = 0; p < a.paras.size(); ++p) {
        const Paragraph &x = a.paras[p], &y = b.paras[p];
        if (x.text != y.text || !(x.para == y.para) || !(a.markFormat(p) == b.markFormat(p)))
            return false;
        for (size_t i = 0; i < x.text.size(); ++i)
            if (!(a.charFormat(p, i) == b.charFormat(p, i))) return false;
    }
    return true;
}

}  // namespace zolrich
