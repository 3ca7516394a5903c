#include "library/EditorTools.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "library/ConstAEFF.h"

namespace zol {

namespace {

const char kToolsAnchor = 0;

// "ZOLQuillarine.aex": the help document sits where the typing plug-in's
// folder ends.
constexpr size_t kHelpCut = 17;

std::string moduleFileName() {
    char name[1024] = {};
    HMODULE self = GetModuleHandleFromAddress(&kToolsAnchor);
    DWORD n = GetModuleFileNameA(self, name, sizeof name);
    return n > 0 && n < sizeof name ? std::string(name, n) : std::string();
}

int collectFamilies(const ENUMLOGFONTEXA* f, const NEWTEXTMETRICA* tm, DWORD type, LPARAM data) {
    auto* out = reinterpret_cast<std::map<std::string, int>*>(data);
    const std::string name(f->elfLogFont.lfFaceName, strnlen(f->elfLogFont.lfFaceName, LF_FACESIZE));
    if (type & TRUETYPE_FONTTYPE) {
        (*out)[name] = 0;
    } else if (!(type & RASTER_FONTTYPE) && (tm->ntmFlags & (NTM_TYPE1 | NTM_DSIG))) {
        out->emplace(name, 1);  // a TrueType entry of the same face wins
    }
    return 1;
}

int collectScripts(const ENUMLOGFONTEXA* f, const NEWTEXTMETRICA*, DWORD type, LPARAM data) {
    if (!(type & TRUETYPE_FONTTYPE)) return 1;
    auto* out = reinterpret_cast<std::set<std::pair<std::string, int>>*>(data);
    out->emplace(std::string(f->elfScript, strnlen(f->elfScript, sizeof f->elfScript)), f->elfLogFont.lfCharSet);
    return 1;
}

CHARFORMATA emptyFormat(DWORD mask) {
    CHARFORMATA cf;
    std::memset(&cf, 0, sizeof cf);
    cf.cbSize = sizeof cf;
    cf.dwMask = mask;
    return cf;
}

}  // namespace

std::string LibraryFolder() {
    std::string name = moduleFileName();
    size_t cut = name.find_last_of('/');
    return cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
}

std::string HelpDocumentPath() {
    std::string name = moduleFileName();
    return (name.size() > kHelpCut ? name.substr(0, name.size() - kHelpCut) : std::string()) + "Quillarine.pdf";
}

void OpenHelp(TForm* owner) {
    // A missing document is the shell's to report; the dialog stays open.
    (void)ShellExecuteA(owner ? owner->Handle() : nullptr, "open", HelpDocumentPath().c_str(), nullptr, nullptr,
                        SW_SHOWNORMAL);
}

std::vector<FontFamily> BuildFontFamilyList() {
    std::map<std::string, int> found;
    LOGFONTA filter;
    std::memset(&filter, 0, sizeof filter);
    filter.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &filter, collectFamilies, reinterpret_cast<LPARAM>(&found), 0);
    if (screen) ReleaseDC(nullptr, screen);
    std::vector<FontFamily> list;
    for (const auto& [name, flag] : found) list.push_back({name, flag});
    return list;  // the map kept them sorted byte-wise
}

std::vector<FaceScript> ScriptsOfFace(const std::string& face) {
    std::set<std::pair<std::string, int>> found;
    LOGFONTA filter;
    std::memset(&filter, 0, sizeof filter);
    filter.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(filter.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HDC screen = GetDC(nullptr);
    if (!face.empty()) EnumFontFamiliesExA(screen, &filter, collectScripts, reinterpret_cast<LPARAM>(&found), 0);
    if (screen) ReleaseDC(nullptr, screen);
    std::vector<FaceScript> scripts;
    for (const auto& [name, charset] : found) scripts.push_back({name, charset});
    if (scripts.empty()) scripts.push_back({"Default", 1});
    return scripts;
}

HBITMAP LetterPicture(const char* glyph, const LetterStyle& style) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    if (screen) ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    if (HBRUSH back = CreateSolidBrush(style.ground)) {
        FillRect(dc, &all, back);
        DeleteObject(back);
    }
    HFONT font = CreateFontA(style.height, 0, 0, 0, style.weight, style.italic, style.underline, style.strike,
                             ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, style.face);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style.ink);
    TextOutA(dc, style.x, style.y, glyph, static_cast<int>(std::strlen(glyph)));
    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

void AddFacePictures(TImageList* list) {
    if (!list) return;
    const COLORREF white = RGB(255, 255, 255), navy = RGB(0, 0, 128);
    list->Add(LetterPicture("TT", {white, RGB(0, 96, 192), "Times New Roman"}));
    list->Add(LetterPicture("a", {white, RGB(128, 128, 128), "Arial"}));
    list->Add(LetterPicture("TT", {navy, RGB(255, 255, 255), "Times New Roman"}));
    list->Add(LetterPicture("a", {navy, RGB(255, 255, 255), "Arial"}));
}

void AddToolPictures(TImageList* list, int count) {
    if (!list) return;
    for (int i = 0; i < count; ++i) {
        const char glyph[2] = {static_cast<char>('A' + i % 26), 0};
        list->Add(LetterPicture(glyph, {RGB(240, 240, 240), RGB(0, 0, 0), "Arial"}));
    }
}

