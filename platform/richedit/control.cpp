// The control's window class: one Control per window, reached through the
// window's user data, answering the messages of richedit.h.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "platform/richedit/gdi_measurer.h"
#include "platform/richedit/richedit.h"
#include "platform/richedit/rtf.h"

namespace zolrich {

namespace {

struct Clipboard {
    std::string text;
    std::string rich;
    bool hasRich = false;
};
Clipboard& clipboard() {
    static Clipboard c;
    return c;
}

CharFormat initialDefault() {
    CharFormat f;
    f.setFace("Arial");
    f.height = 200;
    f.colour = 0;
    f.charset = 0;
    f.pitchFamily = 0x22;  // variable pitch, Swiss
    return f;
}

CharFormat fromRecord(CharFormat base, const CHARFORMATA& r) {
    DWORD m = r.dwMask;
    uint32_t effectsMask = m & CFM_EFFECTS;
    base.effects = (base.effects & ~effectsMask) | (r.dwEffects & effectsMask);
    if (m & CFM_SIZE) base.height = r.yHeight;
    if (m & CFM_OFFSET) base.offset = r.yOffset;
    if (m & CFM_COLOR) base.colour = r.crTextColor;
    if (m & CFM_CHARSET) base.charset = r.bCharSet;
    if (m & CFM_PITCHANDFAMILY) base.pitchFamily = r.bPitchAndFamily;
    if (m & CFM_FACE) base.setFace(std::string_view(r.szFaceName, strnlen(r.szFaceName, sizeof r.szFaceName)));
    return normalizeFormat(base);
}

void toRecord(const CharFormat& f, DWORD mask, CHARFORMATA& r) {
    r.dwMask = mask;
    r.dwEffects = f.effects & kEffectsMask;
    r.yHeight = f.height;
    r.yOffset = f.offset;
    r.crTextColor = f.colour;
    r.bCharSet = f.charset;
    r.bPitchAndFamily = f.pitchFamily;
    std::memset(r.szFaceName, 0, sizeof r.szFaceName);
    std::string_view face = f.faceName();
    std::memcpy(r.szFaceName, face.data(), std::min(face.size(), sizeof r.szFaceName - 1));
}

DWORD difference(const CharFormat& a, const CharFormat& b) {
    DWORD m = 0;
    m |= (a.effects ^ b.effects) & CFM_EFFECTS;
    if (a.height != b.height) m |= CFM_SIZE;
    if (a.offset != b.offset) m |= CFM_OFFSET;
    if (a.colour != b.colour) m |= CFM_COLOR;
    if (a.charset != b.charset) m |= CFM_CHARSET;
    if (a.pitchFamily != b.pitchFamily) m |= CFM_PITCHANDFAMILY;
    if (a.faceName() != b.faceName()) m |= CFM_FACE;
    return m;
}

WORD alignWord(Align a) { return static_cast<WORD>(a); }

class Control {
public:
    explicit Control(HWND self) : self_(self), default_(initialDefault()), doc_(default_) {}

    LRESULT message(UINT msg, WPARAM wp, LPARAM lp);

private:
    // ------------------------------------------------------------ layout

    const Layout& layout() {
        RECT rc{};
        GetClientRect(self_, &rc);
        int32_t width = rc.right - rc.left;
        if (!layoutValid_ || width != layoutWidth_) {
            layout_ = layoutDocument(doc_, width, wrap_, measurer_);
            measurer_.endPass();
            layoutWidth_ = width;
            layoutValid_ = true;
        }
        return layout_;
    }
    void changed() { layoutValid_ = false; }
    void newDocument(Document d) {
        doc_ = std::move(d);
        measurer_.forget();
        changed();
    }

    // ------------------------------------------------------------ selection

    int32_t selMin() const { return std::min(selA_, selB_); }
    int32_t selMax() const { return std::max(selA_, selB_); }

