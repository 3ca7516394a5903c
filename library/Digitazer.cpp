#include "library/Digitazer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "library/About.h"
#include "library/ConstAEFF.h"

#define ZOLEXPORT extern "C" __attribute__((visibility("default")))

namespace zol {

namespace {

// The dialog's own face list and script, kept between dialogs and apart
// from the editors'.
FontBoxState DigitalizerFonts;

// The set being edited: the caller's block until an Ok builds a new one.
// One reference for the process, so one dialog at a time.
SymbolSet* EditedSet = nullptr;
bool DialogOpen = false;

// A block is never trusted for more symbols than a text could hold.
constexpr int32_t kMaxSymbols = 1 << 20;

int32_t load32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}
void store32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

int screenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    int ppi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return ppi > 0 ? ppi : 96;
}

// A tool picture: a letter on the button face, in the style it sets.
HBITMAP toolPicture(const char* letter, int weight, bool italic, bool underline, bool strike) {
    return LetterPicture(letter, {RGB(192, 192, 192), RGB(0, 0, 0), "Arial", -13, weight, italic, underline, strike, 3, 1});
}

template <class T>
T* make(TComponent* owner, TControl* parent, const char* name, int left, int top, int width, int height) {
    T* c = new T(owner);
    c->Name = name;
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

}  // namespace

