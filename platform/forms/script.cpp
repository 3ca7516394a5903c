// The script driver: steps parsed from JSON, run against the topmost modal
// form, answers queued for the dialogs and message boxes a step opens.
#include "platform/forms/script.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/richedit/codepage.h"
#include "platform/win/testhooks.h"

namespace zol::forms {

using nlohmann::json;

struct TScript::Impl {
    std::vector<json> steps;
};

TScript::TScript() : impl_(std::make_unique<Impl>()) {}
TScript::~TScript() = default;
TScript::TScript(const TScript& o) : impl_(std::make_unique<Impl>(*o.impl_)) {}
TScript& TScript::operator=(const TScript& o) {
    if (this != &o) *impl_ = *o.impl_;
    return *this;
}
TScript::TScript(TScript&& o) noexcept : impl_(std::move(o.impl_)) { o.impl_ = nullptr; }
TScript& TScript::operator=(TScript&& o) noexcept {
    std::swap(impl_, o.impl_);
    return *this;
}
size_t TScript::StepCount() const { return impl_ ? impl_->steps.size() : 0; }

namespace {

const char* const kActions[] = {"click", "select", "type", "set", "exit", "up", "down", "choose", "check", "answer"};

std::string stepName(size_t index, const json& step) {
    return "step " + std::to_string(index) + " " + step.dump();
}

bool parseColour(const std::string& s, TColor& out) {
    if (s.size() != 7 || s[0] != '#') return false;
    unsigned v = 0;
    for (size_t i = 1; i < 7; ++i) {
        char c = s[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        v = v * 16 + static_cast<unsigned>(d);
    }
    out = RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
    return true;
}

// Why an answer value is malformed; empty when it is fine.
std::string checkAnswer(const json& a) {
    if (a.is_string()) {
        const std::string s = a.get<std::string>();
        if (s == "ok" || s == "cancel" || s == "yes" || s == "no") return {};
        return "unknown answer \"" + s + "\" (ok, cancel, yes, no or an object)";
    }
    if (!a.is_object() || a.size() != 1) return "an answer is \"ok\", \"cancel\", \"yes\", \"no\" or an object with one of file, color, font";
    auto [key, v] = *a.items().begin();
    if (key == "file") return v.is_string() ? std::string() : "\"file\" must be a path";
    TColor c = 0;
    if (key == "color") return v.is_string() && parseColour(v.get<std::string>(), c) ? std::string() : "\"color\" must be \"#RRGGBB\"";
    if (key != "font") return "unknown answer \"" + key + "\"";
    if (!v.is_object()) return "\"font\" must be an object";
    for (auto& [k, x] : v.items()) {
        if (k == "face") {
            if (!x.is_string()) return "font \"face\" must be a string";
        } else if (k == "size" || k == "charset") {
            if (!x.is_number_integer()) return "font \"" + k + "\" must be a whole number";
            if (k == "charset" && (x.get<int64_t>() < 0 || x.get<int64_t>() > 255)) return "font \"charset\" must be 0 .. 255";
            if (k == "size" && (x.get<int64_t>() < 1 || x.get<int64_t>() > 1638)) return "font \"size\" must be 1 .. 1638";
        } else if (k == "bold" || k == "italic" || k == "underline" || k == "strikeout") {
            if (!x.is_boolean()) return "font \"" + k + "\" must be true or false";
        } else if (k == "color") {
            if (!x.is_string() || !parseColour(x.get<std::string>(), c)) return "font \"color\" must be \"#RRGGBB\"";
        } else {
            return "unknown font field \"" + k + "\"";
        }
    }
    return {};
}

// Why a step is malformed; empty when it is fine.
std::string checkStep(const json& s) {
    if (!s.is_object()) return "a step must be an object with one action";
    std::string action;
    for (auto& [k, v] : s.items()) {
        if (std::find(std::begin(kActions), std::end(kActions), k) == std::end(kActions)) continue;
        if (!action.empty()) return "a step has one action, this one has \"" + action + "\" and \"" + k + "\"";
        action = k;
    }
    if (action.empty()) {
        std::string first = s.empty() ? std::string() : s.items().begin().key();
        return first.empty() ? "a step must have an action" : "unknown action \"" + first + "\"";
    }
    auto allowed = [&](std::initializer_list<const char*> extra) -> std::string {
        for (auto& [k, v] : s.items()) {
            if (k == action) continue;
            if (std::none_of(extra.begin(), extra.end(), [&](const char* e) { return k == e; }))
                return "\"" + action + "\" takes no \"" + k + "\"";
        }
        return {};
    };
    const json& v = s.at(action);
    if (action == "answer") {
        if (auto why = allowed({}); !why.empty()) return why;
        return checkAnswer(v);
    }
    if (s.contains("during")) {
        const json& d = s["during"];
        bool ok = d.is_boolean() ? d.get<bool>() : d.is_number_integer() && d.get<int64_t>() >= 1 && d.get<int64_t>() <= INT32_MAX;
        if (!ok) return "\"during\" is true or how many times the running step lets input in (1 or more)";
    }
    if (action == "select") {
        if (auto why = allowed({"in", "during"}); !why.empty()) return why;
        if (!v.is_array() || v.size() != 2 || !v[0].is_number_integer() || !v[1].is_number_integer())
            return "\"select\" takes [START, END]";
        if (v[0].get<int64_t>() < 0 || v[0].get<int64_t>() > INT32_MAX || v[1].get<int64_t>() < -1 ||
            v[1].get<int64_t>() > INT32_MAX)
            return "\"select\" needs START >= 0 and END >= -1";
        if (s.contains("in") && !s["in"].is_string()) return "\"in\" must be a control's name";
        return {};
    }
    if (!v.is_string()) return "\"" + action + "\" takes a string";
    if (action == "set") {
        if (auto why = allowed({"text", "during"}); !why.empty()) return why;
        if (!s.contains("text") || !s["text"].is_string()) return "\"set\" needs \"text\": a string";
    } else if (action == "choose") {
        if (auto why = allowed({"item", "during"}); !why.empty()) return why;
        if (!s.contains("item") || !s["item"].is_string()) return "\"choose\" needs \"item\": a string";
    } else if (action == "check") {
        if (auto why = allowed({"value", "during"}); !why.empty()) return why;
        if (!s.contains("value") || !s["value"].is_boolean()) return "\"check\" needs \"value\": true or false";
    } else if (auto why = allowed({"during"}); !why.empty()) {
        return why;
    }
    return {};
}

bool isAnswer(const json& s) { return s.is_object() && s.contains("answer"); }

// The code points of UTF-8 text (the JSON reader has checked it).
std::vector<uint32_t> codePoints(const std::string& text) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1Fu) : extra == 2 ? (b & 0x0Fu) : (b & 0x07u);
        for (int k = 1; k <= extra && i + static_cast<size_t>(k) < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3Fu);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}
bool isDuring(const json& s) { return s.is_object() && s.contains("during") && !(s["during"].is_boolean() && !s["during"].get<bool>()); }
int64_t duringCount(const json& s) { return s["during"].is_boolean() ? 1 : s["during"].get<int64_t>(); }

}  // namespace

