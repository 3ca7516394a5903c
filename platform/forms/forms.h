// The form framework the library's dialogs and hidden documents are built
// on: components owned by components, controls laid out on forms, modal
// forms run by a driver, fonts and a canvas over the graphics services, the
// rich-text component over the platform's rich-edit control, and the common
// dialogs.
//
// Without a display nothing is drawn: a modal form is handed to the current
// driver (see TFormDriver), which decides what the "user" does. The default
// driver closes every modal form at once, as the window's close button
// would, and cancels every common dialog.
//
// Properties with side effects (events, messages to a control) are getter
// and setter pairs: Text() and SetText(). Plain settings are public fields.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"
#include "platform/win/winapi.h"

#define ZOLFORMS __attribute__((visibility("default")))

namespace zol::forms {

class TObject;
class TComponent;
class TControl;
class TForm;
class TCanvas;

// ---------------------------------------------------------------- basics

typedef COLORREF TColor;
// System colours resolve through ColorToRGB.
inline constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF,
                        clGreen = 0x008000, clLime = 0x00FF00, clBlue = 0xFF0000,
                        clGray = 0x808080, clSilver = 0xC0C0C0, clYellow = 0x00FFFF,
                        clNavy = 0x800000, clMaroon = 0x000080;
inline constexpr TColor clWindowText = 0x80000008u, clWindow = 0x80000005u,
                        clBtnFace = 0x8000000Fu, clHighlight = 0x8000000Du,
                        clHighlightText = 0x8000000Eu;
ZOLFORMS TColor ColorToRGB(TColor c);

typedef int TModalResult;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                              mrIgnore = 5, mrYes = 6, mrNo = 7;

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class ZOLFORMS TObject {
public:
    virtual ~TObject() = default;
};

typedef std::function<void(TObject* Sender)> TNotifyEvent;

// A handler bound to a member function of a form: Bind(this, &TEditForm::ToolBoldClick).
template <class C, class... A>
std::function<void(A...)> Bind(C* self, void (C::*method)(A...)) {
    return [self, method](A... args) { (self->*method)(args...); };
}

// ---------------------------------------------------------------- components

// A component belongs to its owner, which destroys it. Owned components
// must therefore be made with new; a component destroyed early leaves its
// owner's list by itself.
class ZOLFORMS TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string Name;
    int Tag = 0;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Searches the owned components and theirs, depth first; null when none
    // has that name (names compare exactly).
    TComponent* FindComponent(const std::string& name) const;

protected:
    // Destroys the owned components, newest first (called by owners whose
    // members must still exist while their components go).
    void DestroyComponents();

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
};

// ---------------------------------------------------------------- fonts

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
typedef unsigned TFontStyles;  // a set of TFontStyle bits
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// A font description; Size in points, Height in pixels at the screen's
// resolution (negative: character height, as the logical font has it).
class ZOLFORMS TFont : public TObject {
public:
    std::string Name = "MS Sans Serif";
    int Size = 8;
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    BYTE Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = fpDefault;

    int Height() const;
    void SetHeight(int pixels);
    void Assign(const TFont& other) { *this = other; }
    // The logical font this describes; the caller deletes the font it makes.
    LOGFONTA LogFont() const;
    bool operator==(const TFont&) const = default;
};

// ---------------------------------------------------------------- canvas

enum TBrushStyle { bsSolid, bsClear };
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Draws on a device context it does not own. The font is created per call
// and released before the call returns.
class ZOLFORMS TCanvas : public TObject {
public:
    explicit TCanvas(HDC dc) : dc_(dc) {}
    HDC Handle() const { return dc_; }
    TFont Font;
    TBrush Brush;
    void TextOut(int x, int y, const std::string& text);
    void FillRect(const TRect& r);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);

private:
    HDC dc_;
};

// Pictures of tool buttons and owner-drawn items.
class ZOLFORMS TImageList : public TComponent {
public:
    using TComponent::TComponent;
    ~TImageList() override;
    int Width = 16, Height = 16;
    // Takes the bitmap; returns its index, -1 for a null bitmap.
    int Add(HBITMAP bitmap);
    int Count() const { return static_cast<int>(images_.size()); }
    // Copies picture `index` to (x, y); an index out of range draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index) const;

private:
    std::vector<HBITMAP> images_;
};

// ---------------------------------------------------------------- controls

