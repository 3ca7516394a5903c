#include "platform/richedit/gdi_measurer.h"

#include <cstring>

namespace zolrich {

LOGFONTA logicalFont(const CharFormat& f) {
    LOGFONTA lf{};
    lf.lfHeight = -twipsToPixels(f.height);
    lf.lfWeight = (f.effects & kBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.effects & kItalic) ? 1 : 0;
    lf.lfUnderline = (f.effects & kUnderline) ? 1 : 0;
    lf.lfStrikeOut = (f.effects & kStrikeOut) ? 1 : 0;
    lf.lfCharSet = f.charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = f.pitchFamily;
    std::string_view face = f.faceName();
    std::memcpy(lf.lfFaceName, face.data(), face.size());
    return lf;
}

HFONT GdiMeasurer::fontFor(uint32_t formatId, const CharFormat& f) {
    if (!dc_) dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return nullptr;
    auto it = fonts_.find(formatId);
    if (it != fonts_.end()) return it->second;
    LOGFONTA lf = logicalFont(f);
    HFONT font = CreateFontIndirectA(&lf);
    fonts_[formatId] = font;
    return font;
}

int32_t GdiMeasurer::advance(uint32_t formatId, const CharFormat& f, unsigned char c) {
    Entry& e = entries_[formatId];
    if (e.known[c]) return e.widths[c];
    int32_t width = 0;
    if (HFONT font = fontFor(formatId, f)) {
        HGDIOBJ old = SelectObject(dc_, font);
        char ch = static_cast<char>(c);
        SIZE size{};
        if (GetTextExtentPoint32A(dc_, &ch, 1, &size)) width = size.cx;
        if (old) SelectObject(dc_, old);
    }
    e.widths[c] = width;
    e.known.set(c);
    return width;
}

FontMetrics GdiMeasurer::metrics(uint32_t formatId, const CharFormat& f) {
    Entry& e = entries_[formatId];
    if (e.haveMetrics) return e.fm;
    FontMetrics fm;
    if (HFONT font = fontFor(formatId, f)) {
        HGDIOBJ old = SelectObject(dc_, font);
        TEXTMETRICA tm{};
        if (GetTextMetricsA(dc_, &tm)) fm = {tm.tmAscent, tm.tmDescent};
        if (old) SelectObject(dc_, old);
    }
    e.fm = fm;
    e.haveMetrics = true;
    return fm;
}

void GdiMeasurer::forget() {
    endPass();
    entries_.clear();
}

void GdiMeasurer::endPass() {
    for (auto& [id, font] : fonts_)
        if (font) DeleteObject(font);
    fonts_.clear();
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
}

}  // namespace zolrich