    void select(int64_t a, int64_t b) {
        int32_t len = doc_.length();
        int32_t na = static_cast<int32_t>(std::clamp<int64_t>(a, 0, len));
        int32_t nb = static_cast<int32_t>(std::clamp<int64_t>(b, 0, len));
        bool moved = na != selA_ || nb != selB_;
        selA_ = na;
        selB_ = nb;
        if (moved) {
            pending_.reset();
            notify();
        }
    }
    void notify() {
        if (!(eventMask_ & ENM_SELCHANGE)) return;
        HWND parent = GetParent(self_);
        if (!parent) return;
        WORD id = static_cast<WORD>(GetWindowLongPtrA(self_, GWLP_ID));
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, EN_SELCHANGE), reinterpret_cast<LPARAM>(self_));
    }

    // What typing at the selection would take.
    CharFormat insertionFormat() const {
        if (pending_) return *pending_;
        int32_t a = selMin(), b = selMax();
        if (b > a) {
            Document::Place pl = doc_.locate(a);
            const Paragraph& para = doc_.paras[pl.para];
            if (pl.offset < static_cast<int32_t>(para.text.size())) return doc_.charFormat(pl.para, pl.offset);
        }
        return doc_.formatAt(a);
    }

    // Calls f(format id slot) for every character of [a, b) and the marks of
    // breaks inside it.
    template <class F>
    void forEachFormat(int32_t a, int32_t b, bool marks, F f) {
        for (size_t p = doc_.locate(a).para; p < doc_.paras.size(); ++p) {
            int32_t s = doc_.paraStart(p);
            if (s >= b) break;
            Paragraph& para = doc_.paras[p];
            int32_t n = static_cast<int32_t>(para.text.size());
            for (int32_t i = std::max(a - s, 0); i < std::min(b - s, n); ++i) f(para.fmt[i]);
            if (marks && p + 1 < doc_.paras.size() && a <= s + n && b >= s + n + 2) f(para.mark);
        }
    }

    void replaceSelection(const Document& piece) {
        int32_t end = doc_.replace(selMin(), selMax(), piece);
        changed();
        pending_.reset();
        selA_ = selB_ = -1;  // always report the new caret
        select(end, end);
    }

    Document plainPiece(std::string_view text) const {
        ParaFormat pf = doc_.paras[doc_.locate(selMin()).para].para;
        return plainDocument(text, insertionFormat(), pf);
    }

    // ------------------------------------------------------------ messages

    LRESULT getCharFormat(WPARAM which, CHARFORMATA* r);
    LRESULT setCharFormat(WPARAM which, const CHARFORMATA* r);
    LRESULT getParaFormat(PARAFORMAT* r);
    LRESULT setParaFormat(const PARAFORMAT* r);
    LRESULT streamIn(WPARAM flags, EDITSTREAM* es);
    LRESULT streamOut(WPARAM flags, EDITSTREAM* es);
    LRESULT posFromChar(POINT* pt, int32_t pos);
    LRESULT charFromPos(const POINT* pt);
    int32_t lineFromChar(int64_t pos);

    static LRESULT copyOut(const std::string& s, char* buffer, size_t capacity, bool terminate) {
        if (!buffer || capacity == 0) return 0;
        size_t n = std::min(s.size(), terminate ? capacity - 1 : capacity);
        std::memcpy(buffer, s.data(), n);
        if (terminate) buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }

    HWND self_;
    CharFormat default_;
    Document doc_;
    int32_t selA_ = 0, selB_ = 0;
    std::optional<CharFormat> pending_;
    bool wrap_ = true;
    DWORD eventMask_ = 0;
    DWORD background_ = 0x00FFFFFF;
    Layout layout_;
    bool layoutValid_ = false;
    int32_t layoutWidth_ = 0;
    GdiMeasurer measurer_;
};