TScriptResult TScript::Parse(const std::string& text) noexcept {
    try {
        if (!impl_) impl_ = std::make_unique<Impl>();
        impl_->steps.clear();
        json doc = json::parse(text, nullptr, true);
        if (!doc.is_array()) return {false, "the script must be a JSON array of steps"};
        for (size_t i = 0; i < doc.size(); ++i) {
            std::string why = checkStep(doc[i]);
            if (!why.empty()) return {false, stepName(i, doc[i]) + ": " + why};
        }
        impl_->steps.assign(doc.begin(), doc.end());
        return {};
    } catch (const json::parse_error& e) {
        return {false, std::string("the script is not valid JSON: ") + e.what()};
    } catch (const std::exception& e) {
        if (impl_) impl_->steps.clear();
        return {false, std::string("the script could not be read: ") + e.what()};
    } catch (...) {
        if (impl_) impl_->steps.clear();
        return {false, "the script could not be read"};
    }
}

TScriptResult TScript::LoadFromFile(const std::string& path) noexcept {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return {false, "cannot open the script \"" + path + "\""};
        std::ostringstream text;
        text << in.rdbuf();
        return Parse(text.str());
    } catch (...) {
        return {false, "cannot read the script \"" + path + "\""};
    }
}

// ---------------------------------------------------------------- driver

