// The rich-text component over the platform's rich-edit control window.
#include <algorithm>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

#include "platform/forms/forms.h"
#include "platform/forms/internal.h"

namespace zol::forms {

namespace {

int g_nextId = 100;

TForm* formOf(TComponent* c) {
    for (; c; c = c->Owner())
        if (auto* f = dynamic_cast<TForm*>(c)) return f;
    return nullptr;
}

struct InStream {
    const std::string* data;
    size_t at;
};
DWORD readIn(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred) {
    auto* s = reinterpret_cast<InStream*>(cookie);
    size_t n = std::min(static_cast<size_t>(std::max<LONG>(size, 0)), s->data->size() - s->at);
    if (n) std::memcpy(buffer, s->data->data() + s->at, n);
    s->at += n;
    *transferred = static_cast<LONG>(n);
    return 0;
}
DWORD writeOut(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred) {
    auto* s = reinterpret_cast<std::string*>(cookie);
    try {
        s->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(std::max<LONG>(size, 0)));
    } catch (...) {
        return 1;
    }
    *transferred = size;
    return 0;
}

std::string systemReason(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
        case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
        case ERROR_ACCESS_DENIED: return "Access is denied.";
        case ERROR_SHARING_VIOLATION:
            return "The process cannot access the file because it is being used by another process.";
        case ERROR_NOT_ENOUGH_MEMORY: return "Not enough storage is available to process this command.";
        default: return "System error " + std::to_string(code) + ".";
    }
}

void report(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

// ---------------------------------------------------------------- component

TRichEdit::TRichEdit(TComponent* owner) : TControl(owner) {
    TForm* form = formOf(owner);
    int id = g_nextId++;
    window_ = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 0, 0, form ? form->Handle() : nullptr,
                              reinterpret_cast<void*>(static_cast<intptr_t>(id)), nullptr, nullptr);
    if (window_) Perform(EM_SETEVENTMASK, 0, ENM_SELCHANGE);
}

TRichEdit::~TRichEdit() {
    if (window_) DestroyWindow(window_);
}

LRESULT TRichEdit::Perform(UINT msg, WPARAM wp, LPARAM lp) const { return SendMessageA(window_, msg, wp, lp); }

void TRichEdit::BoundsChanged() { MoveWindow(window_, Left, Top, Width, Height, TRUE); }

void TRichEdit::Notify(WORD code) {
    if (code != EN_SELCHANGE) return;
    if (TForm* f = ParentForm()) f->SetActiveText(this);
    if (OnSelectionChange) OnSelectionChange(this);
}

void TRichEdit::Changed() {
    if (OnChange) OnChange(this);
}

std::string TRichEdit::Text() const {
    auto n = Perform(WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    auto got = Perform(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    return s;
}

void TRichEdit::SetText(const std::string& text) {
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Changed();
}

void TRichEdit::Clear() { SetText(""); }

int TRichEdit::GetTextLen() const { return static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0)); }

int TRichEdit::SelStart() const {
    CHARRANGE r{};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMin;
}

int TRichEdit::SelLength() const {
    CHARRANGE r{};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMax - r.cpMin;
}

void TRichEdit::Select(int start, int end) {
    CHARRANGE r{std::max(start, 0), end};
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TRichEdit::SetSelStart(int pos) { Select(pos, std::max(pos, 0)); }

void TRichEdit::SetSelLength(int length) {
    int s = SelStart();
    Select(s, s + std::max(length, 0));
}

std::string TRichEdit::SelText() const {
    std::string s(static_cast<size_t>(std::max(SelLength(), 0)) + 1, '\0');
    auto got = Perform(EM_GETSELTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    return s;
}

void TRichEdit::SetSelText(const std::string& text) {
    Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Changed();
}

bool TRichEdit::WordWrap() const { return Perform(EM_GETWRAP, 0, 0) == WRAP_TO_WINDOW; }

void TRichEdit::SetWordWrap(bool wrap) { Perform(EM_SETWRAP, wrap ? WRAP_TO_WINDOW : WRAP_NONE, 0); }

void TRichEdit::SetBackgroundColor(TColor c) { Perform(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(c))); }

void TRichEdit::SetFont(const TFont& font) { DefAttributes().Assign(font); }

void TRichEdit::CutToClipboard() {
    Perform(WM_CUT, 0, 0);
    Changed();
}
void TRichEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TRichEdit::PasteFromClipboard() {
    Perform(WM_PASTE, 0, 0);
    Changed();
}

// ---------------------------------------------------------------- character format

CHARFORMATA TTextAttributes::Format() const {
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    owner_->Perform(EM_GETCHARFORMAT, which_, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

void TTextAttributes::SetFormat(const CHARFORMATA& format) {
    CHARFORMATA cf = format;
    cf.cbSize = sizeof cf;
    owner_->Perform(EM_SETCHARFORMAT, which_, reinterpret_cast<LPARAM>(&cf));
}

DWORD TTextAttributes::ConsistentAttributes() const {
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    return static_cast<DWORD>(owner_->Perform(EM_GETCHARFORMAT, which_, reinterpret_cast<LPARAM>(&cf)));
}

std::string TTextAttributes::Name() const {
    CHARFORMATA cf = Format();
    return std::string(cf.szFaceName, strnlen(cf.szFaceName, sizeof cf.szFaceName));
}

void TTextAttributes::SetName(const std::string& face) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_FACE;
    std::strncpy(cf.szFaceName, face.c_str(), sizeof cf.szFaceName - 1);
    SetFormat(cf);
}

int TTextAttributes::Size() const { return Format().yHeight / 20; }

void TTextAttributes::SetSize(int points) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_SIZE;
    cf.yHeight = static_cast<LONG>(std::clamp<int64_t>(static_cast<int64_t>(points) * 20, INT32_MIN, INT32_MAX));
    SetFormat(cf);
}

int TTextAttributes::Height() const { return MulDivRound(Size(), ScreenPixelsPerInch(), 72); }

void TTextAttributes::SetHeight(int pixels) { SetSize(MulDivRound(pixels, 72, ScreenPixelsPerInch())); }

TColor TTextAttributes::Color() const { return Format().crTextColor; }

void TTextAttributes::SetColor(TColor c) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = ColorToRGB(c);
    SetFormat(cf);
}