LRESULT Control::getCharFormat(WPARAM which, CHARFORMATA* r) {
    if (!r || r->cbSize != sizeof(CHARFORMATA)) return 0;
    if (which == SCF_DEFAULT) {
        toRecord(default_, CFM_ALL, *r);
        return CFM_ALL;
    }
    int32_t a = selMin(), b = selMax();
    std::optional<uint32_t> first;
    DWORD mask = CFM_ALL;
    forEachFormat(a, b, false, [&](uint32_t& id) {
        if (!first) first = id;
        else if (id != *first) mask &= ~difference(doc_.formats[*first], doc_.formats[id]);
    });
    if (!first) {
        toRecord(insertionFormat(), CFM_ALL, *r);
        return CFM_ALL;
    }
    toRecord(doc_.formats[*first], mask, *r);
    return mask;
}

LRESULT Control::setCharFormat(WPARAM which, const CHARFORMATA* r) {
    if (!r || r->cbSize != sizeof(CHARFORMATA)) return 0;
    if (which == SCF_DEFAULT) {
        default_ = fromRecord(default_, *r);
        // An empty text shows and types in the default format.
        if (doc_.length() == 0) doc_.paras[0].mark = doc_.formats.intern(default_);
        changed();
        return 1;
    }
    int32_t a = which == SCF_ALL ? 0 : selMin();
    int32_t b = which == SCF_ALL ? doc_.length() : selMax();
    if (which == SCF_SELECTION && a == b) {
        pending_ = fromRecord(insertionFormat(), *r);
        Paragraph& para = doc_.paras[doc_.locate(a).para];
        if (para.text.empty()) {
            para.mark = doc_.formats.intern(*pending_);
            changed();
        }
        return 1;
    }
    FormatTable& table = doc_.formats;
    forEachFormat(a, b, true, [&](uint32_t& id) { id = table.intern(fromRecord(table[id], *r)); });
    if (which == SCF_ALL)
        for (Paragraph& para : doc_.paras) para.mark = table.intern(fromRecord(table[para.mark], *r));
    changed();
    return 1;
}

LRESULT Control::getParaFormat(PARAFORMAT* r) {
    if (!r || r->cbSize != sizeof(PARAFORMAT)) return 0;
    auto [p0, p1] = doc_.paragraphsOf(selMin(), selMax());
    const ParaFormat& f = doc_.paras[p0].para;
    DWORD mask = PFM_ALL;
    for (size_t p = p0 + 1; p <= p1; ++p) {
        const ParaFormat& g = doc_.paras[p].para;
        if (g.align != f.align) mask &= ~PFM_ALIGNMENT;
        if (g.startIndent != f.startIndent) mask &= ~PFM_STARTINDENT;
        if (g.rightIndent != f.rightIndent) mask &= ~PFM_RIGHTINDENT;
        if (g.offset != f.offset) mask &= ~PFM_OFFSET;
    }
    r->dwMask = mask;
    r->wAlignment = alignWord(f.align);
    r->wReserved = 0;
    r->dxStartIndent = f.startIndent;
    r->dxRightIndent = f.rightIndent;
    r->dxOffset = f.offset;
    return mask;
}

LRESULT Control::setParaFormat(const PARAFORMAT* r) {
    if (!r || r->cbSize != sizeof(PARAFORMAT)) return 0;
    if ((r->dwMask & PFM_ALIGNMENT) && (r->wAlignment < PFA_LEFT || r->wAlignment > PFA_JUSTIFY))
        return 0;
    constexpr LONG kLimit = 100000;
    auto [p0, p1] = doc_.paragraphsOf(selMin(), selMax());
    for (size_t p = p0; p <= p1; ++p) {
        ParaFormat& f = doc_.paras[p].para;
        if (r->dwMask & PFM_ALIGNMENT) f.align = static_cast<Align>(r->wAlignment);
        if (r->dwMask & PFM_STARTINDENT) f.startIndent = std::clamp(r->dxStartIndent, -kLimit, kLimit);
        if (r->dwMask & PFM_RIGHTINDENT) f.rightIndent = std::clamp(r->dxRightIndent, -kLimit, kLimit);
        if (r->dwMask & PFM_OFFSET) f.offset = std::clamp(r->dxOffset, -kLimit, kLimit);
    }
    changed();
    return 1;
}