TScriptDriver::TScriptDriver(TScript script) : script_(std::move(script)) {}
TScriptDriver::~TScriptDriver() = default;

void TScriptDriver::fail(size_t index, const std::string& why) {
    if (failed_) return;
    failed_ = true;
    const auto& steps = script_.impl().steps;
    message_ = index < steps.size() ? stepName(index, steps[index]) + ": " + why : why;
}

TScriptResult TScriptDriver::Result() const {
    if (failed_) return {false, message_};
    const auto& steps = script_.impl().steps;
    if (next_ < steps.size())
        return {false, stepName(next_, steps[next_]) + ": no form was open to take it (the forms had closed)"};
    return {};
}

void TScriptDriver::RunModal(TForm& form) {
    const auto& steps = script_.impl().steps;
    stack_.push_back(&form);
    if (!pending_.empty()) {
        fail(pending_.front(), "answers nothing: the step before it opened a form, not a dialog");
        pending_.clear();
    }
    while (!failed_ && form.Showing()) {
        if (form.ModalResult() != mrNone && form.TryEndModal()) break;
        if (next_ >= steps.size()) {
            // The script is over: the user closes the window.
            form.Close();
            form.TryEndModal();
            break;
        }
        size_t index = next_++;
        if (isAnswer(steps[index])) {
            fail(index, "answers nothing: no step before it opened a dialog or message box");
            break;
        }
        if (isDuring(steps[index])) {
            fail(index, "comes \"during\" a step, but the step before it was not running");
            break;
        }
        execute(form, index, false);
    }
    if (form.Showing()) {
        form.Close();
        form.TryEndModal();
    }
    stack_.pop_back();
}

void TScriptDriver::execute(TForm& form, size_t index, bool during) {
    const auto& steps = script_.impl().steps;
    // A step run while another is busy keeps that one's answers for later.
    std::vector<size_t> outerAnswers = std::move(pending_);
    int64_t outerCalls = busyCalls_;
    pending_.clear();
    busyCalls_ = 0;
    while (next_ < steps.size() && isAnswer(steps[next_])) pending_.push_back(next_++);
    ++busy_;
    try {
        runStep(form, index);
    } catch (const std::exception& e) {
        fail(index, std::string("a handler failed: ") + e.what());
    } catch (...) {
        fail(index, "a handler failed");
    }
    --busy_;
    if (!failed_ && !pending_.empty())
        fail(pending_.front(), "answers nothing: the step before it opened no dialog or message box for it");
    if (!failed_ && !during && next_ < steps.size() && isDuring(steps[next_]))
        fail(next_, "comes \"during\" the step before it, which did not let input in often enough");
    pending_ = std::move(outerAnswers);
    busyCalls_ = outerCalls;
}

void TScriptDriver::ProcessMessages() {
    const auto& steps = script_.impl().steps;
    if (failed_ || busy_ == 0 || stack_.empty()) return;
    // One input a call: the count of the next "during" step starts after it.
    if (next_ >= steps.size() || !isDuring(steps[next_])) return;
    if (++busyCalls_ < duringCount(steps[next_])) return;
    busyCalls_ = 0;
    size_t index = next_++;
    execute(*stack_.back(), index, true);
}

namespace {

template <class T>
T* as(TComponent* c) {
    return dynamic_cast<T*>(c);
}

}  // namespace

