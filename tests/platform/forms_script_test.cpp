// The script driver running a small editor-like form: formatting through
// tool buttons, dialogs answered from the script, arrows, typing, combo
// boxes, nested forms, message boxes, and the errors a script can make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/script.h"
#include "platform/win/testhooks.h"

using namespace zol::forms;

namespace {

// The form a nested click opens.
class TInnerForm : public TForm {
public:
    explicit TInnerForm(TComponent* owner) : TForm(owner) {
        Name = "InnerForm";
        Edit1 = new TEdit(this);
        Edit1->Name = "Edit1";
        Edit1->SetParent(this);
        BtnOk = new TButton(this);
        BtnOk->Name = "BtnOk";
        BtnOk->ModalResult = mrOk;
        BtnOk->SetParent(this);
    }
    TEdit* Edit1;
    TButton* BtnOk;
};

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        Name = "TestForm";
        Caption = "Test";
        OnCreate = [this](TObject*) { log.push_back("create"); };
        OnShow = [this](TObject*) { log.push_back("show"); };
        OnCloseQuery = [this](TObject*, bool& can) {
            log.push_back("closequery");
            can = refuseCloses-- <= 0;
        };
        OnClose = [this](TObject*, TCloseAction&) { log.push_back("close"); };
        OnDestroy = [this](TObject*) {
            if (destroyed) *destroyed = true;
        };

        ToolBar1 = new TToolBar(this);
        ToolBar1->Name = "ToolBar1";
        ToolBar1->SetParent(this);
        auto tool = [this](const char* name, TToolButtonStyle style, bool grouped) {
            auto* b = new TToolButton(this);
            b->Name = name;
            b->Style = style;
            b->Grouped = grouped;
            b->SetParent(ToolBar1);
            return b;
        };
        ToolBold = tool("ToolBold", tbsCheck, false);
        ToolBold->OnClick = Bind(this, &TTestForm::ToolBoldClick);
        tool("Sep1", tbsSeparator, false);
        ToolLeft = tool("ToolLeft", tbsCheck, true);
        ToolCenter = tool("ToolCenter", tbsCheck, true);
        ToolRight = tool("ToolRight", tbsCheck, true);
        for (TToolButton* b : {ToolLeft, ToolCenter, ToolRight}) {
            b->AllowAllUp = true;
            b->OnClick = Bind(this, &TTestForm::AlignClick);
        }
        ToolRun = tool("ToolRun", tbsButton, false);
        ToolRun->OnClick = [this](TObject*) {
            // A long operation that lets input in once per step, as the
            // random tools do.
            stop = false;
            for (int i = 0; i < 10 && !stop; ++i) {
                ++iterations;
                Application()->ProcessMessages();
            }
        };
        FontColor = tool("FontColor", tbsButton, false);
        FontColor->OnClick = Bind(this, &TTestForm::FontColorClick);

        ComboFont = new TComboBox(this);
        ComboFont->Name = "ComboFont";
        ComboFont->Style = csOwnerDrawVariable;
        ComboFont->SetParent(this);
        for (const char* f : {"Arial", "Courier New", "Times New Roman"}) ComboFont->AddItem(f);
        ComboFont->SetItemIndex(0);
        ComboFont->OnChange = [this](TObject*) {
            log.push_back("combo change");
            RichEdit1->SelAttributes().SetName(ComboFont->Text());
        };
        ComboFont->OnSelect = [this](TObject*) { log.push_back("combo select"); };
        ComboFont->OnMeasureItem = [](TControl*, int, int& h) { h = 15; };
        ComboFont->OnDrawItem = [this](TControl*, int index, TRect r, TOwnerDrawState state) {
            drawn.push_back({index, r.Top, (state & odSelected) != 0});
            ComboFont->Canvas()->TextOut(r.Left + 20, r.Top + 1, ComboFont->Items[static_cast<size_t>(index)]);
        };

        FontSize = new TEdit(this);
        FontSize->Name = "FontSize";
        FontSize->SetParent(this);
        FontSize->SetText("12");
        FontSize->OnExit = [this](TObject*) {
            log.push_back("exit FontSize");
            applySize();
        };
        UpDown1 = new TUpDown(this);
        UpDown1->Name = "UpDown1";
        UpDown1->SetParent(this);
        UpDown1->Min = 0;
        UpDown1->Max = 256;
        UpDown1->Associate = FontSize;
        UpDown1->SetPosition(12);
        UpDown1->OnClick = [this](TObject*, TUDBtnType) { applySize(); };

        SpinSeed = new TSpinEdit(this);
        SpinSeed->Name = "SpinSeed";
        SpinSeed->SetParent(this);
        SpinSeed->MinValue = 0;
        SpinSeed->MaxValue = 1000;
        SpinSeed->SetValue(0);
        SpinSeed->OnChange = [this](TObject*) { log.push_back("seed " + SpinSeed->Text()); };
        SpinSeed->OnExit = [this](TObject*) { log.push_back("exit SpinSeed"); };