// ---------------------------------------------------------------- boxes

void FontBoxes::Fill() {
    if (!state_.built) {
        state_.families = BuildFontFamilyList();
        state_.built = true;
    }
    face_->Clear();
    for (const FontFamily& f : state_.families) face_->AddItem(f.name, f.flag);
    face_->SetItemIndex(face_->Items.empty() ? -1 : 0);
    FaceChanged(nullptr, false);
}

void FontBoxes::fillScripts() {
    script_->Clear();
    for (const FaceScript& s : ScriptsOfFace(face_->Text())) script_->AddItem(s.name, s.charset);
}

void FontBoxes::FaceChanged(TRichEdit* text, bool byUser) {
    fillScripts();
    int at = -1;
    for (size_t i = 0; i < script_->Objects.size(); ++i)
        if (script_->Objects[i] == state_.currentScript) {
            at = static_cast<int>(i);
            break;
        }
    if (at < 0 && !script_->Items.empty()) {
        at = 0;
        state_.currentScript = static_cast<int>(script_->Objects[0]);
    }
    script_->SetItemIndex(at);
    if (byUser && text) UpdateFont(*text);
}

void FontBoxes::ScriptChanged(TRichEdit* text, bool byUser) {
    const int i = script_->ItemIndex();
    if (i < 0 || i >= static_cast<int>(script_->Objects.size())) return;
    state_.currentScript = static_cast<int>(script_->Objects[i]);
    if (byUser && text) UpdateFont(*text);
}

void FontBoxes::UpdateFont(TRichEdit& text) {
    CHARFORMATA cf = emptyFormat(CFM_FACE | CFM_CHARSET);
    std::strncpy(cf.szFaceName, face_->Text().c_str(), sizeof cf.szFaceName - 1);
    cf.bCharSet = static_cast<BYTE>(state_.currentScript);
    text.SelAttributes().SetFormat(cf);
}

void FontBoxes::Follow(TRichEdit& text) {
    TTextAttributes sel = text.SelAttributes();
    const std::string face = sel.Name();
    int at = -1;
    for (size_t i = 0; i < face_->Items.size(); ++i)
        if (face_->Items[i] >= face) {  // byte-wise, as std::string compares
            at = static_cast<int>(i);
            break;
        }
    face_->SetItemIndex(at);
    fillScripts();
    const int charset = sel.Charset();
    int script = script_->Items.empty() ? -1 : 0;
    for (size_t i = 0; i < script_->Objects.size(); ++i)
        if (script_->Objects[i] == charset) {
            script = static_cast<int>(i);
            break;
        }
    script_->SetItemIndex(script);
    if (size_) size_->SetText(std::to_string(sel.Size()));
}

void FontBoxes::ApplySize(TRichEdit& text) {
    if (!size_) return;
    const std::string& s = size_->Text();
    if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos) return;
    const int points = std::stoi(s);
    if (points < 1 || points > 255) return;
    text.SelAttributes().SetSize(points);
}

void FontBoxes::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    TCanvas* canvas = face_->Canvas();
    if (!canvas || index < 0 || index >= static_cast<int>(face_->Items.size())) return;
    const bool selected = state & odSelected;
    canvas->Brush.Color = selected ? clHighlight : clWindow;
    canvas->FillRect(rect);
    const int flag = index < static_cast<int>(face_->Objects.size()) ? static_cast<int>(face_->Objects[index]) : 0;
    if (pictures_) pictures_->Draw(canvas, rect.Left + 1, rect.Top, flag + (selected ? 2 : 0));
    canvas->Font.Color = selected ? clHighlightText : clWindowText;
    canvas->TextOut(rect.Left + 20, rect.Top + 1, face_->Items[index]);
}

// ---------------------------------------------------------------- formats

void SetSelectionStyle(TRichEdit& text, TFontStyle style, bool on) {
    DWORD bit = style == fsBold        ? CFE_BOLD
                : style == fsItalic    ? CFE_ITALIC
                : style == fsUnderline ? CFE_UNDERLINE
                                       : CFE_STRIKEOUT;
    CHARFORMATA cf = emptyFormat(bit);
    cf.dwEffects = on ? bit : 0;
    text.SelAttributes().SetFormat(cf);
}

void SetSelectionColor(TRichEdit& text, TColor color) { text.SelAttributes().SetColor(ColorToRGB(color)); }

TFontStyles SelectionStyles(TRichEdit& text) { return text.SelAttributes().Style(); }

bool LoadRichText(TRichEdit& text, const std::string& path) {
    std::string error;
    if (text.Lines().LoadFromFile(path, &error)) return true;
    MessageDlg(error.empty() ? "Cannot open file \"" + path + "\"." : error, mtError, mbOK);
    return false;
}

bool SaveRichText(TRichEdit& text, const std::string& path, bool quiet) {
    std::string error;
    if (text.Lines().SaveToFile(path, &error)) return true;
    if (!quiet) MessageDlg(error.empty() ? "Cannot create file \"" + path + "\"." : error, mtError, mbOK);
    return false;
}

}  // namespace zol