void TScriptDriver::runStep(TForm& form, size_t index) {
    const json& s = script_.impl().steps[index];
    std::string action;
    for (auto& [k, v] : s.items())
        if (std::find(std::begin(kActions), std::end(kActions), k) != std::end(kActions)) action = k;

    auto find = [&](const std::string& name) -> TComponent* {
        TComponent* c = form.FindComponent(name);
        if (!c) fail(index, "nothing named \"" + name + "\" on the form");
        return c;
    };
    auto usable = [&](TControl* c) {
        if (c->CanUse()) return true;
        fail(index, "\"" + c->Name + "\" is disabled or hidden");
        return false;
    };
    auto wrongKind = [&](const std::string& name, const char* what) {
        fail(index, "\"" + name + "\" is not " + std::string(what));
    };
    auto activeText = [&]() -> TRichEdit* {
        TRichEdit* r = form.ActiveText();
        if (!r) fail(index, "the form has no rich-text control");
        return r;
    };

    if (action == "click") {
        std::string name = s["click"];
        TComponent* c = find(name);
        if (!c) return;
        if (auto* m = as<TMenuItem>(c)) {
            if (!m->Enabled || !m->Visible) return fail(index, "\"" + name + "\" is disabled or hidden");
            m->Click();
        } else if (auto* ctl = as<TControl>(c); ctl && !as<TForm>(c)) {
            if (!usable(ctl)) return;
            if (ctl->TakesFocus()) form.SetActiveControl(ctl);
            ctl->Click();
        } else {
            wrongKind(name, "a control, tool button or menu item");
        }
    } else if (action == "select") {
        TRichEdit* r = nullptr;
        if (s.contains("in")) {
            std::string name = s["in"];
            TComponent* c = find(name);
            if (!c) return;
            r = as<TRichEdit>(c);
            if (!r) return wrongKind(name, "a rich-text control");
        } else {
            r = activeText();
        }
        if (!r || !usable(r)) return;
        form.SetActiveControl(r);
        form.SetActiveText(r);
        r->Select(s["select"][0].get<int>(), s["select"][1].get<int>());
    } else if (action == "type") {
        TRichEdit* r = activeText();
        if (!r || !usable(r)) return;
        form.SetActiveControl(r);
        form.SetActiveText(r);
        // One key at a time, so every keystroke's events fire as a user's do.
        // A character beyond ASCII becomes its byte in the character set of
        // the place it is typed at, as a keyboard of that script gives it.
        for (uint32_t cp : codePoints(s["type"].get<std::string>())) {
            if (cp == '\r') continue;
            if (cp == '\n') {
                r->SetSelText("\r\n");
                continue;
            }
            int byte = static_cast<int>(cp);
            if (cp >= 0x80) {
                BYTE charset = r->SelAttributes().Charset();
                byte = zolrich::fromUnicode(charset, cp);
                if (byte < 0)
                    return fail(index, "U+" + [&] {
                        char hex[16];
                        std::snprintf(hex, sizeof hex, "%04X", cp);
                        return std::string(hex);
                    }() + " cannot be typed in character set " + std::to_string(charset));
            }
            r->SetSelText(std::string(1, static_cast<char>(byte)));
        }
    } else if (action == "set") {
        std::string name = s["set"];
        TComponent* c = find(name);
        if (!c) return;
        auto* e = as<TEdit>(c);
        if (!e) return wrongKind(name, "an edit box");
        if (!usable(e)) return;
        form.SetActiveControl(e);
        e->SetText(s["text"].get<std::string>());
    } else if (action == "exit") {
        std::string name = s["exit"];
        TComponent* c = find(name);
        if (!c) return;
        auto* ctl = as<TControl>(c);
        if (!ctl || !ctl->TakesFocus()) return wrongKind(name, "a control that takes the focus");
        if (form.ActiveControl() != ctl) return fail(index, "\"" + name + "\" does not have the focus");
        form.SetActiveControl(nullptr);
    } else if (action == "up" || action == "down") {
        std::string name = s[action];
        TComponent* c = find(name);
        if (!c) return;
        TUDBtnType b = action == "up" ? btNext : btPrev;
        if (auto* u = as<TUpDown>(c)) {
            if (!usable(u)) return;
            u->Press(b);
        } else if (auto* sp = as<TSpinEdit>(c)) {
            if (!usable(sp)) return;
            form.SetActiveControl(sp);
            sp->Press(b);
        } else {
            wrongKind(name, "an up-down or spin edit");
        }
    } else if (action == "choose") {
        std::string name = s["choose"];
        TComponent* c = find(name);
        if (!c) return;
        auto* box = as<TComboBox>(c);
        if (!box) return wrongKind(name, "a combo box");
        if (!usable(box)) return;
        std::string item = s["item"];
        int i = box->IndexOf(item);
        if (i < 0) return fail(index, "\"" + name + "\" has no item \"" + item + "\"");
        form.SetActiveControl(box);
        if (box->Style == csOwnerDrawFixed || box->Style == csOwnerDrawVariable) {
            // The list is drawn as it drops down.
            HDC dc = GetDC(nullptr);
            {
                TCanvas canvas(dc);
                box->DrawList(&canvas);
            }
            if (dc) ReleaseDC(nullptr, dc);
        }
        box->Choose(i);
    } else if (action == "check") {
        std::string name = s["check"];
        TComponent* c = find(name);
        if (!c) return;
        auto* box = as<TCheckBox>(c);
        if (!box) return wrongKind(name, "a check box");
        if (!usable(box)) return;
        form.SetActiveControl(box);
        box->SetChecked(s["value"].get<bool>());
    }
}