// The effect bits of the control and the style bits are the same.
TFontStyles TTextAttributes::Style() const { return Format().dwEffects & CFM_EFFECTS; }

void TTextAttributes::SetStyle(TFontStyles s) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_EFFECTS;
    cf.dwEffects = s & CFM_EFFECTS;
    SetFormat(cf);
}

BYTE TTextAttributes::Charset() const { return Format().bCharSet; }

void TTextAttributes::SetCharset(BYTE c) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_CHARSET;
    cf.bCharSet = c;
    SetFormat(cf);
}

TFontPitch TTextAttributes::Pitch() const {
    BYTE p = Format().bPitchAndFamily & 0x03;
    return p == FIXED_PITCH ? fpFixed : p == VARIABLE_PITCH ? fpVariable : fpDefault;
}

void TTextAttributes::SetPitch(TFontPitch p) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_PITCHANDFAMILY;
    BYTE family = Format().bPitchAndFamily & 0xF0;
    cf.bPitchAndFamily = static_cast<BYTE>(family | (p == fpFixed ? FIXED_PITCH : p == fpVariable ? VARIABLE_PITCH : 0));
    SetFormat(cf);
}

void TTextAttributes::Assign(const TFont& font) {
    CHARFORMATA cf{};
    cf.dwMask = CFM_EFFECTS | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_PITCHANDFAMILY;
    cf.dwEffects = font.Style & CFM_EFFECTS;
    cf.yHeight = font.Size * 20;
    cf.crTextColor = ColorToRGB(font.Color);
    cf.bCharSet = font.Charset;
    cf.bPitchAndFamily = font.Pitch == fpFixed ? FIXED_PITCH : font.Pitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(cf.szFaceName, font.Name.c_str(), sizeof cf.szFaceName - 1);
    SetFormat(cf);
}

void TTextAttributes::AssignTo(TFont& font) const {
    CHARFORMATA cf = Format();
    font.Name.assign(cf.szFaceName, strnlen(cf.szFaceName, sizeof cf.szFaceName));
    font.Size = cf.yHeight / 20;
    font.Color = cf.crTextColor;
    font.Style = cf.dwEffects & CFM_EFFECTS;
    font.Charset = cf.bCharSet;
    BYTE p = cf.bPitchAndFamily & 0x03;
    font.Pitch = p == FIXED_PITCH ? fpFixed : p == VARIABLE_PITCH ? fpVariable : fpDefault;
}

// ---------------------------------------------------------------- paragraph format

PARAFORMAT TParaAttributes::get() const {
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    owner_->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    return pf;
}