LRESULT Control::streamIn(WPARAM flags, EDITSTREAM* es) {
    if (!es || !es->pfnCallback) return 0;
    es->dwError = 0;
    std::string data;
    try {
        BYTE buf[4096];
        for (;;) {
            LONG got = 0;
            DWORD err = es->pfnCallback(es->dwCookie, buf, sizeof buf, &got);
            if (err) {
                es->dwError = err;
                return 0;  // the text stays as it was
            }
            if (got <= 0) break;
            data.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(std::min<LONG>(got, sizeof buf)));
        }
        Document piece = (flags & SF_RTF) ? readDocument(data, (flags & SFF_SELECTION) ? insertionFormat() : default_)
                                          : ((flags & SFF_SELECTION) ? plainPiece(data) : plainDocument(data, default_));
        int32_t read = piece.length();
        if (flags & SFF_SELECTION) {
            replaceSelection(piece);
        } else {
            newDocument(std::move(piece));
            pending_.reset();
            selA_ = selB_ = -1;
            select(0, 0);
        }
        return read;
    } catch (const std::bad_alloc&) {
        es->dwError = ZOL_STREAM_NO_MEMORY;
        return 0;
    }
}

LRESULT Control::streamOut(WPARAM flags, EDITSTREAM* es) {
    if (!es || !es->pfnCallback) return 0;
    es->dwError = 0;
    std::string out;
    if (flags & SFF_SELECTION) {
        Document piece = doc_.slice(selMin(), selMax());
        out = (flags & SF_RTF) ? writeRichText(piece) : writePlainText(piece);
    } else {
        out = (flags & SF_RTF) ? writeRichText(doc_) : writePlainText(doc_);
    }
    size_t done = 0;
    while (done < out.size()) {
        LONG chunk = static_cast<LONG>(std::min<size_t>(out.size() - done, 4096));
        LONG taken = 0;
        DWORD err = es->pfnCallback(es->dwCookie, reinterpret_cast<BYTE*>(out.data() + done), chunk, &taken);
        if (err) {
            es->dwError = err;
            break;
        }
        if (taken <= 0) break;
        done += static_cast<size_t>(std::min(taken, chunk));
    }
    return static_cast<LRESULT>(done);
}

int32_t Control::lineFromChar(int64_t pos) {
    const Layout& l = layout();
    int32_t p = pos < 0 ? selMin() : static_cast<int32_t>(std::min<int64_t>(pos, doc_.length()));
    return static_cast<int32_t>(l.lineOf(doc_, p));
}

LRESULT Control::posFromChar(POINT* pt, int32_t pos) {
    if (!pt || pos < 0 || pos > doc_.length()) return 0;
    const Layout& l = layout();
    size_t li = l.lineOf(doc_, pos);
    const Line& line = l.lines[li];
    std::vector<int32_t> xs = lineOffsets(doc_, line, measurer_);
    measurer_.endPass();
    int32_t k = std::clamp(doc_.locate(pos).offset - line.first, 0, line.count);
    pt->x = xs[static_cast<size_t>(k)];
    pt->y = line.top;
    return 1;
}

LRESULT Control::charFromPos(const POINT* pt) {
    if (!pt) return 0;
    const Layout& l = layout();
    size_t li = 0;
    while (li + 1 < l.lines.size() && l.lines[li + 1].top <= pt->y) ++li;
    const Line& line = l.lines[li];
    std::vector<int32_t> xs = lineOffsets(doc_, line, measurer_);
    measurer_.endPass();
    int32_t start = l.lineStart(doc_, li);
    for (int32_t q = 0; q < line.count; ++q) {
        int32_t mid = (xs[q] + xs[q + 1]) / 2;
        if (pt->x < mid) return start + q;
    }
    // Past the end of a wrapped line's text: before its last character's successor.
    bool soft = !line.endsParagraph && line.count > 0;
    return start + line.count - (soft ? 1 : 0);
}

