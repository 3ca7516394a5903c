// The script driver: a headless "user" that works through modal forms by a
// list of steps, for tests and batch runs.
//
// A script is a JSON array of steps, each an object with one action:
//   {"click": NAME}                       control, tool button or menu item
//   {"select": [START, END], "in": NAME}  selection of the active text (END -1: the end);
//                                         "in" selects in that rich edit and makes it active
//   {"type": TEXT}                        typed at the selection ("\n" Enter, "\t" Tab)
//   {"set": NAME, "text": TEXT}           typed into an edit or spin edit
//   {"exit": NAME}                        the focus leaves it
//   {"up": NAME}, {"down": NAME}          an up-down's (or spin edit's) arrows
//   {"choose": NAME, "item": TEXT}        a combo box entry
//   {"check": NAME, "value": BOOL}        a check box
//   {"answer": ...}                       answers a dialog or message box the step
//                                         before opened: {"file": PATH},
//                                         {"color": "#RRGGBB"}, {"font": {...}},
//                                         "ok", "cancel", "yes", "no"
// Any step but an answer may carry "during": true (or N): it then runs
// while the step before it is still busy, at that step's first (or Nth)
// call of Application()->ProcessMessages() after the step before it began
// (or, for a second "during" step, after the first one ran), as input a
// user gave during a long operation; otherwise steps run one after another.
// Steps apply to the topmost open modal form. Answers are queued when the
// step before them runs and taken by the dialogs it opens, in order; a
// dialog that finds none is cancelled (a message box takes its default
// button). When the steps run out, each open form is closed as its close
// button would. Nothing here throws: results carry the failing step.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace zol::forms {

struct ZOLFORMS TScriptResult {
    bool ok = true;
    std::string message;  // for a failure: which step and why
    explicit operator bool() const { return ok; }
};

// A parsed script. Steps are kept as their JSON text so the failing step
// can be named as it was written.
class ZOLFORMS TScript {
public:
    TScript();
    ~TScript();
    TScript(const TScript&);
    TScript& operator=(const TScript&);
    TScript(TScript&&) noexcept;
    TScript& operator=(TScript&&) noexcept;

    // Replace this script by the one in `json`. On failure the script is
    // left empty and the result says what is wrong (malformed JSON, a step
    // that is not an object, an unknown action, a value of the wrong type).
    TScriptResult Parse(const std::string& json) noexcept;
    TScriptResult LoadFromFile(const std::string& path) noexcept;
    size_t StepCount() const;

    struct Impl;
    const Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

// What a common dialog or message box was shown with and how it was
// answered, in the order they opened.
struct ZOLFORMS TDialogRecord {
    std::string kind;    // "open", "save", "color", "font", "message", "dialog"
    std::string title;   // dialog title or message-box caption
    std::string text;    // message-box text; file dialogs: the initial file name
    std::string filter;  // file dialogs
    std::string answer;  // the answer's JSON, or "default"
};

// Drives modal forms from a script while installed (TScriptRun does that).
class ZOLFORMS TScriptDriver : public TFormDriver {
public:
    explicit TScriptDriver(TScript script);
    ~TScriptDriver() override;

    void RunModal(TForm& form) override;
    // Runs the steps marked "during" that are due while a step is busy.
    void ProcessMessages() override;
    bool ExecuteFileDialog(TOpenDialog& d) override;
    bool ExecuteColorDialog(TColorDialog& d) override;
    bool ExecuteFontDialog(TFontDialog& d) override;
    // Message boxes (MessageBoxA) and resource dialogs (DialogBoxParamA)
    // while installed.
    int AnswerMessageBox(const char* text, const char* caption, UINT type);
    void AnswerDialog(HWND dialog, int id, DLGPROC proc);

    // Success, or the first failure; steps left when every form had closed
    // are a failure too.
    TScriptResult Result() const;
    size_t StepsDone() const { return next_; }
    const std::vector<TDialogRecord>& Dialogs() const { return dialogs_; }

    struct Step;

private:
    void fail(size_t index, const std::string& why);
    void execute(TForm& form, size_t index, bool during);
    void runStep(TForm& form, size_t index);
    bool takeAnswer(const char* kind, const std::string& title, const std::string& text,
                    const std::string& filter, size_t& answerIndex);

    TScript script_;
    size_t next_ = 0;
    std::vector<size_t> pending_;  // answers queued by the running step
    bool failed_ = false;
    std::string message_;
    std::vector<TForm*> stack_;
    int busy_ = 0;           // steps running (nested through ProcessMessages)
    int64_t busyCalls_ = 0;  // ProcessMessages calls of the running step so far
    std::vector<TDialogRecord> dialogs_;
    friend class TScriptRun;
};

// Installs a driver for a script (and the platform's message-box and
// dialog hooks) for as long as it lives; restores the previous ones.
class ZOLFORMS TScriptRun {
public:
    explicit TScriptRun(TScript script);
    ~TScriptRun();
    TScriptRun(const TScriptRun&) = delete;
    TScriptRun& operator=(const TScriptRun&) = delete;
    TScriptDriver& Driver() { return driver_; }
    TScriptResult Result() const { return driver_.Result(); }

private:
    TScriptDriver driver_;
    TFormDriver* previous_ = nullptr;
};

// Parses `json`, installs it, calls `body` (which shows the forms), and
// reports the script's outcome; an exception from `body` is a failure.
ZOLFORMS TScriptResult RunScript(const std::string& json, const std::function<void()>& body) noexcept;
ZOLFORMS TScriptResult RunScriptFile(const std::string& path, const std::function<void()>& body) noexcept;

}  // namespace zol::forms