class ZOLFORMS TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Enabled = true;
    bool Visible = true;
    std::string Caption;
    std::string Hint;
    bool ShowHint = false;
    TNotifyEvent OnClick;

    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    const std::vector<TControl*>& Controls() const { return children_; }
    // The form the control sits on (through its parents, else its owners).
    TForm* ParentForm() const;
    void SetBounds(int left, int top, int width, int height);
    // Whether the user could reach it: enabled and visible up to its form.
    bool CanUse() const;
    // What a user's click does; the base fires OnClick.
    virtual void Click();
    // Whether the control takes the focus when the user works in it.
    virtual bool TakesFocus() const { return false; }

    TNotifyEvent OnEnter, OnExit;

protected:
    virtual void BoundsChanged() {}

private:
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;
};

class ZOLFORMS TLabel : public TControl {
public:
    using TControl::TControl;
    TControl* FocusControl = nullptr;
};

class ZOLFORMS TPanel : public TControl {
public:
    using TControl::TControl;
};

class ZOLFORMS TGroupBox : public TControl {
public:
    using TControl::TControl;
};

class ZOLFORMS TSplitter : public TControl {
public:
    using TControl::TControl;
    int MinSize = 30;
};

class ZOLFORMS TProgressBar : public TControl {
public:
    using TControl::TControl;
    int Min = 0, Max = 100;
    int Position() const { return position_; }
    // Kept within Min .. Max.
    void SetPosition(int value);
    // Every position it has shown, for tests of long operations.
    const std::vector<int>& History() const { return history_; }

private:
    int position_ = 0;
    std::vector<int> history_;
};

// A push button: a click sets the form's modal result to ModalResult (when
// it is not mrNone) and then fires OnClick, so a handler may keep the form
// open by setting the result back.
class ZOLFORMS TButton : public TControl {
public:
    using TControl::TControl;
    TModalResult ModalResult = mrNone;
    bool Default = false;  // the Enter key
    bool Cancel = false;   // the Escape key
    void Click() override;
    bool TakesFocus() const override { return true; }
};

// A flat button; with a GroupIndex other than 0 it stays down, and one
// down button of a group (same parent, same index) puts the others up.
class ZOLFORMS TSpeedButton : public TControl {
public:
    using TControl::TControl;
    int GroupIndex = 0;
    bool AllowAllUp = false;
    bool Flat = false;
    bool Down() const { return down_; }
    void SetDown(bool down);
    void Click() override;

private:
    bool down_ = false;
};

class TToolBar;
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A button of a tool bar. Check buttons stay down; Grouped check buttons
// next to each other on one tool bar form a group in which at most one is
// down (none only with AllowAllUp).
class ZOLFORMS TToolButton : public TControl {
public:
    using TControl::TControl;
    TToolButtonStyle Style = tbsButton;
    bool Grouped = false;
    bool AllowAllUp = false;
    int ImageIndex = -1;
    bool Down() const { return down_; }
    void SetDown(bool down);
    void Click() override;
    TToolBar* ToolBar() const;

private:
    bool down_ = false;
};

class ZOLFORMS TToolBar : public TControl {
public:
    using TControl::TControl;
    TImageList* Images = nullptr;
    bool Flat = false;
    // The tool buttons in the order they were placed.
    std::vector<TToolButton*> Buttons() const;
};

class ZOLFORMS TCheckBox : public TControl {
public:
    using TControl::TControl;
    bool Checked() const { return checked_; }
    // A change fires OnClick, as a user's click would.
    void SetChecked(bool checked);
    void Click() override;
    bool TakesFocus() const override { return true; }

private:
    bool checked_ = false;
};

// An edit box. Setting the text fires OnChange when it differs.
class ZOLFORMS TEdit : public TControl {
public:
    using TControl::TControl;
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    bool TakesFocus() const override { return true; }
    TNotifyEvent OnChange;

private:
    std::string text_;
};

enum TUDBtnType { btNext, btPrev };
typedef std::function<void(TObject* Sender, TUDBtnType Button)> TUDClickEvent;
typedef std::function<void(TObject* Sender, bool& AllowChange)> TUDChangingEvent;
typedef std::function<void(TObject* Sender, bool& AllowChange, int NewValue, TUDBtnType Direction)>
    TUDChangingEventEx;