LRESULT Control::message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case EM_GETSEL: {
            if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(selMin());
            if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(selMax());
            if (selMax() > 0xFFFF) return -1;
            return static_cast<LRESULT>(selMin() | (selMax() << 16));
        }
        case EM_SETSEL: {
            int64_t a = static_cast<int32_t>(static_cast<intptr_t>(wp));
            int64_t b = static_cast<int32_t>(lp);
            if (a == -1) {
                select(selMin(), selMin());
                return 0;
            }
            if (b == -1) b = doc_.length();
            select(a, b);
            return 0;
        }
        case EM_EXGETSEL: {
            auto* r = reinterpret_cast<CHARRANGE*>(lp);
            if (r) *r = {selMin(), selMax()};
            return 0;
        }
        case EM_EXSETSEL: {
            auto* r = reinterpret_cast<const CHARRANGE*>(lp);
            if (!r) return selMax();
            if (r->cpMin < 0) {
                select(selMax(), selMax());
            } else {
                select(r->cpMin, r->cpMax < 0 ? doc_.length() : r->cpMax);
            }
            return selMax();
        }
        case EM_GETSELTEXT: {
            std::string s = doc_.text(selMin(), selMax());
            size_t cap = wp ? static_cast<size_t>(wp) : s.size() + 1;
            return copyOut(s, reinterpret_cast<char*>(lp), cap, true);
        }
        case EM_REPLACESEL: {
            const char* text = reinterpret_cast<const char*>(lp);
            replaceSelection(plainPiece(text ? text : ""));
            return 0;
        }
        case EM_GETLINECOUNT: return static_cast<LRESULT>(layout().lines.size());
        case EM_LINEINDEX: {
            const Layout& l = layout();
            int64_t line = static_cast<int32_t>(static_cast<intptr_t>(wp));
            if (line == -1) line = l.lineOf(doc_, selMin());
            if (line < 0 || line >= static_cast<int64_t>(l.lines.size())) return -1;
            return l.lineStart(doc_, static_cast<size_t>(line));
        }
        case EM_LINELENGTH: {
            int64_t pos = static_cast<int32_t>(static_cast<intptr_t>(wp));
            if (pos > doc_.length()) return 0;
            const Layout& l = layout();
            return l.lines[l.lineOf(doc_, pos < 0 ? selMin() : static_cast<int32_t>(pos))].count;
        }
        case EM_LINEFROMCHAR: return lineFromChar(static_cast<int32_t>(static_cast<intptr_t>(wp)));
        case EM_EXLINEFROMCHAR: return lineFromChar(static_cast<int32_t>(lp));
        case EM_GETLINE: {
            const Layout& l = layout();
            auto* buf = reinterpret_cast<char*>(lp);
            int64_t line = static_cast<int32_t>(static_cast<intptr_t>(wp));
            if (!buf || line < 0 || line >= static_cast<int64_t>(l.lines.size())) return 0;
            WORD cap;
            std::memcpy(&cap, buf, sizeof cap);
            const Line& ln = l.lines[static_cast<size_t>(line)];
            std::string s = doc_.paras[ln.para].text.substr(ln.first, ln.count);
            return copyOut(s, buf, cap, false);
        }
        case EM_GETTEXTRANGE: {
            auto* r = reinterpret_cast<TEXTRANGEA*>(lp);
            if (!r || !r->lpstrText) return 0;
            int32_t b = r->chrg.cpMax < 0 ? doc_.length() : r->chrg.cpMax;
            return copyOut(doc_.text(std::max(r->chrg.cpMin, 0), b), r->lpstrText, r->cchText, true);
        }
        case EM_POSFROMCHAR: return posFromChar(reinterpret_cast<POINT*>(wp), static_cast<int32_t>(lp));
        case EM_CHARFROMPOS: return charFromPos(reinterpret_cast<const POINT*>(lp));
        case EM_GETCHARFORMAT: return getCharFormat(wp, reinterpret_cast<CHARFORMATA*>(lp));
        case EM_SETCHARFORMAT: return setCharFormat(wp, reinterpret_cast<const CHARFORMATA*>(lp));
        case EM_GETPARAFORMAT: return getParaFormat(reinterpret_cast<PARAFORMAT*>(lp));
        case EM_SETPARAFORMAT: return setParaFormat(reinterpret_cast<const PARAFORMAT*>(lp));
        case EM_STREAMIN: return streamIn(wp, reinterpret_cast<EDITSTREAM*>(lp));
        case EM_STREAMOUT: return streamOut(wp, reinterpret_cast<EDITSTREAM*>(lp));
        case EM_SETWRAP: {
            bool old = wrap_;
            wrap_ = wp == WRAP_TO_WINDOW;
            if (old != wrap_) changed();
            return old ? WRAP_TO_WINDOW : WRAP_NONE;
        }
        case EM_GETWRAP: return wrap_ ? WRAP_TO_WINDOW : WRAP_NONE;
        case EM_SETEVENTMASK: {
            DWORD old = eventMask_;
            eventMask_ = static_cast<DWORD>(lp);
            return old;
        }
        case EM_GETEVENTMASK: return eventMask_;
        case EM_SETBKGNDCOLOR: {
            DWORD old = background_;
            background_ = static_cast<DWORD>(lp) & 0xFFFFFF;
            return old;
        }
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lp);
            newDocument(readDocument(text ? text : "", default_));
            selA_ = selB_ = -1;
            select(0, 0);
            return TRUE;
        }
        case WM_GETTEXT: {
            return copyOut(doc_.text(0, doc_.length()), reinterpret_cast<char*>(lp), wp, true);
        }
        case WM_GETTEXTLENGTH: return doc_.length();
        case WM_COPY:
        case WM_CUT: {
            if (selMin() == selMax()) return 0;
            Clipboard& c = clipboard();
            Document piece = doc_.slice(selMin(), selMax());
            c.rich = writeRichText(piece);
            c.text = writePlainText(piece);
            c.hasRich = true;
            if (msg == WM_CUT) replaceSelection(plainDocument("", insertionFormat()));
            return 0;
        }
        case WM_PASTE: {
            Clipboard& c = clipboard();
            if (c.hasRich) replaceSelection(readRichText(c.rich, insertionFormat()));
            else if (!c.text.empty()) replaceSelection(plainPiece(c.text));
            return 0;
        }
        default: return 0;
    }
}

