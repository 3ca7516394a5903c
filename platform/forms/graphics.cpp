// Fonts, the canvas and image lists over the graphics services.
#include <cstdlib>
#include <cstring>

#include "platform/forms/forms.h"
#include "platform/forms/internal.h"

namespace zol::forms {

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c, r = p % c;
    // Halves away from zero, as the platform's own helper rounds.
    if (2 * std::llabs(r) >= std::llabs(static_cast<int64_t>(c))) q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        HDC dc = GetDC(nullptr);
        int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        if (dc) ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

TColor ColorToRGB(TColor c) {
    if (!(c & 0x80000000u)) return c & 0x00FFFFFFu;
    switch (c) {
        case clWindow:
        case clHighlightText: return 0xFFFFFF;
        case clBtnFace: return 0xC0C0C0;
        case clHighlight: return 0x800000;
        default: return 0x000000;  // window text and the other system colours
    }
}

int TFont::Height() const { return -MulDivRound(Size, ScreenPixelsPerInch(), 72); }

void TFont::SetHeight(int pixels) { Size = MulDivRound(pixels < 0 ? -pixels : pixels, 72, ScreenPixelsPerInch()); }

LOGFONTA TFont::LogFont() const {
    LOGFONTA lf{};
    lf.lfHeight = Height();
    lf.lfWeight = (Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (Style & fsItalic) ? 1 : 0;
    lf.lfUnderline = (Style & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (Style & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = Charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = Pitch == fpFixed ? FIXED_PITCH : Pitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
    return lf;
}

// ---------------------------------------------------------------- canvas

namespace {
// The canvas's font selected for one call, released with it.
class FontScope {
public:
    FontScope(HDC dc, const TFont& font) : dc_(dc) {
        LOGFONTA lf = font.LogFont();
        font_ = CreateFontIndirectA(&lf);
        if (font_) old_ = SelectObject(dc_, font_);
    }
    ~FontScope() {
        if (old_) SelectObject(dc_, old_);
        if (font_) DeleteObject(font_);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};
}  // namespace

void TCanvas::TextOut(int x, int y, const std::string& text) {
    if (!dc_) return;
    FontScope f(dc_, Font);
    SetTextColor(dc_, ColorToRGB(Font.Color));
    if (Brush.Style == bsClear) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(Brush.Color));
    }
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::FillRect(const TRect& r) {
    if (!dc_ || Brush.Style == bsClear) return;
    HBRUSH b = CreateSolidBrush(ColorToRGB(Brush.Color));
    if (!b) return;
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, b);
    DeleteObject(b);
}

int TCanvas::TextWidth(const std::string& text) {
    if (!dc_) return 0;
    FontScope f(dc_, Font);
    SIZE s{};
    return GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s) ? s.cx : 0;
}

int TCanvas::TextHeight(const std::string& text) {
    if (!dc_) return 0;
    FontScope f(dc_, Font);
    SIZE s{};
    return GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s) ? s.cy : 0;
}

// ---------------------------------------------------------------- image lists

TImageList::~TImageList() {
    for (HBITMAP b : images_) DeleteObject(b);
}

int TImageList::Add(HBITMAP bitmap) {
    if (!bitmap) return -1;
    images_.push_back(bitmap);
    return static_cast<int>(images_.size()) - 1;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index) const {
    if (!canvas || !canvas->Handle() || index < 0 || index >= Count()) return;
    HDC src = CreateCompatibleDC(canvas->Handle());
    if (!src) return;
    HGDIOBJ old = SelectObject(src, images_[static_cast<size_t>(index)]);
    if (old) {
        BitBlt(canvas->Handle(), x, y, Width, Height, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
    }
    DeleteDC(src);
}

}  // namespace zol::forms