TSimbolsDlg::TSimbolsDlg(TComponent* owner) : TForm(owner) {
    Name = "SimbolsDlg";
    Caption = "Quendrasil Digitalizer";
    BorderStyle = bsDialog;
    ClientWidth = 592;
    ClientHeight = 236;

    ImageList1 = new TImageList(this);
    ImageList1->Name = "ImageList1";
    ImageListFonts = new TImageList(this);
    ImageListFonts->Name = "ImageListFonts";

    GroupBox1 = make<TGroupBox>(this, this, "GroupBox1", 0, 0, 592, 160);
    GroupBox1->Caption = "Using simbols";

    ToolBar1 = make<TToolBar>(this, GroupBox1, "ToolBar1", 2, 15, 24, 143);
    ToolBar1->Images = ImageList1;
    ToolBar1->Flat = true;
    auto tool = [this](const char* name, const char* hint, TToolButtonStyle style, int image, int top) {
        TToolButton* b = make<TToolButton>(this, ToolBar1, name, 0, top, 23, 22);
        b->Hint = hint;
        b->ShowHint = true;
        b->Style = style;
        b->ImageIndex = image;
        return b;
    };
    Open = tool("Open", "Open Set", tbsButton, 0, 0);
    Save = tool("Save", "Save Set", tbsButton, 1, 22);
    Bold = tool("Bold", "Bold", tbsCheck, 2, 44);
    Italic = tool("Italic", "Italic", tbsCheck, 3, 66);
    Underline = tool("Underline", "Underline", tbsCheck, 4, 88);
    Strik = tool("Strik", "StrikeOut", tbsCheck, 5, 110);
    Open->OnClick = Bind(this, &TSimbolsDlg::OpenClick);
    Save->OnClick = Bind(this, &TSimbolsDlg::SaveClick);
    Bold->OnClick = Bind(this, &TSimbolsDlg::BoldClick);
    Italic->OnClick = Bind(this, &TSimbolsDlg::ItalicClick);
    Underline->OnClick = Bind(this, &TSimbolsDlg::UnderlineClick);
    Strik->OnClick = Bind(this, &TSimbolsDlg::StrikClick);

    RichEdit1 = make<TRichEdit>(this, GroupBox1, "RichEdit1", 26, 15, 564, 143);
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    font.Color = clWindowText;
    RichEdit1->SetFont(font);
    RichEdit1->OnSelectionChange = Bind(this, &TSimbolsDlg::RichEdit1SelectionChange);

    ComboBoxPrimaryFont = make<TComboBox>(this, this, "ComboBoxPrimaryFont", 4, 168, 149, 22);
    ComboBoxPrimaryFont->Style = csOwnerDrawVariable;
    ComboBoxPrimaryFont->Hint = "Font Name";
    ComboBoxPrimaryFont->OnChange = Bind(this, &TSimbolsDlg::ComboBoxPrimaryFontChange);
    ComboBoxPrimaryFont->OnDrawItem = Bind(this, &TSimbolsDlg::ComboBoxPrimaryFontDrawItem);
    ComboBoxPrimaryFont->OnMeasureItem = Bind(this, &TSimbolsDlg::ComboBoxPrimaryFontMeasureItem);
    Label1 = make<TLabel>(this, this, "Label1", 156, 172, 60, 13);
    Label1->Caption = " Font Name";
    Label1->FocusControl = ComboBoxPrimaryFont;

    ComboBoxCharset = make<TComboBox>(this, this, "ComboBoxCharset", 220, 168, 113, 21);
    ComboBoxCharset->Style = csDropDownList;
    ComboBoxCharset->Hint = "Font Charset";
    ComboBoxCharset->OnChange = Bind(this, &TSimbolsDlg::ComboBoxCharsetChange);
    Label2 = make<TLabel>(this, this, "Label2", 336, 172, 36, 13);
    Label2->Caption = " Script";
    Label2->FocusControl = ComboBoxCharset;

    FontSize = make<TEdit>(this, this, "FontSize", 376, 168, 33, 21);
    FontSize->Hint = "Font Size";
    FontSize->SetText("0");
    FontSize->OnExit = Bind(this, &TSimbolsDlg::FontSizeExit);
    UpDown1 = make<TUpDown>(this, this, "UpDown1", 409, 168, 15, 21);
    UpDown1->Min = 0;
    UpDown1->Max = 100;
    UpDown1->Wrap = false;
    UpDown1->Associate = FontSize;
    UpDown1->SetPosition(0);
    UpDown1->OnChangingEx = Bind(this, &TSimbolsDlg::UpDown1Changing);
    Label3 = make<TLabel>(this, this, "Label3", 428, 172, 50, 13);
    Label3->Caption = " Font Size";
    Label3->FocusControl = FontSize;

    SpeedButton1 = make<TSpeedButton>(this, this, "SpeedButton1", 500, 166, 23, 22);
    SpeedButton1->Hint = "Inrement All Fonts Size";
    SpeedButton1->ShowHint = true;
    SpeedButton1->OnClick = Bind(this, &TSimbolsDlg::SpeedButton1Click);
    SpeedButton2 = make<TSpeedButton>(this, this, "SpeedButton2", 526, 166, 23, 22);
    SpeedButton2->Hint = "Decriment All Fonts Size";
    SpeedButton2->ShowHint = true;
    SpeedButton2->OnClick = Bind(this, &TSimbolsDlg::SpeedButton2Click);

    Ok = make<TButton>(this, this, "Ok", 352, 204, 75, 25);
    Ok->Caption = "Ok";
    Ok->Default = true;
    Ok->ModalResult = mrOk;
    Ok->OnClick = Bind(this, &TSimbolsDlg::OkClick);
    Cancel = make<TButton>(this, this, "Cancel", 432, 204, 75, 25);
    Cancel->Caption = "Cancel";
    Cancel->Cancel = true;
    Cancel->ModalResult = mrCancel;
    Help = make<TButton>(this, this, "Help", 512, 204, 75, 25);
    Help->Caption = "Help";
    Help->OnClick = Bind(this, &TSimbolsDlg::HelpClick);
    About = make<TButton>(this, this, "About", 8, 204, 75, 25);
    About->Caption = "About";
    About->Visible = false;
    About->OnClick = Bind(this, &TSimbolsDlg::AboutClick);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->Name = "PopupMenu1";
    Add123 = PopupMenu1->Add("Add123", "Add 0,1,...,9", Bind(this, &TSimbolsDlg::Add123Click));
    AddABC = PopupMenu1->Add("AddABC", "Add a,b,...,z", Bind(this, &TSimbolsDlg::AddABCClick));
    AddABCD = PopupMenu1->Add("AddABCD", "Add A,B,...,Z", Bind(this, &TSimbolsDlg::AddABCDClick));
    RichEdit1->PopupMenu = PopupMenu1;

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = "OpenDialog1";
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Name = "SaveDialog1";

    fonts_.emplace(DigitalizerFonts, ComboBoxPrimaryFont, ComboBoxCharset, FontSize, ImageListFonts);
    OnCreate = Bind(this, &TSimbolsDlg::FormCreate);
}

void TSimbolsDlg::FormCreate(TObject*) {
    ImageList1->Add(toolPicture("O", FW_NORMAL, false, false, false));
    ImageList1->Add(toolPicture("S", FW_NORMAL, false, false, false));
    ImageList1->Add(toolPicture("B", FW_BOLD, false, false, false));
    ImageList1->Add(toolPicture("I", FW_NORMAL, true, false, false));
    ImageList1->Add(toolPicture("U", FW_NORMAL, false, true, false));
    ImageList1->Add(toolPicture("S", FW_NORMAL, false, false, true));
    AddFacePictures(ImageListFonts);
    PixelsPerInch = screenPixelsPerInch();
    fonts_->Fill();
}

