#include "library/EditorForm.h"

#include "library/About.h"
#include "library/ConstAEFF.h"

namespace zol {

namespace {

// Lays controls out left to right on a bar.
struct Row {
    TControl* bar;
    int x = 2;
    template <class C>
    C* add(C* c, int width, int height = 22) {
        c->SetParent(bar);
        c->SetBounds(x, 2, width, height);
        x += width + 1;
        return c;
    }
};

TToolButton* toolButton(TComponent* owner, Row& row, const char* name, const char* hint, int image,
                        TToolButtonStyle style = tbsButton) {
    auto* b = row.add(new TToolButton(owner), 23);
    b->Name = name;
    b->Hint = hint;
    b->ShowHint = true;
    b->ImageIndex = image;
    b->Style = style;
    return b;
}

void separator(TComponent* owner, Row& row) {
    auto* s = row.add(new TToolButton(owner), 8);
    s->Style = tbsSeparator;
}

TLabel* label(TComponent* owner, Row& row, const char* caption, int width) {
    auto* l = row.add(new TLabel(owner), width);
    l->Caption = caption;
    return l;
}

}  // namespace

TTypeEditBase::TTypeEditBase(TComponent* owner, EditorState& state) : TForm(owner), state_(state) {
    Caption = "Type Edit";
    BorderStyle = bsSizeable;

    ImageList1 = new TImageList(this);
    ImageList1->Name = "ImageList1";
    AddToolPictures(ImageList1, 22);
    ImageListFonts = new TImageList(this);
    ImageListFonts->Name = "ImageListFonts";
    AddFacePictures(ImageListFonts);

    ToolBar1 = new TToolBar(this);
    ToolBar1->Name = "ToolBar1";
    ToolBar1->SetParent(this);
    ToolBar1->Flat = true;
    ToolBar1->Images = ImageList1;
    Row r1{ToolBar1};
    ToolNew = toolButton(this, r1, "ToolNew", "New Text", 0);
    ToolOpen = toolButton(this, r1, "ToolOpen", "Open Text", 1);
    ToolSave = toolButton(this, r1, "ToolSave", "Save Text", 2);
    separator(this, r1);
    ToolCopy = toolButton(this, r1, "ToolCopy", "Copy to Clipboard", 3);
    ToolPaste = toolButton(this, r1, "ToolPaste", "Paste From Clipboard", 4);
    ToolCut = toolButton(this, r1, "ToolCut", "Cut", 5);
    separator(this, r1);
    ToolBold = toolButton(this, r1, "ToolBold", "Bold", 6, tbsCheck);
    ToolItalic = toolButton(this, r1, "ToolItalic", "Italic", 7, tbsCheck);
    ToolUnderline = toolButton(this, r1, "ToolUnderline", "Underline", 8, tbsCheck);
    ToolStrike = toolButton(this, r1, "ToolStrike", "Strike Out", 9, tbsCheck);
    separator(this, r1);
    ToolLeft = toolButton(this, r1, "ToolLeft", "Left Justify", 10, tbsCheck);
    ToolCenter = toolButton(this, r1, "ToolCenter", "Center", 11, tbsCheck);
    ToolRight = toolButton(this, r1, "ToolRight", "Right Justify", 12, tbsCheck);
    for (TToolButton* b : {ToolLeft, ToolCenter, ToolRight}) {
        b->Grouped = true;
        b->AllowAllUp = true;
    }
    separator(this, r1);
    FontColor = r1.add(new TColorBox(this), 25, 22);
    FontColor->Name = "FontColor";
    FontColor->Hint = "Font Color";
    separator(this, r1);
    Wrap = r1.add(new TCheckBox(this), 80);
    Wrap->Name = "Wrap";
    Wrap->Caption = "Wrap Text";
    ToolAbout = toolButton(this, r1, "ToolAbout", "About Quendrasil", 13);
    ToolHelp = toolButton(this, r1, "ToolHelp", "Help", 14);

    ToolBar3 = new TToolBar(this);
    ToolBar3->Name = "ToolBar3";
    ToolBar3->SetParent(this);
    Row r3{ToolBar3};
    ComboBoxPrimaryFont = r3.add(new TComboBox(this), 241);
    ComboBoxPrimaryFont->Name = "ComboBoxPrimaryFont";
    ComboBoxPrimaryFont->Hint = "Font Name";
    ComboBoxPrimaryFont->Style = csOwnerDrawVariable;
    label(this, r3, " Font Name", 60);
    ComboBoxCharset = r3.add(new TComboBox(this), 184);
    ComboBoxCharset->Name = "ComboBoxCharset";
    ComboBoxCharset->Hint = "Font Charset";
    label(this, r3, " Script", 40);
    FontSize = r3.add(new TEdit(this), 40);
    FontSize->Name = "FontSize";
    FontSize->Hint = "Font Size";
    FontSize->SetText("12");
    UpDown1 = r3.add(new TUpDown(this), 15);
    UpDown1->Name = "UpDown1";
    UpDown1->Min = 0;
    UpDown1->Max = 256;
    UpDown1->Wrap = false;
    UpDown1->Associate = FontSize;
    UpDown1->SetPosition(12);
    label(this, r3, " Font Size", 60);

    ProgressBar1 = new TProgressBar(this);
    ProgressBar1->Name = "ProgressBar1";
    ProgressBar1->SetParent(this);
    ProgressBar1->Min = 0;
    ProgressBar1->Max = 100;
    BtnStop = new TButton(this);
    BtnStop->Name = "BtnStop";
    BtnStop->Caption = "Stop";
    BtnStop->Hint = "Stop Process";
    BtnStop->Visible = false;
    BtnStop->SetParent(this);
    BtnCansel = new TButton(this);
    BtnCansel->Name = "BtnCansel";
    BtnCansel->Caption = "Cancel";
    BtnCansel->Cancel = true;
    BtnCansel->ModalResult = mrCancel;
    BtnCansel->SetParent(this);
    BtnOk = new TButton(this);
    BtnOk->Name = "BtnOk";
    BtnOk->Caption = "Ok";
    BtnOk->Default = true;
    BtnOk->ModalResult = mrOk;
    BtnOk->SetParent(this);

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = "OpenDialog1";
    OpenDialog1->DefaultExt = "rtf";
    OpenDialog1->FileName = "*.rtf";
    OpenDialog1->Filter = "Rich Text Format|rtf|Text File|txt|All Format|*";
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Name = "SaveDialog1";
    SaveDialog1->DefaultExt = "rtf";
    SaveDialog1->FileName = "*.rtf";
    SaveDialog1->Filter = "Rich Text Format|rtf|Text Files|txt|All Format|*";
    ColorDialog1 = new TColorDialog(this);
    ColorDialog1->Name = "ColorDialog1";

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->Name = "PopupMenu1";
    PopupMenu1->Images = ImageList1;
    PopupMenu1->Add("New", "New File", Bind(this, &TTypeEditBase::NewClick))->ImageIndex = 0;
    PopupMenu1->Add("SaveMenu", "Save", Bind(this, &TTypeEditBase::SaveMenuClick))->ImageIndex = 2;
    PopupMenu1->Add("OpenMenu", "Open", Bind(this, &TTypeEditBase::OpenMenuClick))->ImageIndex = 1;
    PopupMenu1->Add("N1", "-");
    PopupMenu1->Add("PasteClbMenu", "Paste", Bind(this, &TTypeEditBase::PasteClbMenuClick))->ImageIndex = 4;
    PopupMenu1->Add("CopyClbMenu", "Copy", Bind(this, &TTypeEditBase::CopyClbMenuClick))->ImageIndex = 3;
    PopupMenu1->Add("CutClbMenu", "Cut", Bind(this, &TTypeEditBase::CutClbMenuClick))->ImageIndex = 5;

    RichEdit1 = nullptr;
    fontBoxes_ = std::make_unique<FontBoxes>(state_.fonts, ComboBoxPrimaryFont, ComboBoxCharset, FontSize,
                                             ImageListFonts);

    OnClose = Bind(this, &TTypeEditBase::FormClose);
    OnCloseQuery = Bind(this, &TTypeEditBase::FormCloseQuery);
    ToolNew->OnClick = Bind(this, &TTypeEditBase::ToolNewClick);
    ToolOpen->OnClick = Bind(this, &TTypeEditBase::ToolOpenClick);
    ToolSave->OnClick = Bind(this, &TTypeEditBase::ToolSaveClick);
    ToolCopy->OnClick = Bind(this, &TTypeEditBase::ToolCopyClick);
    ToolPaste->OnClick = Bind(this, &TTypeEditBase::ToolPasteClick);
    ToolCut->OnClick = Bind(this, &TTypeEditBase::ToolCutClick);
    ToolBold->OnClick = Bind(this, &TTypeEditBase::ToolBoldClick);
    ToolItalic->OnClick = Bind(this, &TTypeEditBase::ToolItalicClick);
    ToolUnderline->OnClick = Bind(this, &TTypeEditBase::ToolUnderlineClick);
    ToolStrike->OnClick = Bind(this, &TTypeEditBase::ToolStrikeClick);
    ToolLeft->OnClick = Bind(this, &TTypeEditBase::ToolLeftClick);
    ToolCenter->OnClick = Bind(this, &TTypeEditBase::ToolCenterClick);
    ToolRight->OnClick = Bind(this, &TTypeEditBase::ToolRightClick);
    FontColor->OnClick = Bind(this, &TTypeEditBase::FontColorClick);
    Wrap->OnClick = Bind(this, &TTypeEditBase::WrapClick);
    ToolAbout->OnClick = Bind(this, &TTypeEditBase::ToolAboutClick);
    ToolHelp->OnClick = Bind(this, &TTypeEditBase::ToolHelpClick);
    ComboBoxPrimaryFont->OnChange = Bind(this, &TTypeEditBase::ComboBoxPrimaryFontChange);
    ComboBoxPrimaryFont->OnDrawItem = Bind(this, &TTypeEditBase::ComboBoxPrimaryFontDrawItem);
    ComboBoxPrimaryFont->OnMeasureItem = Bind(this, &TTypeEditBase::ComboBoxPrimaryFontMeasureItem);
    ComboBoxCharset->OnChange = Bind(this, &TTypeEditBase::ComboBoxCharsetChange);
    FontSize->OnExit = Bind(this, &TTypeEditBase::FontSizeExit);
    UpDown1->OnChangingEx = Bind(this, &TTypeEditBase::UpDown1Changing);
    BtnOk->OnClick = Bind(this, &TTypeEditBase::BtnOkClick);
    BtnCansel->OnClick = Bind(this, &TTypeEditBase::BtnCanselClick);
    BtnStop->OnClick = Bind(this, &TTypeEditBase::BtnStopClick);
}

TRichEdit* TTypeEditBase::MakeText(const std::string& name, TColor colour) {
    auto* text = new TRichEdit(this);
    text->Name = name;
    text->SetParent(this);
    text->SetBounds(0, 80, 834, 280);
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    font.Color = colour;
    font.Charset = RUSSIAN_CHARSET;
    text->SetFont(font);
    text->SetText("No Data");
    text->ScrollBars = ssBoth;
    text->WantTabs = true;
    text->PopupMenu = PopupMenu1;
    return text;
}

void TTypeEditBase::SetupFontBoxes() { fontBoxes_->Fill(); }

bool TTypeEditBase::LoadInterchange(TRichEdit& text, const std::string& path) {
    std::string error;
    if (text.Lines().LoadFromFile(path, &error)) return true;
    MessageDlg(error.empty() ? "Cannot open file \"" + path + "\"." : error, mtError, mbOK);
    text.SetText("No Data");
    return false;
}

// ---------------------------------------------------------------- following

void TTypeEditBase::FollowSelection(TRichEdit& text) {
    switch (text.Paragraph().Alignment()) {
        case taLeftJustify: ToolLeft->SetDown(true); break;
        case taRightJustify: ToolRight->SetDown(true); break;
        case taCenter: ToolCenter->SetDown(true); break;
        default: break;
    }
    const TFontStyles styles = SelectionStyles(text);
    ToolBold->SetDown(styles & fsBold);
    ToolItalic->SetDown(styles & fsItalic);
    ToolUnderline->SetDown(styles & fsUnderline);
    ToolStrike->SetDown(styles & fsStrikeOut);
    FontColor->Color = text.SelAttributes().Color();
    fontBoxes_->Follow(text);
}

void TTypeEditBase::RichEdit1SelectionChange(TObject*) {
    if (RichEdit1) TextSelected(*RichEdit1);
}

void TTypeEditBase::TextSelected(TRichEdit& text) { FollowSelection(text); }

// ---------------------------------------------------------------- commands

void TTypeEditBase::ToolNewClick(TObject*) {
    Target().Clear();
    state_.lastFileName.clear();
}

void TTypeEditBase::ToolOpenClick(TObject*) {
    OpenDialog1->FileName = "*.rtf";
    if (!OpenDialog1->Execute()) return;
    state_.lastFileName = OpenDialog1->FileName;
    ProgressBar1->SetPosition(100);
    LoadRichText(Target(), OpenDialog1->FileName);
    ProgressBar1->SetPosition(0);
}

void TTypeEditBase::ToolSaveClick(TObject*) {
    SaveDialog1->FileName = "*.rtf";
    if (!SaveDialog1->Execute()) return;
    state_.lastFileName = SaveDialog1->FileName;
    SaveRichText(Target(), SaveDialog1->FileName);
}

void TTypeEditBase::ToolCutClick(TObject*) { Target().CutToClipboard(); }
void TTypeEditBase::ToolCopyClick(TObject*) { Target().CopyToClipboard(); }
void TTypeEditBase::ToolPasteClick(TObject*) { Target().PasteFromClipboard(); }

void TTypeEditBase::ToolLeftClick(TObject*) { Target().Paragraph().SetAlignment(taLeftJustify); }
void TTypeEditBase::ToolRightClick(TObject*) { Target().Paragraph().SetAlignment(taRightJustify); }
void TTypeEditBase::ToolCenterClick(TObject*) { Target().Paragraph().SetAlignment(taCenter); }

void TTypeEditBase::ToolBoldClick(TObject*) { SetSelectionStyle(Target(), fsBold, ToolBold->Down()); }
void TTypeEditBase::ToolItalicClick(TObject*) { SetSelectionStyle(Target(), fsItalic, ToolItalic->Down()); }
void TTypeEditBase::ToolUnderlineClick(TObject*) {
    SetSelectionStyle(Target(), fsUnderline, ToolUnderline->Down());
}
void TTypeEditBase::ToolStrikeClick(TObject*) { SetSelectionStyle(Target(), fsStrikeOut, ToolStrike->Down()); }

void TTypeEditBase::FontColorClick(TObject*) {
    ColorDialog1->Color = Target().SelAttributes().Color();
    if (!ColorDialog1->Execute()) return;
    FontColor->Color = ColorDialog1->Color;
    SetSelectionColor(Target(), ColorDialog1->Color);
}

void TTypeEditBase::WrapClick(TObject*) {
    ProgressBar1->SetPosition(100);
    Target().SetWordWrap(Wrap->Checked());
    ProgressBar1->SetPosition(0);
}

void TTypeEditBase::ComboBoxPrimaryFontChange(TObject* Sender) {
    fontBoxes_->FaceChanged(&Target(), Sender != nullptr);
}

void TTypeEditBase::ComboBoxPrimaryFontDrawItem(TControl*, int Index, TRect Rect, TOwnerDrawState State) {
    fontBoxes_->DrawItem(Index, Rect, State);
}

void TTypeEditBase::ComboBoxPrimaryFontMeasureItem(TControl*, int, int& Height) { FontBoxes::MeasureItem(Height); }

void TTypeEditBase::ComboBoxCharsetChange(TObject* Sender) { fontBoxes_->ScriptChanged(&Target(), Sender != nullptr); }

void TTypeEditBase::UpdateFont(TObject*) { fontBoxes_->UpdateFont(Target()); }

void TTypeEditBase::FontSizeExit(TObject*) { fontBoxes_->ApplySize(Target()); }

void TTypeEditBase::UpDown1Changing(TObject*, bool& AllowChange, int NewValue, TUDBtnType) {
    if (!AllowChange) return;
    // The number the box shows after the step.
    FontSize->SetText(std::to_string(NewValue));
    fontBoxes_->ApplySize(Target());
}

void TTypeEditBase::ToolAboutClick(TObject*) { ShowAboutForm(); }
void TTypeEditBase::ToolHelpClick(TObject*) { OpenHelp(this); }

void TTypeEditBase::BtnOkClick(TObject*) { stop_ = true; }
void TTypeEditBase::BtnCanselClick(TObject*) { stop_ = true; }
void TTypeEditBase::BtnStopClick(TObject*) { stop_ = true; }

void TTypeEditBase::FormCloseQuery(TObject*, bool& CanClose) {
    // Any close request ends a running tool at its next check.
    stop_ = true;
    CanClose = true;
}

void TTypeEditBase::FormClose(TObject*, TCloseAction&) {
    stop_ = true;
    SaveTexts();
}

}  // namespace zol
