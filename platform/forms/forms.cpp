// Components, controls, forms, the application object, message boxes, the
// common dialogs and the driver that runs modal forms.
#include "platform/forms/forms.h"

#include <algorithm>
#include <charconv>

namespace zol::forms {

// ---------------------------------------------------------------- components

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        // Out of the list first, so the loop ends whatever the destructor
        // does; it still knows its owner while it goes.
        components_.pop_back();
        delete c;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : components_)
        if (c->Name == name) return c;
    for (TComponent* c : components_)
        if (TComponent* found = c->FindComponent(name)) return found;
    return nullptr;
}

// ---------------------------------------------------------------- controls

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    if (TForm* f = ParentForm()) f->forgetControl(this);
    for (TControl* c : children_) c->parent_ = nullptr;
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TControl::SetParent(TControl* parent) {
    if (parent == parent_) return;
    for (TControl* p = parent; p; p = p->parent_)
        if (p == this) return;  // a control cannot sit inside itself
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
}

TForm* TControl::ParentForm() const {
    for (const TControl* p = this; p; p = p->parent_)
        if (auto* f = dynamic_cast<TForm*>(const_cast<TControl*>(p))) return f;
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto* f = dynamic_cast<TForm*>(o)) return f;
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    BoundsChanged();
}

bool TControl::CanUse() const {
    for (const TControl* p = this; p; p = p->parent_)
        if (!p->Enabled || !p->Visible) return false;
    return true;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TProgressBar::SetPosition(int value) {
    position_ = std::clamp(value, std::min(Min, Max), std::max(Min, Max));
    history_.push_back(position_);
}

void TButton::Click() {
    if (ModalResult != mrNone)
        if (TForm* f = ParentForm()) f->SetModalResult(ModalResult);
    TControl::Click();
}

void TSpeedButton::SetDown(bool down) {
    if (GroupIndex == 0) return;  // only grouped buttons stay down
    down_ = down;
    if (!down) return;
    std::vector<TComponent*> siblings;
    if (Parent())
        siblings.assign(Parent()->Controls().begin(), Parent()->Controls().end());
    else if (Owner())
        siblings = Owner()->Components();
    for (TComponent* c : siblings)
        if (auto* b = dynamic_cast<TSpeedButton*>(c); b && b != this && b->GroupIndex == GroupIndex)
            b->down_ = false;
}

void TSpeedButton::Click() {
    if (GroupIndex != 0) {
        if (!down_)
            SetDown(true);
        else if (AllowAllUp)
            SetDown(false);
    }
    TControl::Click();
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

std::vector<TToolButton*> TToolBar::Buttons() const {
    std::vector<TToolButton*> out;
    for (TControl* c : Controls())
        if (auto* b = dynamic_cast<TToolButton*>(c)) out.push_back(b);
    return out;
}

void TToolButton::SetDown(bool down) {
    if (Style != tbsCheck) return;
    down_ = down;
    if (!down || !Grouped || !ToolBar()) return;
    // The group is the run of grouped check buttons around this one.
    auto buttons = ToolBar()->Buttons();
    auto self = std::find(buttons.begin(), buttons.end(), this);
    auto inGroup = [](TToolButton* b) { return b->Grouped && b->Style == tbsCheck; };
    for (auto it = self; it != buttons.begin() && inGroup(*(it - 1));) (*--it)->down_ = false;
    for (auto it = self + 1; it != buttons.end() && inGroup(*it); ++it) (*it)->down_ = false;
}

void TToolButton::Click() {
    if (Style == tbsCheck) {
        if (!Grouped)
            SetDown(!down_);
        else if (!down_)
            SetDown(true);
        else if (AllowAllUp)
            SetDown(false);
    }
    TControl::Click();
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    TControl::Click();
}

void TCheckBox::Click() { SetChecked(!checked_); }

void TEdit::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (OnChange) OnChange(this);
}

namespace {
bool parseInt(const std::string& s, int& out) {
    size_t a = s.find_first_not_of(" \t");
    size_t b = s.find_last_not_of(" \t");
    if (a == std::string::npos) return false;
    const char* first = s.data() + a;
    const char* last = s.data() + b + 1;
    if (*first == '+') ++first;
    auto [p, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && p == last;
}
}  // namespace

void TUpDown::SetPosition(int value) {
    position_ = std::clamp(value, std::min(Min, Max), std::max(Min, Max));
    if (Associate) Associate->SetText(std::to_string(position_));
}

void TUpDown::Press(TUDBtnType button) {
    int typed = 0;
    if (Associate && parseInt(Associate->Text(), typed))
        position_ = std::clamp(typed, std::min(Min, Max), std::max(Min, Max));
    int64_t next = static_cast<int64_t>(position_) + (button == btNext ? Increment : -Increment);
    int lo = std::min(Min, Max), hi = std::max(Min, Max);
    if (Wrap && next > hi)
        next = lo;
    else if (Wrap && next < lo)
        next = hi;
    int target = static_cast<int>(std::clamp<int64_t>(next, lo, hi));
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (allow && OnChangingEx) OnChangingEx(this, allow, target, button);
    if (!allow) return;
    SetPosition(target);
    if (OnClick) OnClick(this, button);
}

int TSpinEdit::Value() const {
    int v = MinValue;
    if (!parseInt(Text(), v)) v = MinValue;
    if (MinValue != 0 || MaxValue != 0) v = std::clamp(v, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
    return v;
}

void TSpinEdit::SetValue(int value) {
    if (MinValue != 0 || MaxValue != 0)
        value = std::clamp(value, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
    SetText(std::to_string(value));
}

void TSpinEdit::Press(TUDBtnType button) {
    int64_t v = static_cast<int64_t>(Value()) + (button == btNext ? Increment : -Increment);
    SetValue(static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)));
}

// ---------------------------------------------------------------- combo box

void TComboBox::SetItemIndex(int index) {
    if (index >= 0 && index < static_cast<int>(Items.size())) {
        itemIndex_ = index;
        text_ = Items[static_cast<size_t>(index)];
    } else {
        itemIndex_ = -1;
        text_.clear();
    }
}

void TComboBox::SetText(const std::string& text) {
    text_ = text;
    itemIndex_ = IndexOf(text);
}

void TComboBox::AddItem(const std::string& text, intptr_t object) {
    Objects.resize(Items.size());
    Items.push_back(text);
    Objects.push_back(object);
}

void TComboBox::Clear() {
    Items.clear();
    Objects.clear();
    itemIndex_ = -1;
    text_.clear();
}

int TComboBox::IndexOf(const std::string& text) const {
    auto it = std::find(Items.begin(), Items.end(), text);
    return it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
}

void TComboBox::Choose(int index) {
    SetItemIndex(index);
    if (OnChange) OnChange(this);
    if (OnSelect) OnSelect(this);
}

void TComboBox::DrawList(TCanvas* canvas) {
    if (!canvas || (Style != csOwnerDrawFixed && Style != csOwnerDrawVariable)) return;
    canvas_ = canvas;
    struct Reset {
        TCanvas*& c;
        ~Reset() { c = nullptr; }
    } reset{canvas_};
    int y = 0;
    for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
        int h = ItemHeight;
        if (Style == csOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, i, h);
        TRect r{0, y, Width, y + h};
        TOwnerDrawState state = i == itemIndex_ ? (odSelected | odFocused) : 0;
        if (OnDrawItem) {
            OnDrawItem(this, i, r, state);
        } else {
            canvas->FillRect(r);
            canvas->TextOut(r.Left + 2, r.Top, Items[static_cast<size_t>(i)]);
        }
        y += h;
    }
}

// ---------------------------------------------------------------- menus

std::vector<TMenuItem*> TMenuItem::Items() const {
    std::vector<TMenuItem*> out;
    for (TComponent* c : Components())
        if (auto* m = dynamic_cast<TMenuItem*>(c)) out.push_back(m);
    return out;
}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

std::vector<TMenuItem*> TPopupMenu::Items() const {
    std::vector<TMenuItem*> out;
    for (TComponent* c : Components())
        if (auto* m = dynamic_cast<TMenuItem*>(c)) out.push_back(m);
    return out;
}

TMenuItem* TPopupMenu::Add(const std::string& name, const std::string& caption, TNotifyEvent onClick) {
    auto* m = new TMenuItem(this);
    m->Name = name;
    m->Caption = caption;
    m->OnClick = std::move(onClick);
    return m;
}

// ---------------------------------------------------------------- forms

namespace {

constexpr const char* kFormClass = "ZolForm";

LRESULT formProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        SetWindowLongPtrA(window, GWLP_USERDATA, lp);
        return 0;
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form) return 0;
    if (msg == WM_COMMAND) {
        form->Command(wp, lp);
        return 0;
    }
    if (msg == WM_CLOSE) {
        form->Close();
        return 0;
    }
    return 0;
}