bool TScriptDriver::takeAnswer(const char* kind, const std::string& title, const std::string& text,
                               const std::string& filter, size_t& answerIndex) {
    const auto& steps = script_.impl().steps;
    TDialogRecord rec{kind, title, text, filter, "default"};
    bool got = false;
    if (!failed_) {
        if (!pending_.empty()) {
            answerIndex = pending_.front();
            pending_.erase(pending_.begin());
            got = true;
        } else if (stack_.empty() && next_ < steps.size() && isAnswer(steps[next_])) {
            // No form runs: a box of the caller's own takes the next answer.
            answerIndex = next_++;
            got = true;
        }
    }
    if (got) rec.answer = steps[answerIndex]["answer"].dump();
    try {
        dialogs_.push_back(std::move(rec));
    } catch (...) {
    }
    return got;
}

namespace {
bool isWord(const json& a, const char* w) { return a.is_string() && a.get<std::string>() == w; }
const char* kindOf(const json& a) {
    if (a.is_string()) return "\"ok\" or \"cancel\"";
    if (a.contains("file")) return "a file";
    if (a.contains("color")) return "a colour";
    return "a font";
}
}  // namespace

bool TScriptDriver::ExecuteFileDialog(TOpenDialog& d) {
    size_t i = 0;
    if (!takeAnswer(d.IsSave() ? "save" : "open", d.Title, d.FileName, d.Filter, i)) return false;
    const json& a = script_.impl().steps[i]["answer"];
    if (isWord(a, "cancel")) return false;
    if (isWord(a, "ok")) return true;
    if (a.is_object() && a.contains("file")) {
        d.FileName = a["file"].get<std::string>();
        return true;
    }
    fail(i, std::string("a file dialog opened, the answer is ") + kindOf(a));
    return false;
}

bool TScriptDriver::ExecuteColorDialog(TColorDialog& d) {
    size_t i = 0;
    if (!takeAnswer("color", "", "", "", i)) return false;
    const json& a = script_.impl().steps[i]["answer"];
    if (isWord(a, "cancel")) return false;
    if (isWord(a, "ok")) return true;
    TColor c = 0;
    if (a.is_object() && a.contains("color") && parseColour(a["color"].get<std::string>(), c)) {
        d.Color = c;
        return true;
    }
    fail(i, std::string("a colour dialog opened, the answer is ") + kindOf(a));
    return false;
}

bool TScriptDriver::ExecuteFontDialog(TFontDialog& d) {
    size_t i = 0;
    if (!takeAnswer("font", "", d.Font.Name, "", i)) return false;
    const json& a = script_.impl().steps[i]["answer"];
    if (isWord(a, "cancel")) return false;
    if (isWord(a, "ok")) return true;
    if (!a.is_object() || !a.contains("font")) {
        fail(i, std::string("a font dialog opened, the answer is ") + kindOf(a));
        return false;
    }
    TFont f = d.Font;
    for (auto& [k, v] : a["font"].items()) {
        auto style = [&](TFontStyle bit) { f.Style = v.get<bool>() ? (f.Style | bit) : (f.Style & ~bit); };
        if (k == "face") f.Name = v.get<std::string>();
        else if (k == "size") f.Size = v.get<int>();
        else if (k == "charset") f.Charset = static_cast<BYTE>(v.get<int>());
        else if (k == "bold") style(fsBold);
        else if (k == "italic") style(fsItalic);
        else if (k == "underline") style(fsUnderline);
        else if (k == "strikeout") style(fsStrikeOut);
        else if (k == "color") parseColour(v.get<std::string>(), f.Color);
    }
    d.Font = f;
    return true;
}