void TSimbolsDlg::LoadSymbols(const SymbolSet* set) {
    if (!set) return;
    const auto* block = reinterpret_cast<const uint8_t*>(set);
    const int32_t count = std::clamp(load32(block), 0, kMaxSymbols);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = block + kSymbolSetHeader + static_cast<size_t>(i) * SymbolEntryLayout::size;
        LOGFONTA lf;
        std::memcpy(&lf, entry + SymbolEntryLayout::font, sizeof lf);
        RichEdit1->Select(i, i + 1);
        TTextAttributes sel = RichEdit1->SelAttributes();
        sel.SetCharset(lf.lfCharSet);
        sel.SetSize(MulDiv(lf.lfHeight, 72, PixelsPerInch));
        sel.SetName(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
        const BYTE pitch = lf.lfPitchAndFamily;
        sel.SetPitch((pitch & FIXED_PITCH) ? fpFixed : (pitch & VARIABLE_PITCH) ? fpVariable : fpDefault);
        TFontStyles styles = 0;
        if (lf.lfWeight >= FW_BOLD) styles |= fsBold;
        if (lf.lfItalic) styles |= fsItalic;
        if (lf.lfUnderline) styles |= fsUnderline;
        if (lf.lfStrikeOut) styles |= fsStrikeOut;
        sel.SetStyle(styles);
        RichEdit1->SetSelText(std::string(1, static_cast<char>(entry[SymbolEntryLayout::character])));
    }
}

void TSimbolsDlg::OkClick(TObject*) {
    const int32_t length = static_cast<int32_t>(RichEdit1->Lines().Text().size());
    if (length < 2) {
        Application()->MessageBox("length of text must be more 2", "Error", MB_OK | MB_ICONERROR);
        return;
    }
    uint8_t* block = nullptr;
    try {
        block = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, SymbolSetBytes(static_cast<size_t>(length)), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!block) throw std::bad_alloc();
        int32_t count = 0;
        for (int32_t p = 0; p < length; ++p) {
            RichEdit1->Select(p, p + 1);
            const std::string ch = RichEdit1->SelText();
            const auto code = static_cast<uint8_t>(ch.empty() ? 0 : ch[0]);
            if (code == 0 || code == 9 || code == 10 || code == 13) continue;
            const CHARFORMATA cf = RichEdit1->SelAttributes().Format();
            LOGFONTA lf;
            std::memset(&lf, 0, sizeof lf);
            lf.lfHeight = RoundEven(static_cast<double>(cf.yHeight) * PixelsPerInch / 1440.0 - 0.5);
            lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
            lf.lfItalic = (cf.dwEffects & CFE_ITALIC) ? 1 : 0;
            lf.lfUnderline = (cf.dwEffects & CFE_UNDERLINE) ? 1 : 0;
            lf.lfStrikeOut = (cf.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
            lf.lfCharSet = cf.bCharSet;
            lf.lfQuality = PROOF_QUALITY;
            lf.lfPitchAndFamily = cf.bPitchAndFamily;
            std::memcpy(lf.lfFaceName, cf.szFaceName,
                        std::min(strnlen(cf.szFaceName, sizeof cf.szFaceName), sizeof lf.lfFaceName - 1));
            uint8_t* entry = block + kSymbolSetHeader + static_cast<size_t>(count) * SymbolEntryLayout::size;
            entry[SymbolEntryLayout::character] = code;
            std::memcpy(entry + SymbolEntryLayout::font, &lf, sizeof lf);
            ++count;
        }
        store32(block, count);
    } catch (...) {
        if (block) VirtualFree(block, 0, MEM_RELEASE);
        Application()->MessageBox("You have the big problem", "Error", MB_OK | MB_ICONERROR);
        return;
    }
    // Only a complete new set replaces the caller's.
    if (EditedSet) VirtualFree(EditedSet, 0, MEM_RELEASE);
    EditedSet = reinterpret_cast<SymbolSet*>(block);
}

void TSimbolsDlg::OpenClick(TObject*) {
    OpenDialog1->FileName = "*.rtf";
    if (OpenDialog1->Execute()) LoadRichText(*RichEdit1, OpenDialog1->FileName);
}

void TSimbolsDlg::SaveClick(TObject*) {
    SaveDialog1->FileName = "*.rtf";
    if (SaveDialog1->Execute()) SaveRichText(*RichEdit1, SaveDialog1->FileName);
}