// Arrows beside an edit (Associate). A press reads the edit's number first
// (what the user typed there counts), fires OnChanging and OnChangingEx
// (with the position the step leads to; either may refuse), steps Position by
// Increment within Min .. Max (wrapping around with Wrap), writes the
// position into the edit (its OnChange fires) and fires OnClick.
class ZOLFORMS TUpDown : public TControl {
public:
    using TControl::TControl;
    int Min = 0, Max = 100, Increment = 1;
    bool Wrap = false;
    TEdit* Associate = nullptr;
    int Position() const { return position_; }
    // Kept within Min .. Max; the associate shows it.
    void SetPosition(int value);
    void Press(TUDBtnType button);
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;

private:
    int position_ = 0;
};

// An edit for a whole number with its own arrows. Value reads the text
// (MinValue when it is not a number) and is kept within MinValue ..
// MaxValue unless both are 0.
class ZOLFORMS TSpinEdit : public TEdit {
public:
    using TEdit::TEdit;
    int MinValue = 0, MaxValue = 0, Increment = 1;
    int Value() const;
    void SetValue(int value);
    void Press(TUDBtnType button);
};

// ---------------------------------------------------------------- combo box

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TOwnerDrawStateBit : unsigned { odSelected = 1, odFocused = 2, odComboBoxEdit = 4 };
typedef unsigned TOwnerDrawState;
typedef std::function<void(TControl* Control, int Index, TRect Rect, TOwnerDrawState State)>
    TDrawItemEvent;
typedef std::function<void(TControl* Control, int Index, int& Height)> TMeasureItemEvent;

class ZOLFORMS TComboBox : public TControl {
public:
    using TControl::TControl;
    TComboBoxStyle Style = csDropDown;
    int ItemHeight = 16;
    int DropDownCount = 8;
    bool Sorted = false;  // kept as a setting; Items keep the order they get
    std::vector<std::string> Items;
    // Optional data per item, parallel to Items where used (the fonts' flags).
    std::vector<intptr_t> Objects;

    int ItemIndex() const { return itemIndex_; }
    // -1 or out of range selects nothing; the text follows the item. No event.
    void SetItemIndex(int index);
    const std::string& Text() const { return text_; }
    // The text, and the item of that text when there is one. No event.
    void SetText(const std::string& text);
    void AddItem(const std::string& text, intptr_t object = 0);
    void Clear();
    int IndexOf(const std::string& text) const;
    // What a user's pick from the list does: the item becomes the selected
    // one and OnChange, then OnSelect fire.
    void Choose(int index);
    // Lays out and draws the list as it drops down (owner-drawn styles:
    // OnMeasureItem, then OnDrawItem for each item on the canvas).
    void DrawList(TCanvas* canvas);
    bool TakesFocus() const override { return true; }

    TCanvas* Canvas() const { return canvas_; }
    TNotifyEvent OnChange, OnSelect;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

private:
    int itemIndex_ = -1;
    std::string text_;
    TCanvas* canvas_ = nullptr;
};

// ---------------------------------------------------------------- menus

class ZOLFORMS TMenuItem : public TComponent {
public:
    using TComponent::TComponent;
    std::string Caption;  // "-" is a separator
    bool Enabled = true, Visible = true;
    int ImageIndex = -1;
    TNotifyEvent OnClick;
    // The items of this one, in order: those it owns.
    std::vector<TMenuItem*> Items() const;
    void Click();
};

class ZOLFORMS TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    TImageList* Images = nullptr;
    std::vector<TMenuItem*> Items() const;
    // A new item owned by the menu.
    TMenuItem* Add(const std::string& name, const std::string& caption, TNotifyEvent onClick = {});
};

// ---------------------------------------------------------------- rich text

class TRichEdit;

enum TAlignment { taLeftJustify, taRightJustify, taCenter, taJustify };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The character format of a rich-text control's selection (or of its
// default, for DefAttributes), read and written through the control's
// messages on every access. A getter reports the format at the start of a
// mixed selection.
class ZOLFORMS TTextAttributes {
public:
    TTextAttributes(TRichEdit* owner, WPARAM which) : owner_(owner), which_(which) {}
    std::string Name() const;
    void SetName(const std::string& face);
    int Size() const;  // whole points
    void SetSize(int points);
    int Height() const;  // pixels at the screen's resolution
    void SetHeight(int pixels);
    TColor Color() const;
    void SetColor(TColor c);
    TFontStyles Style() const;
    void SetStyle(TFontStyles s);
    BYTE Charset() const;
    void SetCharset(BYTE c);
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch p);
    // The CFM_ bits that are the same throughout the selection.
    DWORD ConsistentAttributes() const;
    void Assign(const TFont& font);
    void AssignTo(TFont& font) const;
    CHARFORMATA Format() const;
    void SetFormat(const CHARFORMATA& cf);

