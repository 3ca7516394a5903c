#include "glyph/font_setup.h"

#include <cstring>

#include "glyph/internal.h"
#include "glyph/settings.h"

namespace glyph {

bool layoutLineStart(HWND window, int line, int* start) {
    // A negative line would ask the control for the selection's line.
    if (!window || line < 0) return false;
    const auto r = SendMessageA(window, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (r < 0) return false;
    *start = static_cast<int>(r);
    return true;
}

int layoutLineLength(HWND window, int start) {
    if (!window) return 0;
    return static_cast<int>(
        SendMessageA(window, EM_LINELENGTH, static_cast<WPARAM>(static_cast<intptr_t>(start)), 0));
}

unsigned char layoutCharAt(HWND window, int position) {
    if (!window || position < 0) return 0;
    CHARRANGE range{position, position + 1};
    SendMessageA(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    char text[8] = {};
    SendMessageA(window, EM_GETSELTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return static_cast<unsigned char>(text[0]);
}

void layoutSelectionFormat(HWND window, CHARFORMATA* format) {
    std::memset(format, 0, sizeof *format);
    format->cbSize = sizeof(CHARFORMATA);
    if (window) SendMessageA(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(format));
}

bool readLayoutChar(HWND window, int line, int index, unsigned char* character,
                    CHARFORMATA* format) {
    *character = 0;
    if (format) {
        std::memset(format, 0, sizeof *format);
        format->cbSize = sizeof(CHARFORMATA);
    }
    int start = 0;
    if (!layoutLineStart(window, line, &start)) return false;
    const int64_t position = static_cast<int64_t>(start) + index;
    if (position < 0 || position >= INT32_MAX) return true;
    *character = layoutCharAt(window, static_cast<int>(position));
    if (format) layoutSelectionFormat(window, format);
    return true;
}

LOGFONTA logFontFromCharFormat(const CHARFORMATA& format, LONG height) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (format.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = format.bCharSet;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = format.bPitchAndFamily;
    // The name goes over with its terminator; a name that fills the whole
    // field has none and is taken as it is.
    size_t n = 0;
    while (n < sizeof format.szFaceName && format.szFaceName[n]) ++n;
    std::memcpy(lf.lfFaceName, format.szFaceName, n);
    return lf;
}

HFONT fontFromCharFormat(const CHARFORMATA& format, int pixelHeight) {
    const LOGFONTA lf = logFontFromCharFormat(format, -pixelHeight);
    return CreateFontIndirectA(&lf);
}

int formatPixelHeight(const CHARFORMATA& format, int dotsPerInch, double factor) {
    return detail::trunc(static_cast<double>(format.yHeight) * dotsPerInch *
                         glyphSettings().renderScale * factor * kPerTwip);
}

float tabAdvance(int pen) {
    int step = detail::trunc(glyphSettings().renderScale * 50.0);
    if (step <= 0) step = 1;
    const int64_t p = pen;
    return static_cast<float>(step * (p / step + 1) - p);
}

namespace {

// Width of one character in its own font at the renderScale height.
int characterExtent(HDC memory, int dotsPerInch, unsigned char character,
                    const CHARFORMATA& format) {
    detail::OwnedFont font(fontFromCharFormat(format, formatPixelHeight(format, dotsPerInch)));
    if (!font) return 0;
    detail::Selection selected(memory, font.get(), false);
    SIZE size{0, 0};
    const char text = static_cast<char>(character);
    GetTextExtentPointA(memory, &text, 1, &size);
    return size.cx;
}

}  // namespace

int measureCharAdvance(HWND window, int line, int index) {
    if (!window) return 0;
    int start = 0;
    if (!layoutLineStart(window, line, &start)) return 0;
    detail::DeviceContexts dcs;
    if (!dcs) return 0;
    const int dpi = GetDeviceCaps(dcs.memory(), LOGPIXELSY);

    CHARFORMATA format;
    unsigned char c = 0;
    readLayoutChar(window, line, index, &c, &format);
    if (c == 0) return 0;
    if (c != '\t') return characterExtent(dcs.memory(), dpi, c, format);

    // A tab's width depends on everything before it on the line, tabs
    // included; walking the line once gives each earlier tab the same sum
    // that measuring it on its own would.
    int64_t sum = 0;
    for (int i = 0; i < index; ++i) {
        readLayoutChar(window, line, i, &c, &format);
        if (c == 0) continue;
        if (c == '\t')
            sum += static_cast<int>(tabAdvance(static_cast<int>(sum)));
        else
            sum += characterExtent(dcs.memory(), dpi, c, format);
    }
    return static_cast<int>(tabAdvance(static_cast<int>(sum)));
}

}  // namespace glyph
