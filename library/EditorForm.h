// The frame the two text editors share: tool bars 1 and 3, the bottom bar,
// the context menu, the file and colour dialogs, and every command that
// acts on the text the user works in. The single-text editor adds the
// random styling tools; the two-text editor a second text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "library/EditorTools.h"

namespace zol {

// The colour box of tool bar 1: a small panel filled with a colour.
class TColorBox : public TPanel {
public:
    using TPanel::TPanel;
    TColor Color = clBlack;
};

// What one editor kind keeps for the library's lifetime.
struct EditorState {
    std::string lastFileName;
    FontBoxState fonts;
};

class TTypeEditBase : public TForm {
public:
    TTypeEditBase(TComponent* owner, EditorState& state);

    // ---- tool bar 1
    TToolBar* ToolBar1;
    TToolButton *ToolNew, *ToolOpen, *ToolSave, *ToolCopy, *ToolPaste, *ToolCut;
    TToolButton *ToolBold, *ToolItalic, *ToolUnderline, *ToolStrike;
    TToolButton *ToolLeft, *ToolCenter, *ToolRight;
    TColorBox* FontColor;
    TCheckBox* Wrap;
    TToolButton *ToolAbout, *ToolHelp;
    // ---- tool bar 3
    TToolBar* ToolBar3;
    TComboBox* ComboBoxPrimaryFont;
    TComboBox* ComboBoxCharset;
    TEdit* FontSize;
    TUpDown* UpDown1;
    // ---- the text and the bottom bar
    TRichEdit* RichEdit1;
    TProgressBar* ProgressBar1;
    TButton *BtnStop, *BtnCansel, *BtnOk;
    // ---- not shown
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TColorDialog* ColorDialog1;
    TImageList *ImageList1, *ImageListFonts;
    TPopupMenu* PopupMenu1;

    // ---- handlers
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ToolNewClick(TObject* Sender);
    void ToolOpenClick(TObject* Sender);
    void ToolSaveClick(TObject* Sender);
    void ToolCutClick(TObject* Sender);
    void ToolCopyClick(TObject* Sender);
    void ToolPasteClick(TObject* Sender);
    void ToolLeftClick(TObject* Sender);
    void ToolRightClick(TObject* Sender);
    void ToolCenterClick(TObject* Sender);
    void ToolBoldClick(TObject* Sender);
    void ToolItalicClick(TObject* Sender);
    void ToolUnderlineClick(TObject* Sender);
    void ToolStrikeClick(TObject* Sender);
    void FontColorClick(TObject* Sender);
    void WrapClick(TObject* Sender);
    void RichEdit1SelectionChange(TObject* Sender);
    void ComboBoxPrimaryFontChange(TObject* Sender);
    void ComboBoxPrimaryFontDrawItem(TControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void ComboBoxPrimaryFontMeasureItem(TControl* Control, int Index, int& Height);
    void ComboBoxCharsetChange(TObject* Sender);
    void UpdateFont(TObject* Sender);
    void FontSizeExit(TObject* Sender);
    void UpDown1Changing(TObject* Sender, bool& AllowChange, int NewValue, TUDBtnType Direction);
    void ToolAboutClick(TObject* Sender);
    void ToolHelpClick(TObject* Sender);
    void BtnOkClick(TObject* Sender);
    void BtnCanselClick(TObject* Sender);
    void BtnStopClick(TObject* Sender);
    // The context menu does what the tool buttons do.
    void NewClick(TObject* Sender) { ToolNewClick(Sender); }
    void OpenMenuClick(TObject* Sender) { ToolOpenClick(Sender); }
    void SaveMenuClick(TObject* Sender) { ToolSaveClick(Sender); }
    void PasteClbMenuClick(TObject* Sender) { ToolPasteClick(Sender); }
    void CopyClbMenuClick(TObject* Sender) { ToolCopyClick(Sender); }
    void CutClbMenuClick(TObject* Sender) { ToolCutClick(Sender); }

    bool StopRequested() const { return stop_; }

protected:
    // On close, whatever the result: the texts go back to their
    // interchange files.
    virtual void SaveTexts() = 0;
    // The text the commands act on.
    virtual TRichEdit& Target() { return *RichEdit1; }
    // The tool bar and boxes follow `text`'s selection.
    void FollowSelection(TRichEdit& text);
    // A selection change in `text`.
    virtual void TextSelected(TRichEdit& text);
    // A rich-text control as both editors set theirs up.
    TRichEdit* MakeText(const std::string& name, TColor colour);
    void SetupFontBoxes();
    // Loads `path` into `text`; false (after the platform's message) when it
    // cannot be read, the text then keeps "No Data".
    static bool LoadInterchange(TRichEdit& text, const std::string& path);

    EditorState& state_;
    std::unique_ptr<FontBoxes> fontBoxes_;
    bool stop_ = false;
};

}  // namespace zol