private:
    TRichEdit* owner_;
    WPARAM which_;
};

// The paragraph format of the selected paragraphs. Indents in points:
// FirstIndent is the first line's, LeftIndent what the further lines add.
class ZOLFORMS TParaAttributes {
public:
    explicit TParaAttributes(TRichEdit* owner) : owner_(owner) {}
    TAlignment Alignment() const;
    void SetAlignment(TAlignment a);
    int FirstIndent() const;
    void SetFirstIndent(int points);
    int LeftIndent() const;
    void SetLeftIndent(int points);
    int RightIndent() const;
    void SetRightIndent(int points);

private:
    PARAFORMAT get() const;
    void set(DWORD mask, const PARAFORMAT& pf);
    TRichEdit* owner_;
};

// The text as display lines, and loading and saving as rich text (plain
// text when the component's PlainText is set). Failures report false and
// a message; the text stays as it was.
class ZOLFORMS TRichEditStrings {
public:
    explicit TRichEditStrings(TRichEdit* owner) : owner_(owner) {}
    // Display lines, an empty last one not counted.
    int Count() const;
    std::string operator[](int line) const;
    // Every display line followed by CR LF.
    std::string Text() const;
    void Add(const std::string& line);
    void Clear();
    bool LoadFromFile(const std::string& path, std::string* error = nullptr);
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;
    bool LoadFromStream(std::istream& in, std::string* error = nullptr);
    bool SaveToStream(std::ostream& out, std::string* error = nullptr) const;
    bool LoadFromString(const std::string& data, std::string* error = nullptr);
    std::string SaveToString() const;

private:
    TRichEdit* owner_;
};

// The rich-text component: a window of the platform's rich-edit class, a
// child of its form's window so its selection changes reach the form and
// fire OnSelectionChange.
class ZOLFORMS TRichEdit : public TControl {
public:
    explicit TRichEdit(TComponent* owner);
    ~TRichEdit() override;

    HWND Handle() const { return window_; }
    bool PlainText = false;
    bool WantTabs = false;
    bool HideSelection = true;
    TScrollStyle ScrollBars = ssNone;  // kept as a setting; nothing is drawn
    TPopupMenu* PopupMenu = nullptr;

    std::string Text() const;
    void SetText(const std::string& text);
    void Clear();
    int GetTextLen() const;
    int SelStart() const;
    void SetSelStart(int pos);  // collapses the selection there
    int SelLength() const;
    void SetSelLength(int length);
    void Select(int start, int end);  // end -1: the end of the text
    std::string SelText() const;
    void SetSelText(const std::string& text);
    bool WordWrap() const;
    void SetWordWrap(bool wrap);
    void SetBackgroundColor(TColor c);
    // The default character format (the control's font).
    void SetFont(const TFont& font);
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    TTextAttributes SelAttributes() { return TTextAttributes(this, SCF_SELECTION); }
    TTextAttributes DefAttributes() { return TTextAttributes(this, SCF_DEFAULT); }
    TParaAttributes Paragraph() { return TParaAttributes(this); }
    TRichEditStrings Lines() { return TRichEditStrings(this); }

    LRESULT Perform(UINT msg, WPARAM wp, LPARAM lp) const;
    bool TakesFocus() const override { return true; }

    TNotifyEvent OnSelectionChange, OnChange;

    // From the form's window: a notification of the control.
    void Notify(WORD code);
    // Fires OnChange; the component calls it after each change of the text.
    void Changed();

protected:
    void BoundsChanged() override;

private:
    HWND window_ = nullptr;
};

// ---------------------------------------------------------------- forms