void TParaAttributes::set(DWORD mask, const PARAFORMAT& value) {
    PARAFORMAT pf = value;
    pf.cbSize = sizeof pf;
    pf.dwMask = mask;
    owner_->Perform(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

TAlignment TParaAttributes::Alignment() const {
    switch (get().wAlignment) {
        case PFA_RIGHT: return taRightJustify;
        case PFA_CENTER: return taCenter;
        case PFA_JUSTIFY: return taJustify;
        default: return taLeftJustify;
    }
}

void TParaAttributes::SetAlignment(TAlignment a) {
    PARAFORMAT pf{};
    pf.wAlignment = a == taRightJustify ? PFA_RIGHT : a == taCenter ? PFA_CENTER : a == taJustify ? PFA_JUSTIFY : PFA_LEFT;
    set(PFM_ALIGNMENT, pf);
}

int TParaAttributes::FirstIndent() const { return get().dxStartIndent / 20; }
void TParaAttributes::SetFirstIndent(int points) {
    PARAFORMAT pf{};
    pf.dxStartIndent = points * 20;
    set(PFM_STARTINDENT, pf);
}
int TParaAttributes::LeftIndent() const { return get().dxOffset / 20; }
void TParaAttributes::SetLeftIndent(int points) {
    PARAFORMAT pf{};
    pf.dxOffset = points * 20;
    set(PFM_OFFSET, pf);
}
int TParaAttributes::RightIndent() const { return get().dxRightIndent / 20; }
void TParaAttributes::SetRightIndent(int points) {
    PARAFORMAT pf{};
    pf.dxRightIndent = points * 20;
    set(PFM_RIGHTINDENT, pf);
}

// ---------------------------------------------------------------- lines and streams

int TRichEditStrings::Count() const {
    auto count = static_cast<int>(owner_->Perform(EM_GETLINECOUNT, 0, 0));
    if (count <= 0) return 0;
    auto lastStart = owner_->Perform(EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
    if (owner_->Perform(EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0) --count;
    return count;
}

std::string TRichEditStrings::operator[](int line) const {
    if (line < 0 || line >= Count()) return {};
    auto start = owner_->Perform(EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    auto len = owner_->Perform(EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (len <= 0) return {};
    std::string s(static_cast<size_t>(std::max<LRESULT>(len, 2)) + 2, '\0');
    WORD cap = static_cast<WORD>(std::min<size_t>(s.size(), 0xFFFF));
    std::memcpy(s.data(), &cap, sizeof cap);
    auto got = owner_->Perform(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return s;
}

std::string TRichEditStrings::Text() const {
    std::string out;
    int n = Count();
    for (int i = 0; i < n; ++i) out += (*this)[i] + "\r\n";
    return out;
}

void TRichEditStrings::Add(const std::string& line) {
    int len = owner_->GetTextLen();
    owner_->Select(len, len);
    bool needBreak = len > 0 && Count() == static_cast<int>(owner_->Perform(EM_GETLINECOUNT, 0, 0));
    owner_->SetSelText((needBreak ? "\r\n" : "") + line + "\r\n");
}

void TRichEditStrings::Clear() { owner_->Clear(); }

bool TRichEditStrings::LoadFromString(const std::string& data, std::string* error) {
    InStream in{&data, 0};
    EDITSTREAM es{reinterpret_cast<UINT_PTR>(&in), 0, readIn};
    owner_->Perform(EM_STREAMIN, owner_->PlainText ? SF_TEXT : SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError != 0) {
        report(error, "The text could not be read.");
        return false;
    }
    owner_->Changed();
    return true;
}

std::string TRichEditStrings::SaveToString() const {
    std::string out;
    EDITSTREAM es{reinterpret_cast<UINT_PTR>(&out), 0, writeOut};
    owner_->Perform(EM_STREAMOUT, owner_->PlainText ? SF_TEXT : SF_RTF, reinterpret_cast<LPARAM>(&es));
    return out;
}

bool TRichEditStrings::LoadFromFile(const std::string& path, std::string* error) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE || !f) {
        report(error, "Cannot open file \"" + path + "\". " + systemReason(GetLastError()));
        return false;
    }
    std::string data;
    FILE_INFORMATION info{};
    bool ok = GetFileInformation(f, &info) != FALSE && info.sizeHigh == 0;
    try {
        if (ok) data.resize(info.sizeLow);
    } catch (...) {
        ok = false;
    }
    if (ok && !data.empty()) {
        DWORD got = 0;
        ok = ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) != FALSE;
        data.resize(ok ? got : 0);
    }
    DWORD code = GetLastError();
    CloseHandle(f);
    if (!ok) {
        report(error, "Cannot read file \"" + path + "\". " + systemReason(code));
        return false;
    }
    return LoadFromString(data, error);
}

bool TRichEditStrings::SaveToFile(const std::string& path, std::string* error) const {
    std::string data = SaveToString();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE || !f) {
        report(error, "Cannot create file \"" + path + "\". " + systemReason(GetLastError()));
        return false;
    }
    DWORD written = 0;
    bool ok = data.empty() ||
              (WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size());
    DWORD code = GetLastError();
    CloseHandle(f);
    if (!ok) report(error, "Cannot write file \"" + path + "\". " + systemReason(code));
    return ok;
}

bool TRichEditStrings::LoadFromStream(std::istream& in, std::string* error) {
    std::string data;
    try {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (...) {
        report(error, "The stream could not be read.");
        return false;
    }
    if (in.bad()) {
        report(error, "The stream could not be read.");
        return false;
    }
    return LoadFromString(data, error);
}

bool TRichEditStrings::SaveToStream(std::ostream& out, std::string* error) const {
    std::string data = SaveToString();
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        report(error, "The stream could not be written.");
        return false;
    }
    return true;
}

}  // namespace zol::forms