bool registerFormClass() {
    static const bool done = ZolRegisterWindowClass(kFormClass, formProc) != FALSE;
    return done;
}

}  // namespace

TForm::TForm(TComponent* owner) : TControl(owner) {
    registerFormClass();
    window_ = CreateWindowExA(0, kFormClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
}

TForm::~TForm() {
    // Notifications of controls being destroyed must not reach handlers of
    // a derived form that is already gone.
    if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    // The controls go while the form is still a form: they tell it they leave.
    DestroyComponents();
    if (window_) DestroyWindow(window_);
}

void TForm::forgetControl(TControl* c) {
    if (active_ == c) active_ = nullptr;
    if (activeText_ == c) activeText_ = nullptr;
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::Free() {
    if (!destroyed_) {
        destroyed_ = true;
        if (OnDestroy) OnDestroy(this);
    }
    delete this;
}

void TForm::Command(WPARAM wp, LPARAM lp) {
    HWND from = reinterpret_cast<HWND>(lp);
    if (!from) return;
    std::vector<TComponent*> stack(Components().begin(), Components().end());
    while (!stack.empty()) {
        TComponent* c = stack.back();
        stack.pop_back();
        if (auto* r = dynamic_cast<TRichEdit*>(c); r && r->Handle() == from) {
            r->Notify(HIWORD(wp));
            return;
        }
        stack.insert(stack.end(), c->Components().begin(), c->Components().end());
    }
}

void TForm::SetActiveControl(TControl* control) {
    if (control == active_) return;
    TControl* old = active_;
    active_ = control;
    if (old && old->OnExit) old->OnExit(old);
    if (auto* r = dynamic_cast<TRichEdit*>(control)) activeText_ = r;
    if (control && control->OnEnter) control->OnEnter(control);
}

TRichEdit* TForm::ActiveText() const {
    if (activeText_) return activeText_;
    std::vector<TComponent*> stack(Components().rbegin(), Components().rend());
    while (!stack.empty()) {
        TComponent* c = stack.back();
        stack.pop_back();
        if (auto* r = dynamic_cast<TRichEdit*>(c)) return r;
        stack.insert(stack.end(), c->Components().rbegin(), c->Components().rend());
    }
    return nullptr;
}

TModalResult TForm::ShowModal() {
    if (modal_) return mrCancel;  // already running: a form is modal once
    modalResult_ = mrNone;
    modal_ = true;
    showing_ = true;
    struct Leave {
        TForm* f;
        ~Leave() {
            f->modal_ = false;
            f->showing_ = false;
        }
    } leave{this};
    if (OnShow) OnShow(this);
    if (modalResult_ == mrNone || !TryEndModal()) CurrentDriver().RunModal(*this);
    if (showing_) {
        // The driver left it open: close it as the close button would, and
        // end the run even if the form refuses.
        Close();
        if (!TryEndModal()) modalResult_ = mrCancel;
    }
    showing_ = false;
    if (OnHide) OnHide(this);
    return modalResult_;
}

bool TForm::TryEndModal() {
    if (!showing_) return true;
    if (modalResult_ == mrNone) return false;
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    if (!can) {
        modalResult_ = mrNone;
        return false;
    }
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) {
        modalResult_ = mrNone;
        return false;
    }
    showing_ = false;
    return true;
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    if (!can) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action != caNone) showing_ = false;
}