int TScriptDriver::AnswerMessageBox(const char* text, const char* caption, UINT type) {
    UINT buttons = type & 0x0F;
    int def = buttons == MB_YESNO ? IDYES : IDOK;
    size_t i = 0;
    if (!takeAnswer("message", caption ? caption : "", text ? text : "", "", i)) return def;
    const json& a = script_.impl().steps[i]["answer"];
    struct Word {
        const char* word;
        int id;
        bool ok;
    } words[] = {{"ok", IDOK, buttons == MB_OK || buttons == MB_OKCANCEL},
                 {"cancel", IDCANCEL, buttons == MB_OKCANCEL},
                 {"yes", IDYES, buttons == MB_YESNO},
                 {"no", IDNO, buttons == MB_YESNO}};
    for (const Word& w : words) {
        if (!isWord(a, w.word)) continue;
        if (w.ok) return w.id;
        fail(i, std::string("the message box has no \"") + w.word + "\" button");
        return def;
    }
    fail(i, std::string("a message box opened, the answer is ") + kindOf(a));
    return def;
}

void TScriptDriver::AnswerDialog(HWND dialog, int id, DLGPROC proc) {
    size_t i = 0;
    int button = IDCANCEL;
    if (takeAnswer("dialog", std::to_string(id), "", "", i)) {
        const json& a = script_.impl().steps[i]["answer"];
        if (isWord(a, "ok")) button = IDOK;
        else if (!isWord(a, "cancel")) fail(i, std::string("a dialog opened, the answer is ") + kindOf(a));
    }
    proc(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(button), 0), 0);
}

// ---------------------------------------------------------------- installing

namespace {

int boxHook(HWND, const char* text, const char* caption, UINT type, void* context) {
    try {
        return static_cast<TScriptDriver*>(context)->AnswerMessageBox(text, caption, type);
    } catch (...) {
        return 0;
    }
}

void dialogHook(HWND dialog, int id, DLGPROC proc, void* context) {
    try {
        static_cast<TScriptDriver*>(context)->AnswerDialog(dialog, id, proc);
    } catch (...) {
    }
}

struct SavedHooks {
    ZolDialogDriver dialog = nullptr;
    void* dialogContext = nullptr;
    ZolMessageBoxDriver box = nullptr;
    void* boxContext = nullptr;
};
// Runs nest rarely; the hooks of the run outside this one are kept per run.
std::vector<SavedHooks>& savedHooks() {
    static std::vector<SavedHooks> s;
    return s;
}

}  // namespace

TScriptRun::TScriptRun(TScript script) : driver_(std::move(script)) {
    SavedHooks saved;
    saved.dialog = ZolGetDialogDriver(&saved.dialogContext);
    saved.box = ZolGetMessageBoxDriver(&saved.boxContext);
    savedHooks().push_back(saved);
    previous_ = SetDriver(&driver_);
    ZolSetDialogDriver(dialogHook, &driver_);
    ZolSetMessageBoxDriver(boxHook, &driver_);
}

TScriptRun::~TScriptRun() {
    SetDriver(previous_);
    if (!savedHooks().empty()) {
        SavedHooks saved = savedHooks().back();
        savedHooks().pop_back();
        ZolSetDialogDriver(saved.dialog, saved.dialogContext);
        ZolSetMessageBoxDriver(saved.box, saved.boxContext);
    }
}

namespace {

TScriptResult runLoaded(TScript script, const std::function<void()>& body) noexcept {
    try {
        TScriptRun run(std::move(script));
        try {
            if (body) body();
        } catch (const std::exception& e) {
            return {false, std::string("the run failed: ") + e.what()};
        }
        return run.Result();
    } catch (...) {
        return {false, "the run failed"};
    }
}

}  // namespace

TScriptResult RunScript(const std::string& json, const std::function<void()>& body) noexcept {
    TScript script;
    if (TScriptResult parsed = script.Parse(json); !parsed) return parsed;
    return runLoaded(std::move(script), body);
}

TScriptResult RunScriptFile(const std::string& path, const std::function<void()>& body) noexcept {
    TScript script;
    if (TScriptResult loaded = script.LoadFromFile(path); !loaded) return loaded;
    return runLoaded(std::move(script), body);
}

}  // namespace zol::forms