        CheckWrap = new TCheckBox(this);
        CheckWrap->Name = "CheckWrap";
        CheckWrap->SetParent(this);
        CheckWrap->SetChecked(true);
        CheckWrap->OnClick = [this](TObject*) {
            log.push_back("wrap click");
            RichEdit1->SetWordWrap(CheckWrap->Checked());
        };

        RichEdit1 = new TRichEdit(this);
        RichEdit1->Name = "RichEdit1";
        RichEdit1->SetParent(this);
        RichEdit1->SetBounds(0, 0, 400, 200);
        RichEdit1->OnSelectionChange = [this](TObject*) { ++selChanges; };
        RichEdit1->OnChange = [this](TObject*) { ++changes; };
        RichEdit2 = new TRichEdit(this);
        RichEdit2->Name = "RichEdit2";
        RichEdit2->SetParent(this);
        RichEdit2->SetBounds(0, 200, 400, 200);

        PopupMenu1 = new TPopupMenu(this);
        PopupMenu1->Name = "PopupMenu1";
        PopupMenu1->Add("MenuClear", "New File", [this](TObject*) { ActiveText()->Clear(); });
        PopupMenu1->Add("MenuOpen", "Open", Bind(this, &TTestForm::OpenClick));
        RichEdit1->PopupMenu = PopupMenu1;

        ColorDialog1 = new TColorDialog(this);
        OpenDialog1 = new TOpenDialog(this);
        OpenDialog1->FileName = "*.rtf";
        OpenDialog1->Filter = "Rich Text Format|rtf|All Format|*";

        BtnWarn = new TButton(this);
        BtnWarn->Name = "BtnWarn";
        BtnWarn->SetParent(this);
        BtnWarn->OnClick = [this](TObject*) { warnAnswer = MessageDlg("Really?", mtConfirmation, mbYes | mbNo); };
        BtnNested = new TButton(this);
        BtnNested->Name = "BtnNested";
        BtnNested->SetParent(this);
        BtnNested->OnClick = [this](TObject*) {
            auto inner = CreateForm<TInnerForm>(this);
            innerResult = inner->ShowModal();
            innerText = inner->Edit1->Text();
        };
        BtnStop = new TButton(this);
        BtnStop->Name = "BtnStop";
        BtnStop->SetParent(this);
        BtnStop->OnClick = [this](TObject*) { stop = true; };
        BtnHidden = new TButton(this);
        BtnHidden->Name = "BtnHidden";
        BtnHidden->SetParent(this);
        BtnHidden->Visible = false;
        BtnOk = new TButton(this);
        BtnOk->Name = "BtnOk";
        BtnOk->ModalResult = mrOk;
        BtnOk->SetParent(this);
        BtnCancel = new TButton(this);
        BtnCancel->Name = "BtnCancel";
        BtnCancel->ModalResult = mrCancel;
        BtnCancel->SetParent(this);
    }

    void ToolBoldClick(TObject*) {
        TRichEdit* t = ActiveText();
        TFontStyles s = t->SelAttributes().Style();
        t->SelAttributes().SetStyle(ToolBold->Down() ? (s | fsBold) : (s & ~fsBold));
    }
    void AlignClick(TObject* sender) {
        TAlignment a = sender == ToolLeft ? taLeftJustify : sender == ToolCenter ? taCenter : taRightJustify;
        ActiveText()->Paragraph().SetAlignment(a);
    }
    void FontColorClick(TObject*) {
        ColorDialog1->Color = ActiveText()->SelAttributes().Color();
        colourOffered = ColorDialog1->Color;
        if (ColorDialog1->Execute()) ActiveText()->SelAttributes().SetColor(ColorDialog1->Color);
    }
    void OpenClick(TObject*) {
        if (OpenDialog1->Execute()) openOk = RichEdit1->Lines().LoadFromFile(OpenDialog1->FileName, &openError);
    }
    void applySize() {
        int v = 0;
        try {
            v = std::stoi(FontSize->Text());
        } catch (...) {
            return;
        }
        if (v >= 1 && v <= 255) ActiveText()->SelAttributes().SetSize(v);
    }

    TToolBar* ToolBar1;
    TToolButton *ToolBold, *ToolLeft, *ToolCenter, *ToolRight, *ToolRun, *FontColor;
    TComboBox* ComboFont;
    TEdit* FontSize;
    TUpDown* UpDown1;
    TSpinEdit* SpinSeed;
    TCheckBox* CheckWrap;
    TRichEdit *RichEdit1, *RichEdit2;
    TPopupMenu* PopupMenu1;
    TColorDialog* ColorDialog1;
    TOpenDialog* OpenDialog1;
    TButton *BtnWarn, *BtnNested, *BtnStop, *BtnHidden, *BtnOk, *BtnCancel;
    bool stop = false;
    int iterations = 0;

    std::vector<std::string> log;
    struct Drawn {
        int index, top;
        bool selected;
    };
    std::vector<Drawn> drawn;
    int selChanges = 0, changes = 0, refuseCloses = 0;
    int warnAnswer = -1;
    TModalResult innerResult = -1;
    std::string innerText, openError;
    bool openOk = false;
    TColor colourOffered = 0;
    bool* destroyed = nullptr;
};