void TSimbolsDlg::BoldClick(TObject*) { SetSelectionStyle(*RichEdit1, fsBold, Bold->Down()); }
void TSimbolsDlg::ItalicClick(TObject*) { SetSelectionStyle(*RichEdit1, fsItalic, Italic->Down()); }
void TSimbolsDlg::UnderlineClick(TObject*) { SetSelectionStyle(*RichEdit1, fsUnderline, Underline->Down()); }
void TSimbolsDlg::StrikClick(TObject*) { SetSelectionStyle(*RichEdit1, fsStrikeOut, Strik->Down()); }

void TSimbolsDlg::RichEdit1SelectionChange(TObject*) {
    const TFontStyles styles = SelectionStyles(*RichEdit1);
    Bold->SetDown(styles & fsBold);
    Italic->SetDown(styles & fsItalic);
    Underline->SetDown(styles & fsUnderline);
    Strik->SetDown(styles & fsStrikeOut);
    fonts_->Follow(*RichEdit1);
}

void TSimbolsDlg::ComboBoxPrimaryFontChange(TObject* Sender) { fonts_->FaceChanged(RichEdit1, Sender != nullptr); }

void TSimbolsDlg::ComboBoxPrimaryFontDrawItem(TControl*, int Index, TRect Rect, TOwnerDrawState State) {
    fonts_->DrawItem(Index, Rect, State);
}

void TSimbolsDlg::ComboBoxPrimaryFontMeasureItem(TControl*, int, int& Height) { FontBoxes::MeasureItem(Height); }

void TSimbolsDlg::ComboBoxCharsetChange(TObject* Sender) { fonts_->ScriptChanged(RichEdit1, Sender != nullptr); }

void TSimbolsDlg::UpdateFont() { fonts_->UpdateFont(*RichEdit1); }

void TSimbolsDlg::FontSizeExit(TObject*) { fonts_->ApplySize(*RichEdit1); }

// The arrows apply the number they are about to show.
void TSimbolsDlg::UpDown1Changing(TObject*, bool& AllowChange, int NewValue, TUDBtnType) {
    if (!AllowChange) return;
    FontSize->SetText(std::to_string(NewValue));
    fonts_->ApplySize(*RichEdit1);
}

void TSimbolsDlg::changeAllSizes(int step) {
    const int start = RichEdit1->SelStart();
    const int length = RichEdit1->SelLength();
    const int from = length > 0 ? start : 0;
    const int to = length > 0 ? start + length : RichEdit1->GetTextLen();
    for (int p = from; p < to; ++p) {
        RichEdit1->Select(p, p + 1);
        TTextAttributes sel = RichEdit1->SelAttributes();
        int size = sel.Size() + step;
        if (step > 0 && size <= 1) size = 1;
        sel.SetSize(size);
    }
    RichEdit1->Select(start, start + length);
}

void TSimbolsDlg::SpeedButton1Click(TObject*) { changeAllSizes(1); }
void TSimbolsDlg::SpeedButton2Click(TObject*) { changeAllSizes(-1); }

void TSimbolsDlg::appendPlain(const char* tail) { RichEdit1->SetText(RichEdit1->Text() + tail); }

void TSimbolsDlg::Add123Click(TObject*) { appendPlain("1234567890"); }
void TSimbolsDlg::AddABCClick(TObject*) { appendPlain("abcdefghijklmnopqrstuvwxyz"); }
void TSimbolsDlg::AddABCDClick(TObject*) { appendPlain("ABCDEFGHIJKLMNOPQRSTUVWXYZ"); }

void TSimbolsDlg::HelpClick(TObject*) { OpenHelp(this); }
void TSimbolsDlg::AboutClick(TObject*) { ShowAboutForm(); }

}  // namespace zol

ZOLEXPORT int32_t EditDigitalizer(HWND parent, SymbolSet** set) {
    using namespace zol;
    if (!set || DialogOpen) return 0;
    SymbolSet* const callers = *set;
    DialogOpen = true;
    EditedSet = callers;
    int32_t result = 0;
    try {
        TFormPtr<TSimbolsDlg> dialog = CreateForm<TSimbolsDlg>(Application());
        dialog->LoadSymbols(callers);
        dialog->ParentWindow = parent;
        result = dialog->ShowModal() == mrOk ? -1 : 0;
    } catch (...) {
        result = 0;
    }
    // Whatever happened, the reference names a block the caller may own:
    // its own, or the complete new one that already replaced it.
    *set = EditedSet;
    EditedSet = nullptr;
    DialogOpen = false;
    return result;
}