enum TCloseAction { caNone, caHide, caFree, caMinimize };
typedef std::function<void(TObject* Sender, TCloseAction& Action)> TCloseEvent;
typedef std::function<void(TObject* Sender, bool& CanClose)> TCloseQueryEvent;
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// A form: a window of its own (class "ZolForm") that routes its controls'
// notifications, the controls it owns, and the modal run.
//
// Forms are made with CreateForm, which fires OnCreate once the derived
// form is built, and are freed with Free (or by their TFormPtr), which
// fires OnDestroy while the derived form still exists.
class ZOLFORMS TForm : public TControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    HWND Handle() const { return window_; }
    HWND ParentWindow = nullptr;
    TFormBorderStyle BorderStyle = bsSizeable;
    int ClientWidth = 0, ClientHeight = 0;
    bool KeyPreview = false;

    TNotifyEvent OnCreate, OnShow, OnDestroy, OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }
    // Hands the form to the current driver; returns the result it closed
    // with. OnShow fires first; OnCloseQuery and OnClose when it closes.
    TModalResult ShowModal();
    bool IsModal() const { return modal_; }
    bool Showing() const { return showing_; }
    // The user's close request: a modal form ends with mrCancel (when no
    // result is set yet); a modeless one closes at once.
    void Close();
    // For drivers: when a result is set, asks OnCloseQuery and OnClose
    // whether the form may close. True when it has closed; otherwise the
    // result is back to mrNone and the form goes on.
    bool TryEndModal();

    // The control that has the focus; moving it fires OnExit of the old one
    // and OnEnter of the new.
    TControl* ActiveControl() const { return active_; }
    void SetActiveControl(TControl* control);
    // The rich-text control the user worked in last (focus or selection),
    // else the first one of the form.
    TRichEdit* ActiveText() const;
    void SetActiveText(TRichEdit* text) { activeText_ = text; }

    // Fires OnCreate (CreateForm does this).
    void DoCreate();
    // Fires OnDestroy once and deletes the form.
    void Free();

    // A notification from a child window (WM_COMMAND of the form's window).
    void Command(WPARAM wp, LPARAM lp);

private:
    void forgetControl(TControl* c);
    friend class TControl;
    HWND window_ = nullptr;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false, showing_ = false, destroyed_ = false;
    TControl* active_ = nullptr;
    TRichEdit* activeText_ = nullptr;
};

struct TFormDeleter {
    void operator()(TForm* f) const {
        if (f) f->Free();
    }
};
template <class F>
using TFormPtr = std::unique_ptr<F, TFormDeleter>;

// Builds a form of class F (its constructor takes the owner first), then
// fires its OnCreate.
template <class F, class... A>
TFormPtr<F> CreateForm(TComponent* owner, A&&... args) {
    TFormPtr<F> f(new F(owner, std::forward<A>(args)...));
    f->DoCreate();
    return f;
}

// The process's application object: owner of forms, the pending input and
// the message boxes of the library.
class ZOLFORMS TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr) {}
    ~TApplication() override;
    std::string Title = "Application";
    // Lets the driver run the input that is waiting (a running tool calls
    // it so that Stop can reach it).
    void ProcessMessages();
    // A message box through the platform; returns the button's result
    // (mrOk, mrCancel, mrYes, mrNo).
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
};
ZOLFORMS TApplication* Application();

// ---------------------------------------------------------------- message boxes

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
typedef unsigned TMsgDlgButtons;
// Captions "Warning", "Error", "Information", "Confirm" and the
// application's title for mtCustom.
ZOLFORMS int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
ZOLFORMS void ShowMessage(const std::string& text);

// ---------------------------------------------------------------- common dialogs

class ZOLFORMS TOpenDialog : public TComponent {
public:
    using TComponent::TComponent;
    std::string FileName, Filter, InitialDir, DefaultExt, Title;
    int FilterIndex = 1;
    // True when the user chose a file (FileName then holds it).
    bool Execute();
    virtual bool IsSave() const { return false; }
};
class ZOLFORMS TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool IsSave() const override { return true; }
};
class ZOLFORMS TColorDialog : public TComponent {
public:
    using TComponent::TComponent;
    TColor Color = clBlack;
    bool Execute();
};
class ZOLFORMS TFontDialog : public TComponent {
public:
    using TComponent::TComponent;
    TFont Font;
    bool ShowEffects = true;
    bool Execute();
};

// ---------------------------------------------------------------- drivers

// What stands in for the user. RunModal must return with the form closed
// (TryEndModal accepted it); if it returns with the form still open,
// ShowModal closes it as the close button would. The Execute calls answer
// the common dialogs: true for Ok, with the dialog's fields set.
class ZOLFORMS TFormDriver {
public:
    virtual ~TFormDriver() = default;
    virtual void RunModal(TForm& form);
    virtual void ProcessMessages() {}
    virtual bool ExecuteFileDialog(TOpenDialog&) { return false; }
    virtual bool ExecuteColorDialog(TColorDialog&) { return false; }
    virtual bool ExecuteFontDialog(TFontDialog&) { return false; }
};
// The current driver; never null (the headless default when none is set).
ZOLFORMS TFormDriver& CurrentDriver();
// Null restores the default. Returns the previous driver (null for the default).
ZOLFORMS TFormDriver* SetDriver(TFormDriver* driver);

}  // namespace zol::forms
