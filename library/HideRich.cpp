#include "library/HideRich.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "library/ConstAEFF.h"
#include "library/HideRichApi.h"

#define ZOLEXPORT extern "C" __attribute__((visibility("default")))

namespace zol {

namespace {

// The library's application object: it owns every document, and destroys
// those nobody deleted when the library is unloaded.
struct TApplication {
    std::map<THideForm*, uint32_t> forms;  // each form and its document handle
    ~TApplication() {
        for (auto [form, handle] : forms) {
            ZolHandleRemove(ZolKind_Document, handle);
            delete form;
        }
    }
};
TApplication Application;

const int kModuleAnchor = 0;

// ---------------------------------------------------------------- fonts

// The drawing surface of a measurement: a memory context made compatible
// with the screen, released with it.
class MeasureDC {
public:
    MeasureDC() {
        screen_ = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen_);
    }
    ~MeasureDC() {
        if (dc_) DeleteDC(dc_);
        if (screen_) ReleaseDC(nullptr, screen_);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    HDC dc() const { return dc_; }
    HDC screen() const { return screen_; }

private:
    HDC screen_ = nullptr;
    HDC dc_ = nullptr;
};

// A font selected into a context for the length of one measurement or
// drawing; deselected and destroyed when it goes.
class SelectedFont {
public:
    SelectedFont(HDC dc, const LOGFONTA& lf) : dc_(dc) {
        font_ = CreateFontIndirectA(&lf);
        if (font_ && dc_) old_ = SelectObject(dc_, font_);
    }
    ~SelectedFont() {
        if (old_) SelectObject(dc_, old_);
        if (font_) DeleteObject(font_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;
    bool ok() const { return font_ && old_; }

private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

void copyFace(LOGFONTA& lf, const CHARFORMATA& cf) {
    size_t n = strnlen(cf.szFaceName, sizeof cf.szFaceName);
    std::memcpy(lf.lfFaceName, cf.szFaceName, std::min<size_t>(n, LF_FACESIZE - 1));
}

// The font the records are measured in: the size in twips scaled straight
// to pixels.
LOGFONTA recordFont(const CHARFORMATA& cf, double scale, int32_t ppi) {
    LOGFONTA lf{};
    lf.lfHeight = -RoundEven(static_cast<double>(ppi) * cf.yHeight * scale / 1440.0);
    lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (cf.dwEffects & CFE_ITALIC) ? 1 : 0;
    lf.lfCharSet = cf.bCharSet;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = cf.bPitchAndFamily;
    copyFace(lf, cf);
    return lf;
}

// The font of the character queries and the drawing: the size goes through
// whole points and pixels first, as the control's attributes report it.
LOGFONTA attributeFont(const CHARFORMATA& cf, double scale, double factor, int32_t ppi,
                       int32_t screenPpi) {
    int32_t h = MulDiv(cf.yHeight / 20, screenPpi, 72);
    int32_t points = RoundEven(h * factor * 72.0 * scale / ppi);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, ppi, 72);
    lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (cf.dwEffects & CFE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (cf.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (cf.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = cf.bCharSet;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = cf.bPitchAndFamily & 0x03;
    copyFace(lf, cf);
    return lf;
}

SIZE extent(HDC dc, const SelectedChar& ch) {
    SIZE s{};
    if (!GetTextExtentPoint32A(dc, ch.text, ch.length, &s)) s = {0, 0};
    return s;
}

bool isMark(char c) { return c == ' ' || c == '.' || c == ','; }

int64_t NextTab(int64_t x) { return 50 * static_cast<int64_t>(RoundEven(static_cast<double>(x) / 50.0 - 0.5)) + 50; }

int32_t saturate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// ---------------------------------------------------------------- surface

// A white 32-bit bitmap of the pixel buffer's size that characters are
// drawn on and their coverage read back from.
class Surface {
public:
    Surface(HDC screen, int32_t width, int32_t height) {
        if (!screen || width <= 0 || height <= 0) return;
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        if (!dc_ || !bitmap_) return;
        old_ = SelectObject(dc_, bitmap_);
        if (!old_ || !ZolGetBitmapBits(bitmap_, &bits_) || bits_.bitsPerPixel != 32) return;
        RECT all{0, 0, width, height};
        HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        FillRect(dc_, &all, white);
        SetBkMode(dc_, TRANSPARENT);
        width_ = width;
        height_ = height;
        ok_ = true;
    }
    ~Surface() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    bool ok() const { return ok_; }
    HDC dc() const { return dc_; }

    // Draws the character at (x0, y) and writes the coverage of its cell,
    // columns x0 .. x0 + cx, every row, into the caller's pixels.
    void cell(const SelectedChar& ch, COLORREF colour, int32_t x0, int32_t cx, int32_t y, bool inverted,
              uint32_t* pixels) {
        SetTextColor(dc_, colour);
        TextOutA(dc_, x0, y, ch.text, ch.length);
        const uint32_t rgb = colour & 0x00FFFFFF;
        int32_t from = std::max(x0, 0);
        int32_t to = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(x0) + cx, width_ - 1));
        for (int32_t row = 0; row < height_; ++row) {
            const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(bits_.bits) +
                                                                static_cast<size_t>(row) * bits_.stride);
            uint32_t* dst = pixels + static_cast<size_t>(row) * width_;
            for (int32_t col = from; col <= to; ++col) {
                uint32_t p = src[col];  // 0x00RRGGBB
                int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                int a = std::max({255 - r, 255 - g, 255 - b});
                if (inverted) a = 255 - a;
                if (a != 0) dst[col] = rgb | (static_cast<uint32_t>(a) << 24);
            }
        }
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    ZolBitmapBits bits_{};
    int32_t width_ = 0, height_ = 0;
    bool ok_ = false;
};

// ---------------------------------------------------------------- file loading

struct MemoryStream {
    const std::string* data;
    size_t at;
};

DWORD readFromMemory(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred) {
    auto* s = reinterpret_cast<MemoryStream*>(cookie);
    size_t n = std::min(static_cast<size_t>(std::max<LONG>(size, 0)), s->data->size() - s->at);
    std::memcpy(buffer, s->data->data() + s->at, n);
    s->at += n;
    *transferred = static_cast<LONG>(n);
    return 0;
}

}  // namespace

// ---------------------------------------------------------------- the form

THideForm::THideForm() {
    RichEdit1 = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 120, 158, nullptr, nullptr, nullptr, nullptr);
    if (!RichEdit1) throw std::runtime_error("the rich-text control could not be created");
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_ALL;
    cf.yHeight = 200;
    cf.crTextColor = RGB(255, 0, 0);
    cf.bCharSet = RUSSIAN_CHARSET;
    std::strcpy(cf.szFaceName, "Arial");
    SendMessageA(RichEdit1, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(RichEdit1, EM_SETBKGNDCOLOR, 0, RGB(0, 0, 0));
    FormCreate();
}

THideForm::~THideForm() {
    DeleteInfo();
    if (RichEdit1) DestroyWindow(RichEdit1);
}

void THideForm::FormCreate() {
    char name[1024] = {};
    HMODULE self = GetModuleHandleFromAddress(&kModuleAnchor);
    GetModuleFileNameA(self, name, sizeof name);
    std::string folder(name);
    size_t cut = folder.find_last_of('/');
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
    StreamFile = folder + kStreamFileName;
    Stream2File = folder + kStream2FileName;
    HDC screen = GetDC(nullptr);
    if (screen) {
        pixelsPerInch_ = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (pixelsPerInch_ <= 0) pixelsPerInch_ = 96;
}

void THideForm::SetBounds(int32_t width, int32_t height) { MoveWindow(RichEdit1, 0, 0, width, height, FALSE); }

void THideForm::SetWordWrap(bool wrap) {
    SendMessageA(RichEdit1, EM_SETWRAP, wrap ? WRAP_TO_WINDOW : WRAP_NONE, 0);
}

bool THideForm::LoadFromFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE || !f) return false;
    std::string data;
    FILE_INFORMATION info{};
    bool ok = GetFileInformation(f, &info) != FALSE;
    if (ok) {
        data.resize(info.sizeLow);
        DWORD got = 0;
        ok = data.empty() || ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
        data.resize(ok ? got : 0);
    }
    CloseHandle(f);
    if (!ok) return false;
    MemoryStream ms{&data, 0};
    EDITSTREAM es{reinterpret_cast<UINT_PTR>(&ms), 0, readFromMemory};
    SendMessageA(RichEdit1, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

int32_t THideForm::LineCount() {
    auto count = static_cast<int32_t>(SendMessageA(RichEdit1, EM_GETLINECOUNT, 0, 0));
    if (count <= 0) return 0;
    auto lastStart = SendMessageA(RichEdit1, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
    if (SendMessageA(RichEdit1, EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0) --count;
    return count;
}

TLineInfo* THideForm::Info(int32_t line) {
    if (line < 0 || line >= LineCount() || static_cast<size_t>(line) >= Infos.size()) return nullptr;
    CurrentInfo = Infos[static_cast<size_t>(line)].get();
    return CurrentInfo;
}

int32_t THideForm::LineLength(int32_t line) {
    auto start = SendMessageA(RichEdit1, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (start < 0) return 0;
    return static_cast<int32_t>(SendMessageA(RichEdit1, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
}

SelectedChar THideForm::ReadChar(int32_t pos) {
    SelectedChar c;
    CHARRANGE r{pos, pos + 1};
    SendMessageA(RichEdit1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    c.length = static_cast<int>(SendMessageA(RichEdit1, EM_GETSELTEXT, 2, reinterpret_cast<LPARAM>(c.text)));
    c.format.cbSize = sizeof c.format;
    SendMessageA(RichEdit1, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&c.format));
    return c;
}

void THideForm::DeleteInfo() {
    Infos.clear();
    CurrentInfo = nullptr;
}

void THideForm::CreateInfo() {
    MeasureDC surface;
    const int32_t ppi = pixelsPerInch_;
    DeleteInfo();
    const int32_t count = LineCount();
    Infos.resize(static_cast<size_t>(count));
    // Sums of pixels are kept wide and saturated when stored: a huge text
    // must not wrap them around.
    auto clamp32 = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    int32_t pos = 0;
    int64_t top = 0, allHeight = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t lineStart = pos, tallest = 0;
        int64_t w = 0;
        int32_t len = LineLength(i);
        if (len == 0) {
            // Every line gets a character to measure: the space takes the
            // formatting of its place and stays in the text.
            auto at = static_cast<int32_t>(SendMessageA(RichEdit1, EM_LINEINDEX, static_cast<WPARAM>(i), 0));
            CHARRANGE r{at, at};
            SendMessageA(RichEdit1, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
            SendMessageA(RichEdit1, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(" "));
            len = 1;
        }
        for (int32_t k = 0; k < len; ++k) {
            SelectedChar ch = ReadChar(pos);
            SelectedFont font(surface.dc(), recordFont(ch.format, Scale, ppi));
            SIZE s = font.ok() ? extent(surface.dc(), ch) : SIZE{0, 0};
            tallest = std::max(tallest, static_cast<int32_t>(s.cy));
            allHeight += s.cy;
            w += (ch.length > 0 && ch.text[0] == '\t') ? 4 * static_cast<int64_t>(s.cx) : s.cx;
            ++pos;
        }
        SelectedChar after = ReadChar(pos);
        if (after.length == 0) pos += 2;  // the line ended at a paragraph break

        auto info = std::make_unique<TLineInfo>();
        info->LineIndex = i;
        info->AllHeight = clamp32(allHeight);
        PARAFORMAT pf{};
        pf.cbSize = sizeof pf;
        SendMessageA(RichEdit1, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
        info->Justify = pf.wAlignment == PFA_CENTER ? 1 : pf.wAlignment == PFA_RIGHT ? 2 : 0;
        info->Top = clamp32(top);
        top += tallest;
        info->Width = clamp32(w);
        info->Height = clamp32(static_cast<int64_t>(tallest) + 1);
        info->StartPos = lineStart;
        info->Left = RoundEven((pf.dxOffset / 20 + pf.dxStartIndent / 20) * Scale);
        CurrentInfo = info.get();
        Infos[static_cast<size_t>(i)] = std::move(info);
    }
}

namespace {

THideForm* formOf(HideRichDocument document) {
    auto* f = static_cast<THideForm*>(ZolHandleGet(ZolKind_Document, document));
    return f && Application.forms.count(f) ? f : nullptr;
}

// The character's font for the queries and the drawing, with its colour.
struct CharFont {
    LOGFONTA lf;
    COLORREF colour;
};
CharFont fontOf(THideForm& form, const SelectedChar& ch, double factor, HDC screen) {
    int32_t screenPpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : form.PixelsPerInch();
    return {attributeFont(ch.format, form.Scale, factor, form.PixelsPerInch(), screenPpi),
            ch.format.crTextColor};
}

// A position `index` characters from the line's start; the index is not
// checked against the line, only kept inside the position range.
int32_t positionIn(const TLineInfo& info, int64_t index) {
    return static_cast<int32_t>(std::clamp<int64_t>(info.StartPos + index, INT32_MIN, INT32_MAX - 1));
}

int32_t extentWidth(THideForm& form, const SelectedChar& ch) {
    MeasureDC surface;
    SelectedFont font(surface.dc(), fontOf(form, ch, 1.0, surface.screen()).lf);
    return font.ok() ? extent(surface.dc(), ch).cx : 0;
}

// A tab answers the tab stop after the widths of the characters before it,
// each measured by this same rule; they are summed once, left to right, so
// a line of many tabs costs one pass.
int32_t widthOfChar(THideForm& form, int32_t line, int32_t index) {
    TLineInfo* info = form.Info(line);
    if (!info) return 0;
    SelectedChar ch = form.ReadChar(positionIn(*info, index));
    if (!(ch.length > 0 && ch.text[0] == '\t')) return extentWidth(form, ch);
    int64_t sum = 0;
    for (int32_t j = 0; j < index; ++j) {
        SelectedChar before = form.ReadChar(positionIn(*info, j));
        sum += (before.length > 0 && before.text[0] == '\t') ? NextTab(sum) : extentWidth(form, before);
    }
    return saturate(NextTab(sum));
}

// Steps over the characters left of the offset: returns the first one to
// lay out and sets x to its left edge relative to the shifted origin.
int32_t skipToOffset(THideForm& form, HDC dc, HDC screen, int32_t start, int32_t len, int32_t offset,
                     double factor, int64_t& x) {
    x = 0;
    if (offset == 0) return 0;
    int32_t k = 0;
    int32_t last = 0;
    for (; k < len; ++k) {
        SelectedChar ch = form.ReadChar(start + k);
        SelectedFont font(dc, fontOf(form, ch, factor, screen).lf);
        last = font.ok() ? extent(dc, ch).cx : 0;
        x += last;
        if (x >= offset) break;
    }
    if (k == len) {  // the whole line lies left of the offset
        x -= offset;
        return len;
    }
    x = (x - last) - offset;
    return k;
}

double draw() { return (Random(9998) + 1) / 10000.0; }

int32_t lineOperation(THideForm& form, int32_t line, uint32_t* pixels, int32_t width, int32_t height,
                      int32_t offset, int32_t invertAfterTab, int32_t invertAll, double factor, bool drawing) {
    RandSeed = static_cast<uint32_t>(line) * 100u + static_cast<uint32_t>(form.RandomBase);
    bool wordOpen = false, lineFlag = false, afterTab = false, inverted = false;
    if (drawing && form.InvertMode == 3) lineFlag = draw() < form.InvertChance;

    MeasureDC measure;
    std::unique_ptr<Surface> surface;
    if (drawing) {
        if (!pixels) return 0;
        surface = std::make_unique<Surface>(measure.screen(), width, height);
        if (!surface->ok()) return 0;
    }
    HDC dc = drawing ? surface->dc() : measure.dc();
    int32_t len = form.LineLength(line);
    TLineInfo* info = form.Info(line);
    if (!info) return 0;
    int64_t x = 0;
    int32_t k = skipToOffset(form, dc, measure.screen(), info->StartPos, len, offset, factor, x);
    for (; k < len; ++k) {
        SelectedChar ch = form.ReadChar(info->StartPos + k);
        CharFont cf = fontOf(form, ch, factor, measure.screen());
        SelectedFont font(dc, cf.lf);
        char c = ch.length > 0 ? ch.text[0] : '\0';
        SIZE s = font.ok() ? extent(dc, ch) : SIZE{0, 0};
        if (!drawing) {
            if (c == '\t') x = NextTab(x);
            x += s.cx;
            continue;
        }
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        const bool mark = isMark(c);
        switch (form.InvertMode) {
            case 1:
                inverted = false;
                if (!mark) inverted = draw() < form.InvertChance;
                break;
            case 2:
                if (!wordOpen) {
                    wordOpen = true;
                    if (draw() < form.InvertChance) lineFlag = true;
                }
                if (mark || static_cast<unsigned char>(c) < 13) wordOpen = false;
                inverted = lineFlag && !mark;
                break;
            case 3: inverted = lineFlag && !mark; break;
            default: inverted = false; break;
        }
        if (afterTab) {
            afterTab = false;
            inverted = true;
        }
        if (invertAll == 1 && !mark) inverted = true;
        if (c == '\t') {
            if (invertAfterTab == 1) afterTab = true;
        } else {
            surface->cell(ch, cf.colour, saturate(x), s.cx, info->Height - 5 - tm.tmAscent, inverted, pixels);
        }
        x += s.cx;
    }
    return drawing ? 0 : saturate(x);
}

}  // namespace

}  // namespace zol

using zol::formOf;
using zol::THideForm;

// ---------------------------------------------------------------- exports

ZOLEXPORT HideRichDocument CreateHideRich(HWND parent, int32_t width, int32_t height, int32_t wrap, double scale,
                                          double reserved, double invertChance, int32_t invertMode,
                                          int32_t randomBase) {
    THideForm* form = nullptr;
    uint32_t handle = 0;
    try {
        form = new THideForm();
        handle = ZolHandleAdd(ZolKind_Document, form);
        if (!handle) {
            delete form;
            return 0;
        }
        zol::Application.forms.emplace(form, handle);
    } catch (...) {
        if (handle) ZolHandleRemove(ZolKind_Document, handle);
        if (form) {
            zol::Application.forms.erase(form);
            delete form;
        }
        return 0;
    }
    try {
        form->InvertMode = invertMode;
        form->InvertChance = invertChance;
        form->RandomBase = randomBase;
        form->Parent = parent;
        form->Scale = scale;
        form->Reserved = reserved;
        int32_t magnitude = width == INT32_MIN ? INT32_MAX : (width < 0 ? -width : width);
        form->SetBounds(magnitude, height);
        const bool wrapOn = (wrap & 0xFF) != 0;
        form->SetWordWrap(wrapOn);
        if (form->LoadFromFile(width >= 0 ? form->StreamFile : form->Stream2File)) {
            // Each change of the setting flows the loaded text again.
            form->SetWordWrap(false);
            form->SetWordWrap(true);
            form->SetWordWrap(wrapOn);
            form->CreateInfo();
        }
    } catch (...) {
        // The document stays, with the lines built so far.
    }
    return handle;
}

ZOLEXPORT int32_t ReloadHideRich(HideRichDocument document, int32_t wrap, int32_t width, int32_t height) {
    try {
        THideForm* form = formOf(document);
        if (!form) return 0;
        form->SetBounds(width, height);
        form->SetWordWrap((wrap & 0xFF) != 0);
        form->DeleteInfo();
        if (form->LoadFromFile(form->StreamFile)) form->CreateInfo();
    } catch (...) {
    }
    return 1;
}

ZOLEXPORT int32_t DeleteHideRich(HideRichDocument document) {
    try {
        THideForm* form = formOf(document);
        if (!form) return 0;
        ZolHandleRemove(ZolKind_Document, document);
        zol::Application.forms.erase(form);
        delete form;
    } catch (...) {
    }
    return 1;
}

ZOLEXPORT int32_t GetCountHideRich(HideRichDocument document) {
    try {
        THideForm* form = formOf(document);
        return form ? form->LineCount() : 0;
    } catch (...) {
        return 0;
    }
}

namespace {

template <int32_t zol::TLineInfo::*Field, int32_t Missing>
int32_t lineField(HideRichDocument document, int32_t line) {
    try {
        THideForm* form = formOf(document);
        if (!form) return Missing;
        zol::TLineInfo* info = form->Info(line);
        return info ? info->*Field : Missing;
    } catch (...) {
        return Missing;
    }
}

}  // namespace

ZOLEXPORT int32_t GetWidthLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::Width, 0>(d, line);
}
ZOLEXPORT int32_t GetHeightLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::Height, 0>(d, line);
}
ZOLEXPORT int32_t GetAllHeightLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::AllHeight, 0>(d, line);
}
ZOLEXPORT int32_t GetTopLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::Top, 0>(d, line);
}
ZOLEXPORT int32_t GetLeftLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::Left, 0>(d, line);
}
ZOLEXPORT int32_t GetJustifyLineHideRich(HideRichDocument d, int32_t line) {
    return lineField<&zol::TLineInfo::Justify, -1>(d, line);
}

ZOLEXPORT int32_t GetLengthLineHideRich(HideRichDocument document, int32_t line) {
    try {
        THideForm* form = formOf(document);
        if (!form || line < 0 || line >= form->LineCount()) return 0;
        return form->LineLength(line);
    } catch (...) {
        return 0;
    }
}

ZOLEXPORT int32_t GetHeightCharHideRich(HideRichDocument document, int32_t line, int32_t index) {
    try {
        THideForm* form = formOf(document);
        if (!form) return 0;
        zol::TLineInfo* info = form->Info(line);
        if (!info) return 0;
        zol::SelectedChar ch = form->ReadChar(zol::positionIn(*info, index));
        zol::MeasureDC surface;
        zol::SelectedFont font(surface.dc(), zol::fontOf(*form, ch, 1.0, surface.screen()).lf);
        return font.ok() ? zol::extent(surface.dc(), ch).cy : 0;
    } catch (...) {
        return 0;
    }
}

ZOLEXPORT HWND GetWNDHideRich(HideRichDocument document) {
    try {
        THideForm* form = formOf(document);
        return form ? form->RichEdit1 : nullptr;
    } catch (...) {
        return nullptr;
    }
}

ZOLEXPORT HWND GetWNDHideRich2() { return nullptr; }

ZOLEXPORT int32_t GetWidthCharHideRich(HideRichDocument document, int32_t line, int32_t index) {
    try {
        THideForm* form = formOf(document);
        return form ? zol::widthOfChar(*form, line, index) : 0;
    } catch (...) {
        return 0;
    }
}

ZOLEXPORT int32_t DrawCharHideRich(HideRichDocument document, int32_t line, int32_t index, uint32_t* pixels,
                                   int32_t width, int32_t height, int32_t ignored, int32_t invert) {
    try {
        THideForm* form = formOf(document);
        if (!form || !pixels) return 0;
        zol::MeasureDC measure;
        zol::Surface surface(measure.screen(), width, height);
        if (!surface.ok()) return 0;
        zol::TLineInfo* info = form->Info(line);
        if (!info) return 0;
        zol::SelectedChar ch = form->ReadChar(zol::positionIn(*info, index));
        zol::CharFont cf = zol::fontOf(*form, ch, 1.0, measure.screen());
        zol::SelectedFont font(surface.dc(), cf.lf);
        if (!font.ok()) return 0;
        TEXTMETRICA tm{};
        GetTextMetricsA(surface.dc(), &tm);
        if (ch.length == 0 || ch.text[0] == '\t') return 0;
        SIZE s = zol::extent(surface.dc(), ch);
        surface.cell(ch, cf.colour, 0, s.cx, info->Height - 5 - tm.tmAscent, invert != 0, pixels);
    } catch (...) {
    }
    return 0;
}

ZOLEXPORT int32_t DrawLineHideRich(HideRichDocument document, int32_t line, uint32_t* pixels, int32_t width,
                                   int32_t height, int32_t offset, int32_t invertAfterTab, int32_t invertAll,
                                   double sizeFactor) {
    try {
        THideForm* form = formOf(document);
        if (form) zol::lineOperation(*form, line, pixels, width, height, offset, invertAfterTab, invertAll,
                                     sizeFactor, true);
    } catch (...) {
    }
    return 0;
}

ZOLEXPORT int32_t GetLineWidthHideRich(HideRichDocument document, int32_t line, uint32_t* pixels, int32_t width,
                                       int32_t height, int32_t offset, int32_t invertAfterTab, int32_t invertAll,
                                       double sizeFactor) {
    try {
        THideForm* form = formOf(document);
        return form ? zol::lineOperation(*form, line, pixels, width, height, offset, invertAfterTab, invertAll,
                                         sizeFactor, false)
                    : 0;
    } catch (...) {
        return 0;
    }
}