int count(const std::vector<std::string>& log, const std::string& what) {
    return static_cast<int>(std::count(log.begin(), log.end(), what));
}

// Runs `script` over a fresh form whose rich edit holds `text`.
struct Outcome {
    TFormPtr<TTestForm> form;
    TModalResult result = -1;
    TScriptResult outcome;
    std::vector<TDialogRecord> dialogs;
};
Outcome runOn(const std::string& text, const std::string& script,
          const std::function<void(TTestForm&)>& prepare = {}) {
    Outcome r;
    r.form = CreateForm<TTestForm>(Application());
    r.form->RichEdit1->SetText(text);
    r.form->RichEdit1->Select(0, 0);
    if (prepare) prepare(*r.form);
    TScript s;
    TScriptResult parsed = s.Parse(script);
    EXPECT_TRUE(parsed.ok) << parsed.message;
    TScriptRun run(std::move(s));
    r.result = r.form->ShowModal();
    r.outcome = run.Result();
    r.dialogs = run.Driver().Dialogs();
    return r;
}

CHARFORMATA formatAt(TRichEdit* r, int pos) {
    r->Select(pos, pos + 1);
    return r->SelAttributes().Format();
}

// ---------------------------------------------------------------- formatting

TEST(FormsScript, BoldOnASelectedWordReachesTheRichText) {
    Outcome r = runOn("Hello world",
                  R"([{"select": [6, 11]}, {"click": "ToolBold"}, {"click": "BtnOk"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.result, mrOk);
    EXPECT_TRUE(r.form->ToolBold->Down());
    TRichEdit* t = r.form->RichEdit1;
    EXPECT_FALSE(formatAt(t, 4).dwEffects & CFE_BOLD);
    EXPECT_TRUE(formatAt(t, 6).dwEffects & CFE_BOLD);
    EXPECT_TRUE(formatAt(t, 10).dwEffects & CFE_BOLD);

    // The rich text it writes carries the bold word into another control.
    std::string rtf = t->Lines().SaveToString();
    EXPECT_NE(rtf.find("\\b"), std::string::npos) << rtf;
    TRichEdit* copy = r.form->RichEdit2;
    ASSERT_TRUE(copy->Lines().LoadFromString(rtf));
    EXPECT_EQ(copy->Text(), "Hello world");
    EXPECT_FALSE(formatAt(copy, 5).dwEffects & CFE_BOLD);
    EXPECT_TRUE(formatAt(copy, 7).dwEffects & CFE_BOLD);
}

TEST(FormsScript, BoldTwiceTakesTheStyleOffAgain) {
    Outcome r = runOn("Hello world", R"([{"select": [0, 5]}, {"click": "ToolBold"}, {"click": "ToolBold"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_FALSE(r.form->ToolBold->Down());
    EXPECT_FALSE(formatAt(r.form->RichEdit1, 2).dwEffects & CFE_BOLD);
}

TEST(FormsScript, SelectInTheSecondTextMakesItTheActiveOne) {
    Outcome s = runOn("first",
                  R"([{"select": [0, 3], "in": "RichEdit2"}, {"click": "ToolBold"}, {"click": "BtnOk"}])",
                  [](TTestForm& f) {
                      f.RichEdit2->SetText("second");
                      f.RichEdit1->Select(0, 5);
                  });
    ASSERT_TRUE(s.outcome.ok) << s.outcome.message;
    EXPECT_EQ(s.form->ActiveText(), s.form->RichEdit2);
    EXPECT_TRUE(formatAt(s.form->RichEdit2, 1).dwEffects & CFE_BOLD);
    EXPECT_FALSE(formatAt(s.form->RichEdit2, 4).dwEffects & CFE_BOLD);
    EXPECT_FALSE(formatAt(s.form->RichEdit1, 1).dwEffects & CFE_BOLD);
}

TEST(FormsScript, GroupedCheckButtonsKeepOneDownAndMayAllGoUp) {
    Outcome r = runOn("line", R"([{"click": "ToolLeft"}, {"click": "ToolCenter"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_FALSE(r.form->ToolLeft->Down());
    EXPECT_TRUE(r.form->ToolCenter->Down());
    EXPECT_FALSE(r.form->ToolRight->Down());
    EXPECT_EQ(r.form->RichEdit1->Paragraph().Alignment(), taCenter);
    // The non-grouped check button before the separator is not in the group.
    EXPECT_FALSE(r.form->ToolBold->Down());

    Outcome up = runOn("line", R"([{"click": "ToolRight"}, {"click": "ToolRight"}])");
    ASSERT_TRUE(up.outcome.ok) << up.outcome.message;
    EXPECT_FALSE(up.form->ToolRight->Down());
    EXPECT_EQ(up.form->RichEdit1->Paragraph().Alignment(), taRightJustify);
}

// ---------------------------------------------------------------- colour dialog

struct ColourCase {
    const char* name;
    const char* answer;  // JSON of the answer step, or "" for none
    TColor expected;
};
class FormsColourDialog : public ::testing::TestWithParam<ColourCase> {};

TEST_P(FormsColourDialog, AnswerDecidesTheSelectionColour) {
    const ColourCase& c = GetParam();
    std::string script = R"([{"select": [0, 5]}, {"click": "FontColor"})";
    if (*c.answer) script += std::string(", {\"answer\": ") + c.answer + "}";
    script += "]";
    Outcome r = runOn("Hello world", script, [](TTestForm& f) {
        f.RichEdit1->Select(0, -1);
        f.RichEdit1->SelAttributes().SetColor(RGB(1, 2, 3));
    });
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->colourOffered, RGB(1, 2, 3));
    EXPECT_EQ(formatAt(r.form->RichEdit1, 2).crTextColor, c.expected);
    EXPECT_EQ(formatAt(r.form->RichEdit1, 7).crTextColor, RGB(1, 2, 3));
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].kind, "color");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FormsColourDialog,
    ::testing::Values(ColourCase{"Colour", R"({"color": "#102030"})", RGB(0x10, 0x20, 0x30)},
                      ColourCase{"LowerCaseHex", R"({"color": "#a0b0c0"})", RGB(0xA0, 0xB0, 0xC0)},
                      ColourCase{"Ok", R"("ok")", RGB(1, 2, 3)},
                      ColourCase{"Cancel", R"("cancel")", RGB(1, 2, 3)},
                      ColourCase{"NoAnswer", "", RGB(1, 2, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- arrows and edits

struct SizeCase {
    const char* name;
    const char* script;
    const char* shown;  // FontSize afterwards
    int size;           // points of the selection afterwards
};
class FormsSizeBox : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormsSizeBox, ArrowsAndFocusApplyTheSize) {
    const SizeCase& c = GetParam();
    Outcome r = runOn("Hello world", c.script, [](TTestForm& f) {
        f.RichEdit1->Select(0, -1);
        f.RichEdit1->SelAttributes().SetSize(10);
    });
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->FontSize->Text(), c.shown);
    EXPECT_EQ(formatAt(r.form->RichEdit1, 1).yHeight, c.size * 20);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FormsSizeBox,
    ::testing::Values(
        SizeCase{"UpShowsAndApplies13", R"([{"select": [0, -1]}, {"up": "UpDown1"}])", "13", 13},
        SizeCase{"DownTwice", R"([{"select": [0, -1]}, {"down": "UpDown1"}, {"down": "UpDown1"}])", "10", 10},
        SizeCase{"TypedNumberCountsForTheArrow",
                 R"([{"select": [0, -1]}, {"set": "FontSize", "text": "20"}, {"up": "UpDown1"}])", "21", 21},
        SizeCase{"StopsAtMax", R"([{"select": [0, -1]}, {"set": "FontSize", "text": "256"}, {"up": "UpDown1"}])",
                 "256", 10},
        SizeCase{"ExitApplies24", R"([{"select": [0, -1]}, {"set": "FontSize", "text": "24"}, {"exit": "FontSize"}])",
                 "24", 24},
        SizeCase{"ExitIgnores300",
                 R"([{"select": [0, -1]}, {"set": "FontSize", "text": "300"}, {"exit": "FontSize"}])", "300", 10},
        SizeCase{"ClickingAButtonMovesTheFocusOut",
                 R"([{"select": [0, -1]}, {"set": "FontSize", "text": "30"}, {"click": "BtnWarn"}])", "30", 30},
        SizeCase{"ToolButtonsLeaveTheFocus",
                 R"([{"select": [0, -1]}, {"set": "FontSize", "text": "30"}, {"click": "ToolLeft"}])", "30", 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsScript, SpinEditTakesTextArrowsAndFocusLoss) {
    Outcome r = runOn("x", R"([{"set": "SpinSeed", "text": "7"}, {"up": "SpinSeed"}, {"exit": "SpinSeed"},
                          {"set": "SpinSeed", "text": "1000"}, {"up": "SpinSeed"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->SpinSeed->Value(), 1000);
    const auto& log = r.form->log;
    EXPECT_EQ(count(log, "seed 7"), 1);
    EXPECT_EQ(count(log, "seed 8"), 1);
    EXPECT_EQ(count(log, "seed 1000"), 1);
    EXPECT_EQ(count(log, "exit SpinSeed"), 1);
}

// ---------------------------------------------------------------- typing

TEST(FormsScript, TypingWithEnterMakesParagraphsAndFiresPerKey) {
    Outcome r = runOn("", R"([{"type": "ab\ncd\tx"}])", [](TTestForm& f) {
        f.changes = 0;
        f.selChanges = 0;
    });
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    TRichEdit* t = r.form->RichEdit1;
    EXPECT_EQ(t->Text(), "ab\r\ncd\tx");
    ASSERT_EQ(t->Lines().Count(), 2);
    EXPECT_EQ(t->Lines()[0], "ab");
    EXPECT_EQ(t->Lines()[1], "cd\tx");
    EXPECT_EQ(t->SelStart(), 8);  // a break is two positions
    EXPECT_EQ(r.form->changes, 7);  // one per key
    EXPECT_EQ(r.form->selChanges, 7);
}

struct ScriptCharCase {
    const char* name;
    BYTE charset;
    const char* typed;     // UTF-8 in the script
    const char* expected;  // the bytes in the control
};
class FormsTypingScripts : public ::testing::TestWithParam<ScriptCharCase> {};

TEST_P(FormsTypingScripts, CharactersBecomeBytesOfTheCharacterSetTypedIn) {
    const ScriptCharCase& c = GetParam();
    Outcome r = runOn("", std::string(R"([{"type": ")") + c.typed + R"("}])", [&](TTestForm& f) {
        f.RichEdit1->SelAttributes().SetCharset(c.charset);
    });
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->RichEdit1->Text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, FormsTypingScripts,
    ::testing::Values(ScriptCharCase{"Cyrillic", RUSSIAN_CHARSET, "\u041f\u0440\u0438", "\xCF\xF0\xE8"},
                      ScriptCharCase{"CyrillicAsUtf8", RUSSIAN_CHARSET, "\xD0\x9F", "\xCF"},
                      ScriptCharCase{"EuroInAnsi", ANSI_CHARSET, "a\u20ac", "a\x80"},
                      ScriptCharCase{"Greek", GREEK_CHARSET, "\u03a9", "\xD9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsScript, ACharacterTheCharacterSetLacksFailsTheStep) {
    Outcome r = runOn("", R"([{"type": "a\u03a9"}])");
    EXPECT_FALSE(r.outcome.ok);
    EXPECT_NE(r.outcome.message.find("U+03A9"), std::string::npos) << r.outcome.message;
    EXPECT_EQ(r.form->RichEdit1->Text(), "a");
}

TEST(FormsScript, TypingReplacesTheSelectionAndKeepsItsFormat) {
    Outcome r = runOn("Hello world", R"([{"select": [6, 11]}, {"click": "ToolBold"}, {"type": "there"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->RichEdit1->Text(), "Hello there");
    EXPECT_TRUE(formatAt(r.form->RichEdit1, 8).dwEffects & CFE_BOLD);
}

// ---------------------------------------------------------------- combo, check box, menu

TEST(FormsScript, ChoosingAnOwnerDrawnItemDrawsTheListThenFiresChangeAndSelect) {
    Outcome r = runOn("Hello", R"([{"select": [0, -1]}, {"choose": "ComboFont", "item": "Courier New"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->ComboFont->ItemIndex(), 1);
    char face[32] = {};
    std::memcpy(face, formatAt(r.form->RichEdit1, 1).szFaceName, 31);
    EXPECT_STREQ(face, "Courier New");
    ASSERT_EQ(r.form->drawn.size(), 3u);
    EXPECT_TRUE(r.form->drawn[0].selected);  // Arial was the selected item as the list opened
    EXPECT_FALSE(r.form->drawn[1].selected);
    EXPECT_EQ(r.form->drawn[2].top, 30);     // measured heights of 15
    auto change = std::find(r.form->log.begin(), r.form->log.end(), "combo change");
    auto select = std::find(r.form->log.begin(), r.form->log.end(), "combo select");
    ASSERT_NE(change, r.form->log.end());
    ASSERT_NE(select, r.form->log.end());
    EXPECT_LT(change, select);
}

TEST(FormsScript, CheckBoxClicksOnlyWhenTheValueChanges) {
    Outcome r = runOn("x", R"([{"check": "CheckWrap", "value": false}, {"check": "CheckWrap", "value": false}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_FALSE(r.form->RichEdit1->WordWrap());
    EXPECT_EQ(count(r.form->log, "wrap click"), 1);
}

TEST(FormsScript, MenuItemsAreClickedByName) {
    Outcome r = runOn("some text", R"([{"click": "MenuClear"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->RichEdit1->Text(), "");
}

TEST(FormsScript, OpenDialogAnsweredWithAFileLoadsIt) {
    std::string path = std::string(ZOL_FORMS_FIXTURES) + "/formatted.rtf";
    Outcome r = runOn("old", R"([{"click": "MenuOpen"}, {"answer": {"file": ")" + path + R"("}}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    ASSERT_TRUE(r.form->openOk) << r.form->openError;
    TRichEdit* t = r.form->RichEdit1;
    EXPECT_EQ(t->Lines()[0], "plain bold big blue");
    EXPECT_TRUE(formatAt(t, 7).dwEffects & CFE_BOLD);
    EXPECT_EQ(formatAt(t, 12).crTextColor, RGB(0, 0, 255));
    EXPECT_EQ(formatAt(t, 12).yHeight, 400);
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].kind, "open");
    EXPECT_EQ(r.dialogs[0].text, "*.rtf");
    EXPECT_EQ(r.dialogs[0].filter, "Rich Text Format|rtf|All Format|*");
}

TEST(FormsScript, OpenDialogWithoutAnAnswerIsCancelled) {
    Outcome r = runOn("old", R"([{"click": "MenuOpen"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_FALSE(r.form->openOk);
    EXPECT_EQ(r.form->RichEdit1->Text(), "old");
    ASSERT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.dialogs[0].answer, "default");
}

// ---------------------------------------------------------------- message boxes

struct BoxCase {
    const char* name;
    const char* script;
    bool ok;
    int answer;
};
class FormsMessageBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(FormsMessageBox, ScriptAnswersTheBox) {
    const BoxCase& c = GetParam();
    ZolClearMessageBoxes();
    Outcome r = runOn("x", c.script);
    EXPECT_EQ(r.outcome.ok, c.ok) << r.outcome.message;
    EXPECT_EQ(r.form->warnAnswer, c.answer);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Confirm");
    EXPECT_EQ(ZolMessageBoxes()[0].text, "Really?");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FormsMessageBox,
    ::testing::Values(BoxCase{"No", R"([{"click": "BtnWarn"}, {"answer": "no"}])", true, mrNo},
                      BoxCase{"Yes", R"([{"click": "BtnWarn"}, {"answer": "yes"}])", true, mrYes},
                      BoxCase{"DefaultIsYes", R"([{"click": "BtnWarn"}])", true, mrYes},
                      BoxCase{"OkIsNotAButtonOfIt", R"([{"click": "BtnWarn"}, {"answer": "ok"}])", false, mrYes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsScript, BoxesAndDialogsOutsideAnyFormTakeTheNextAnswers) {
    ZolClearMessageBoxes();
    int box = 0;
    INT_PTR dialog = 0;
    TScriptResult r = RunScript(R"([{"answer": "no"}, {"answer": "ok"}])", [&] {
        box = MessageBoxA(nullptr, "Save?", "Question", MB_YESNO);
        dialog = DialogBoxParamA(nullptr, 7, nullptr,
                                 [](HWND d, UINT msg, WPARAM wp, LPARAM) -> INT_PTR {
                                     if (msg == WM_COMMAND) EndDialog(d, LOWORD(wp));
                                     return 0;
                                 },
                                 0);
    });
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(box, IDNO);
    EXPECT_EQ(dialog, IDOK);
    // The platform's hooks are back to their defaults afterwards.
    EXPECT_EQ(MessageBoxA(nullptr, "again", "Question", MB_YESNO), IDOK);
    void* ctx = nullptr;
    EXPECT_EQ(ZolGetMessageBoxDriver(&ctx), nullptr);
    EXPECT_EQ(ZolGetDialogDriver(&ctx), nullptr);
}

// ---------------------------------------------------------------- closing and nesting

TEST(FormsScript, ScriptEndingWithTheFormOpenClosesItWithCancel) {
    Outcome r = runOn("Hello", R"([{"select": [0, 5]}, {"click": "ToolBold"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.result, mrCancel);
    const auto& log = r.form->log;
    EXPECT_EQ(log.front(), "create");
    EXPECT_EQ(count(log, "show"), 1);
    EXPECT_EQ(count(log, "closequery"), 1);
    EXPECT_EQ(log.back(), "close");
    EXPECT_FALSE(r.form->Showing());
}

TEST(FormsScript, CancelButtonClosesWithCancel) {
    Outcome r = runOn("Hello", R"([{"click": "BtnCancel"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.result, mrCancel);
    EXPECT_EQ(count(r.form->log, "close"), 1);
}

TEST(FormsScript, RefusedCloseKeepsTheFormRunning) {
    Outcome r = runOn("Hello", R"([{"click": "BtnOk"}, {"click": "ToolBold"}, {"click": "BtnOk"}])",
                  [](TTestForm& f) { f.refuseCloses = 1; });
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.result, mrOk);
    EXPECT_TRUE(r.form->ToolBold->Down());  // the step after the refusal ran on the open form
    EXPECT_EQ(count(r.form->log, "closequery"), 2);
    EXPECT_EQ(count(r.form->log, "close"), 1);
}

TEST(FormsScript, NestedFormTakesTheStepsWhileItIsOpen) {
    Outcome r = runOn("Hello", R"([{"click": "BtnNested"}, {"set": "Edit1", "text": "inner"}, {"click": "BtnOk"},
                              {"click": "ToolBold"}, {"click": "BtnOk"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->innerResult, mrOk);
    EXPECT_EQ(r.form->innerText, "inner");
    EXPECT_TRUE(r.form->ToolBold->Down());
    EXPECT_EQ(r.result, mrOk);
}

TEST(FormsScript, NestedFormsLeftOpenBothCloseWithCancel) {
    Outcome r = runOn("Hello", R"([{"click": "BtnNested"}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->innerResult, mrCancel);
    EXPECT_EQ(r.result, mrCancel);
}

// ---------------------------------------------------------------- input during a long step

struct DuringCase {
    const char* name;
    const char* script;
    int iterations;
    bool bold;  // whether the step after the busy one ran
};
class FormsDuring : public ::testing::TestWithParam<DuringCase> {};

TEST_P(FormsDuring, StepsMarkedDuringReachTheRunningStep) {
    const DuringCase& c = GetParam();
    Outcome r = runOn("Hello", c.script);
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.form->iterations, c.iterations);
    EXPECT_EQ(r.form->ToolBold->Down(), c.bold);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FormsDuring,
    ::testing::Values(
        DuringCase{"WithoutDuringTheStepRunsToItsEnd", R"([{"click": "ToolRun"}, {"click": "BtnStop"}])", 10, false},
        DuringCase{"StopAtTheFirstCall", R"([{"click": "ToolRun"}, {"click": "BtnStop", "during": true}])", 1, false},
        DuringCase{"StopAtTheThirdCall", R"([{"click": "ToolRun"}, {"click": "BtnStop", "during": 3}])", 3, false},
        DuringCase{"TwoInputsDuringOneRun",
                   R"([{"click": "ToolRun"}, {"click": "ToolBold", "during": 2}, {"click": "BtnStop", "during": 2},
                      {"click": "ToolLeft"}])",
                   4, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsScript, OkDuringARunEndsTheFormAfterTheRun) {
    Outcome r = runOn("Hello", R"([{"click": "ToolRun"}, {"click": "BtnOk", "during": 2}])");
    ASSERT_TRUE(r.outcome.ok) << r.outcome.message;
    EXPECT_EQ(r.result, mrOk);
    EXPECT_EQ(r.form->iterations, 10);  // Ok alone does not stop this loop
}

// ---------------------------------------------------------------- failing runs

struct FailCase {
    const char* name;
    const char* script;
    const char* step;   // how the message names the failing step
    const char* cause;  // what it says about it
};
class FormsFailingRun : public ::testing::TestWithParam<FailCase> {};

TEST_P(FormsFailingRun, StopsNamesTheStepAndClosesTheForms) {
    const FailCase& c = GetParam();
    Outcome r = runOn("Hello world", c.script);
    EXPECT_FALSE(r.outcome.ok);
    EXPECT_NE(r.outcome.message.find(c.step), std::string::npos) << r.outcome.message;
    EXPECT_NE(r.outcome.message.find(c.cause), std::string::npos) << r.outcome.message;
    EXPECT_FALSE(r.form->Showing());
    EXPECT_FALSE(r.form->ToolBold->Down()) << "no step after the failing one may run";
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FormsFailingRun,
    ::testing::Values(
        FailCase{"UnknownName", R"([{"click": "Nope"}, {"click": "ToolBold"}])", R"(step 0 {"click":"Nope"})",
                 "nothing named \"Nope\""},
        FailCase{"AnswerNobodyAskedFor", R"([{"click": "ToolLeft"}, {"answer": "ok"}, {"click": "ToolBold"}])",
                 R"(step 1 {"answer":"ok"})", "answers nothing"},
        FailCase{"AnswerFirst", R"([{"answer": "cancel"}, {"click": "ToolBold"}])", "step 0", "answers nothing"},
        FailCase{"SecondAnswerForOneDialog",
                 R"([{"click": "FontColor"}, {"answer": "ok"}, {"answer": "ok"}, {"click": "ToolBold"}])",
                 "step 2", "answers nothing"},
        FailCase{"WrongKindOfAnswer", R"([{"click": "FontColor"}, {"answer": {"file": "a.rtf"}}, {"click": "ToolBold"}])",
                 "step 1", "a colour dialog opened"},
        FailCase{"HiddenButton", R"([{"click": "BtnHidden"}, {"click": "ToolBold"}])", "step 0", "disabled or hidden"},
        FailCase{"ExitWithoutFocus", R"([{"exit": "FontSize"}, {"click": "ToolBold"}])", "step 0",
                 "does not have the focus"},
        FailCase{"MissingComboItem", R"([{"choose": "ComboFont", "item": "Comic"}, {"click": "ToolBold"}])", "step 0",
                 "has no item \"Comic\""},
        FailCase{"SetOnAButton", R"([{"set": "BtnOk", "text": "1"}, {"click": "ToolBold"}])", "step 0",
                 "is not an edit box"},
        FailCase{"OuterNameWhileNestedIsOpen", R"([{"click": "BtnNested"}, {"click": "ToolBold"}])", "step 1",
                 "nothing named \"ToolBold\""},
        FailCase{"DuringAStepThatLetsNoInputIn", R"([{"click": "ToolLeft"}, {"click": "BtnStop", "during": true},
                                                      {"click": "ToolBold"}])",
                 "step 1", "did not let input in"},
        FailCase{"DuringMoreOftenThanTheStepAllows",
                 R"([{"click": "ToolRun"}, {"click": "BtnStop", "during": 11}, {"click": "ToolBold"}])", "step 1",
                 "did not let input in"},
        FailCase{"DuringAsTheFirstStep", R"([{"click": "BtnStop", "during": true}, {"click": "ToolBold"}])", "step 0",
                 "was not running"},
        FailCase{"StepsLeftAfterClose", R"([{"click": "BtnOk"}, {"click": "ToolBold"}])", "step 1",
                 "no form was open"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- malformed scripts

struct BadScript {
    const char* name;
    const char* text;
    const char* message;
};
class FormsMalformedScript : public ::testing::TestWithParam<BadScript> {};

TEST_P(FormsMalformedScript, IsRefusedWithAClearMessageAndRunsNothing) {
    const BadScript& c = GetParam();
    TScript s;
    TScriptResult r = s.Parse(c.text);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
    EXPECT_EQ(s.StepCount(), 0u);
    bool ran = false;
    TScriptResult run = RunScript(c.text, [&] { ran = true; });
    EXPECT_FALSE(run.ok);
    EXPECT_FALSE(ran);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, FormsMalformedScript,
    ::testing::Values(BadScript{"NotJson", "[{\"click\": ", "not valid JSON"},
                      BadScript{"NotAnArray", R"({"click": "BtnOk"})", "JSON array"},
                      BadScript{"StepNotAnObject", R"([{"click": "BtnOk"}, 3])", "step 1 3"},
                      BadScript{"UnknownAction", R"([{"jump": "BtnOk"}])", "unknown action \"jump\""},
                      BadScript{"TwoActions", R"([{"click": "BtnOk", "type": "x"}])", "one action"},
                      BadScript{"NameNotAString", R"([{"click": 1}])", "takes a string"},
                      BadScript{"SelectNeedsTwo", R"([{"select": [1]}])", "[START, END]"},
                      BadScript{"SelectNegativeStart", R"([{"select": [-2, 4]}])", "START >= 0"},
                      BadScript{"SetWithoutText", R"([{"set": "FontSize"}])", "needs \"text\""},
                      BadScript{"CheckValueNotBool", R"([{"check": "CheckWrap", "value": "yes"}])", "true or false"},
                      BadScript{"StrayKey", R"([{"click": "BtnOk", "item": "x"}])", "takes no \"item\""},
                      BadScript{"BadColour", R"([{"answer": {"color": "red"}}])", "#RRGGBB"},
                      BadScript{"UnknownAnswer", R"([{"answer": "maybe"}])", "unknown answer"},
                      BadScript{"DuringZero", R"([{"click": "BtnOk", "during": 0}])", "1 or more"},
                      BadScript{"DuringOnAnAnswer", R"([{"answer": "ok", "during": 1}])", "takes no \"during\""},
                      BadScript{"UnknownFontField", R"([{"answer": {"font": {"weight": 7}}}])", "unknown font field"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsScript, ScriptFilesAreReadAndAMissingOneIsReported) {
    TScript s;
    TScriptResult missing = s.LoadFromFile(std::string(ZOL_FORMS_FIXTURES) + "/no-such-script.json");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("no-such-script.json"), std::string::npos);
    TScriptResult bold = s.LoadFromFile(std::string(ZOL_FORMS_FIXTURES) + "/bold_first_word.json");
    ASSERT_TRUE(bold.ok) << bold.message;
    EXPECT_EQ(s.StepCount(), 3u);
}

// ---------------------------------------------------------------- without a driver

TEST(FormsHeadless, ShowModalWithoutADriverClosesAtOnceWithCancel) {
    bool destroyed = false;
    auto form = CreateForm<TTestForm>(Application());
    form->destroyed = &destroyed;
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(form->log, (std::vector<std::string>{"create", "show", "closequery", "close"}));
    EXPECT_FALSE(form->Showing());
    // Common dialogs are cancelled too.
    EXPECT_FALSE(form->ColorDialog1->Execute());
    EXPECT_FALSE(form->OpenDialog1->Execute());
    form.reset();
    EXPECT_TRUE(destroyed);
}

}  // namespace
