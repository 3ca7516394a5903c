// The symbol-set dialog: the digitalizer's symbols as formatted text, one
// character per symbol in its own font, turned back into a symbol-set
// block on Ok.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/symbol_set.h"
#include "library/EditorTools.h"
#include "platform/forms/forms.h"

namespace zol {

using namespace zol::forms;

class TSimbolsDlg : public TForm {
public:
    explicit TSimbolsDlg(TComponent* owner);

    TGroupBox* GroupBox1;
    TToolBar* ToolBar1;
    TToolButton *Open, *Save, *Bold, *Italic, *Underline, *Strik;
    TRichEdit* RichEdit1;
    TComboBox* ComboBoxPrimaryFont;
    TLabel* Label1;
    TComboBox* ComboBoxCharset;
    TLabel* Label2;
    TEdit* FontSize;
    TUpDown* UpDown1;
    TLabel* Label3;
    TSpeedButton *SpeedButton1, *SpeedButton2;
    TButton *Ok, *Cancel, *Help, *About;
    TPopupMenu* PopupMenu1;
    TMenuItem *Add123, *AddABC, *AddABCD;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TImageList* ImageList1;
    TImageList* ImageListFonts;

    // The screen's pixels per inch, read when the dialog opens.
    int PixelsPerInch = 96;

    void FormCreate(TObject* Sender);
    void OkClick(TObject* Sender);
    void OpenClick(TObject* Sender);
    void SaveClick(TObject* Sender);
    void BoldClick(TObject* Sender);
    void ItalicClick(TObject* Sender);
    void UnderlineClick(TObject* Sender);
    void StrikClick(TObject* Sender);
    void RichEdit1SelectionChange(TObject* Sender);
    void ComboBoxPrimaryFontChange(TObject* Sender);
    void ComboBoxPrimaryFontDrawItem(TControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void ComboBoxPrimaryFontMeasureItem(TControl* Control, int Index, int& Height);
    void ComboBoxCharsetChange(TObject* Sender);
    void UpdateFont();
    void FontSizeExit(TObject* Sender);
    void UpDown1Changing(TObject* Sender, bool& AllowChange, int NewValue, TUDBtnType Direction);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void Add123Click(TObject* Sender);
    void AddABCClick(TObject* Sender);
    void AddABCDClick(TObject* Sender);
    void HelpClick(TObject* Sender);
    void AboutClick(TObject* Sender);

    // The symbols of a block into the text, each in its own font.
    void LoadSymbols(const SymbolSet* set);

private:
    void changeAllSizes(int step);
    void appendPlain(const char* tail);
    std::optional<FontBoxes> fonts_;  // made once the boxes exist
};

}  // namespace zol

// Edits the set `*set` points at (null: an empty set). Returns -1 when the
// dialog closed with Ok, else 0; `*set` then holds the block the caller
// owns: a new one after a successful Ok, its own otherwise.
extern "C" __attribute__((visibility("default"))) int32_t EditDigitalizer(HWND parent, SymbolSet** set);