LRESULT richEditProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_CREATE) {
            auto* c = new Control(window);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<intptr_t>(c));
            return 0;
        }
        auto* c = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!c) return 0;
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete c;
            return 0;
        }
        return c->message(msg, wp, lp);
    } catch (...) {
        // A message that cannot be carried out changes nothing and answers 0.
        return msg == WM_CREATE ? -1 : 0;
    }
}

struct Registrar {
    Registrar() { ZolRegisterRichEditClass(); }
} registrar;

}  // namespace

}  // namespace zolrich

ZOLAPI BOOL ZolRegisterRichEditClass() {
    return ZolRegisterWindowClass(RICHEDIT_CLASSA, zolrich::richEditProc);
}

ZOLAPI BOOL ZolClipboardSetText(const char* text) {
    try {
        auto& c = zolrich::clipboard();
        c.text = text ? text : "";
        c.rich.clear();
        c.hasRich = false;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

namespace {
DWORD copyClip(const std::string& s, char* buffer, DWORD size) {
    if (buffer && size > 0) {
        size_t n = std::min<size_t>(s.size(), size - 1);
        std::memcpy(buffer, s.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<DWORD>(s.size());
}
}  // namespace

ZOLAPI DWORD ZolClipboardGetText(char* buffer, DWORD size) {
    return copyClip(zolrich::clipboard().text, buffer, size);
}
ZOLAPI DWORD ZolClipboardGetRichText(char* buffer, DWORD size) {
    return copyClip(zolrich::clipboard().rich, buffer, size);
}
ZOLAPI void ZolClipboardClear() {
    auto& c = zolrich::clipboard();
    c.text.clear();
    c.rich.clear();
    c.hasRich = false;
}