// ---------------------------------------------------------------- drivers

void TFormDriver::RunModal(TForm& form) {
    form.Close();
    form.TryEndModal();
}

namespace {
TFormDriver g_headless;
TFormDriver* g_driver = nullptr;
}  // namespace

TFormDriver& CurrentDriver() { return g_driver ? *g_driver : g_headless; }

TFormDriver* SetDriver(TFormDriver* driver) {
    TFormDriver* old = g_driver;
    g_driver = driver;
    return old;
}

// ---------------------------------------------------------------- application

TApplication::~TApplication() {
    // Forms first: their controls may still reach the application.
    DestroyComponents();
}

void TApplication::ProcessMessages() { CurrentDriver().ProcessMessages(); }

namespace {
int resultOf(int id) {
    switch (id) {
        case IDOK: return mrOk;
        case IDCANCEL: return mrCancel;
        case IDYES: return mrYes;
        case IDNO: return mrNo;
        default: return mrNone;
    }
}
}  // namespace

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return resultOf(MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags));
}

TApplication* Application() {
    // Never destroyed: forms still open at exit would otherwise be torn down
    // after the platform's own tables.
    static TApplication* app = new TApplication;
    return app;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT flags = MB_OK;
    if ((buttons & mbYes) && (buttons & mbNo))
        flags = MB_YESNO;
    else if ((buttons & mbOK) && (buttons & mbCancel))
        flags = MB_OKCANCEL;
    std::string caption;
    switch (type) {
        case mtWarning: flags |= MB_ICONWARNING; caption = "Warning"; break;
        case mtError: flags |= MB_ICONERROR; caption = "Error"; break;
        case mtInformation: flags |= MB_ICONINFORMATION; caption = "Information"; break;
        case mtConfirmation: flags |= MB_ICONQUESTION; caption = "Confirm"; break;
        case mtCustom: caption = Application()->Title; break;
    }
    return Application()->MessageBox(text, caption, flags);
}

void ShowMessage(const std::string& text) { Application()->MessageBox(text, Application()->Title, MB_OK); }

// ---------------------------------------------------------------- common dialogs

bool TOpenDialog::Execute() { return CurrentDriver().ExecuteFileDialog(*this); }
bool TColorDialog::Execute() { return CurrentDriver().ExecuteColorDialog(*this); }
bool TFontDialog::Execute() { return CurrentDriver().ExecuteFontDialog(*this); }

}  // namespace zol::forms
