// Components and controls on their own: ownership and names, the rich-text
// component's formats, lines and files, the arrows' arithmetic, grouped
// buttons, the canvas and message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/forms/forms.h"
#include "platform/win/testhooks.h"

using namespace zol::forms;

namespace {

class FormsRich : public ::testing::Test {
protected:
    void SetUp() override {
        form = CreateForm<TForm>(Application());
        rich = new TRichEdit(form.get());
        rich->Name = "RichEdit1";
        rich->SetBounds(0, 0, 300, 100);
        rich->OnSelectionChange = [this](TObject*) { ++selChanges; };
        rich->SetText("Hello world");
    }
    TFormPtr<TForm> form;
    TRichEdit* rich = nullptr;
    int selChanges = 0;
};

// ---------------------------------------------------------------- ownership

TEST(FormsComponents, OwnerFindsNestedNamesAndDestroysWhatItOwns) {
    auto form = CreateForm<TForm>(Application());
    auto* menu = new TPopupMenu(form.get());
    menu->Name = "PopupMenu1";
    TMenuItem* item = menu->Add("Add123", "Add 0,1,...,9");
    auto* panel = new TPanel(form.get());
    panel->Name = "Panel1";
    auto* button = new TButton(panel);
    button->Name = "BtnOk";
    EXPECT_EQ(form->FindComponent("Add123"), item);
    EXPECT_EQ(form->FindComponent("BtnOk"), button);
    EXPECT_EQ(form->FindComponent("btnok"), nullptr);  // names compare exactly
    EXPECT_EQ(menu->Items().size(), 1u);

    // A component freed early leaves its owner's list; the rest go with the
    // form (the sanitizer reports anything left behind).
    delete button;
    EXPECT_EQ(form->FindComponent("BtnOk"), nullptr);
    EXPECT_EQ(panel->ComponentCount(), 0);
}

TEST(FormsComponents, FreeingTheFocusedControlLeavesTheFormWithoutFocus) {
    auto form = CreateForm<TForm>(Application());
    auto* edit = new TEdit(form.get());
    auto* rich = new TRichEdit(form.get());
    form->SetActiveControl(edit);
    form->SetActiveControl(rich);
    EXPECT_EQ(form->ActiveText(), rich);
    delete rich;
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(form->ActiveText(), nullptr);
}

TEST(FormsComponents, FocusMovesFireExitThenEnter) {
    auto form = CreateForm<TForm>(Application());
    std::vector<std::string> log;
    auto* a = new TEdit(form.get());
    auto* b = new TEdit(form.get());
    a->OnExit = [&](TObject*) { log.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    form->SetActiveControl(a);
    form->SetActiveControl(b);
    form->SetActiveControl(b);
    EXPECT_EQ(log, (std::vector<std::string>{"exit a", "enter b"}));
}

TEST(FormsComponents, DisabledParentMakesItsControlsUnusable) {
    auto form = CreateForm<TForm>(Application());
    auto* bar = new TToolBar(form.get());
    auto* b = new TToolButton(form.get());
    b->SetParent(bar);
    EXPECT_TRUE(b->CanUse());
    bar->Enabled = false;
    EXPECT_FALSE(b->CanUse());
    EXPECT_EQ(b->ParentForm(), form.get());
}

// ---------------------------------------------------------------- buttons

TEST(FormsButtons, SpeedButtonGroupsAndAllowAllUp) {
    auto form = CreateForm<TForm>(Application());
    auto* panel = new TPanel(form.get());
    auto make = [&](int group) {
        auto* s = new TSpeedButton(form.get());
        s->GroupIndex = group;
        s->SetParent(panel);
        return s;
    };
    TSpeedButton *a = make(1), *b = make(1), *other = make(2), *plain = make(0);
    int clicks = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    other->Click();
    a->Click();
    EXPECT_TRUE(a->Down());
    b->Click();
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(other->Down());  // another group is left alone
    b->Click();
    EXPECT_TRUE(b->Down());  // without AllowAllUp one stays down
    b->AllowAllUp = true;
    b->Click();
    EXPECT_FALSE(b->Down());
    plain->Click();
    EXPECT_FALSE(plain->Down());
    EXPECT_EQ(clicks, 1);
}

TEST(FormsButtons, ButtonSetsTheModalResultBeforeItsHandler) {
    auto form = CreateForm<TForm>(Application());
    auto* ok = new TButton(form.get());
    ok->ModalResult = mrOk;
    TModalResult seen = -1;
    ok->OnClick = [&](TObject*) { seen = form->ModalResult(); };
    ok->Click();
    EXPECT_EQ(seen, mrOk);
    EXPECT_EQ(form->ModalResult(), mrOk);
}

// ---------------------------------------------------------------- arrows

struct UpDownCase {
    const char* name;
    int min, max, increment;
    bool wrap;
    const char* typed;  // in the associate before the press
    TUDBtnType button;
    int position;
    bool allow;
};
class FormsUpDown : public ::testing::TestWithParam<UpDownCase> {};

TEST_P(FormsUpDown, PressStepsWithinTheRange) {
    const UpDownCase& c = GetParam();
    auto form = CreateForm<TForm>(Application());
    auto* edit = new TEdit(form.get());
    auto* ud = new TUpDown(form.get());
    ud->Min = c.min;
    ud->Max = c.max;
    ud->Increment = c.increment;
    ud->Wrap = c.wrap;
    ud->Associate = edit;
    ud->SetPosition(5);
    edit->SetText(c.typed);
    int edits = 0, clicks = 0;
    edit->OnChange = [&](TObject*) { ++edits; };
    ud->OnChanging = [&](TObject*, bool& allow) { allow = c.allow; };
    ud->OnClick = [&](TObject*, TUDBtnType b) {
        ++clicks;
        EXPECT_EQ(b, c.button);
        EXPECT_EQ(edit->Text(), std::to_string(c.position)) << "the edit shows the step when OnClick fires";
    };
    ud->Press(c.button);
    EXPECT_EQ(ud->Position(), c.position);
    EXPECT_EQ(clicks, c.allow ? 1 : 0);
    if (c.allow) {
        EXPECT_EQ(edit->Text(), std::to_string(c.position));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormsUpDown,
    ::testing::Values(UpDownCase{"Up", 0, 10, 1, false, "5", btNext, 6, true},
                      UpDownCase{"DownByThree", 0, 10, 3, false, "5", btPrev, 2, true},
                      UpDownCase{"TypedTextFirst", 0, 10, 1, false, "9", btNext, 10, true},
                      UpDownCase{"ClampsAtMax", 0, 10, 1, false, "10", btNext, 10, true},
                      UpDownCase{"TypedBeyondMaxIsClamped", 0, 10, 1, false, "99", btPrev, 9, true},
                      UpDownCase{"GarbageKeepsPosition", 0, 10, 1, false, "abc", btNext, 6, true},
                      UpDownCase{"WrapsAround", 0, 10, 1, true, "10", btNext, 0, true},
                      UpDownCase{"WrapsBelow", 0, 10, 1, true, "0", btPrev, 10, true},
                      UpDownCase{"ChangingRefuses", 0, 10, 1, false, "5", btNext, 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsUpDownEx, ChangingExSeesTheNewValueBeforeTheStepAndMayRefuse) {
    auto form = CreateForm<TForm>(Application());
    auto* edit = new TEdit(form.get());
    auto* ud = new TUpDown(form.get());
    ud->Min = 0;
    ud->Max = 256;
    ud->Associate = edit;
    ud->SetPosition(12);
    std::vector<int> seen;
    ud->OnChangingEx = [&](TObject*, bool& allow, int value, TUDBtnType dir) {
        seen.push_back(value);
        EXPECT_EQ(edit->Text(), "12") << "fires before the step";
        EXPECT_EQ(dir, btNext);
        allow = seen.size() == 1;
    };
    ud->Press(btNext);
    ud->SetPosition(12);
    ud->Press(btNext);
    EXPECT_EQ(seen, (std::vector<int>{13, 13}));
    EXPECT_EQ(ud->Position(), 12);
}

TEST(FormsSpinEdit, ValueReadsTheTextAndKeepsTheRange) {
    auto form = CreateForm<TForm>(Application());
    auto* spin = new TSpinEdit(form.get());
    spin->MinValue = 0;
    spin->MaxValue = 100;
    spin->SetText("42");
    EXPECT_EQ(spin->Value(), 42);
    spin->SetText("x");
    EXPECT_EQ(spin->Value(), 0);
    spin->SetValue(500);
    EXPECT_EQ(spin->Text(), "100");
    spin->Increment = 7;
    spin->Press(btPrev);
    EXPECT_EQ(spin->Value(), 93);
}

// ---------------------------------------------------------------- rich text

TEST_F(FormsRich, SelectionChangesFireOnlyWhenTheSelectionMoves) {
    selChanges = 0;
    rich->Select(0, 5);
    rich->Select(0, 5);
    EXPECT_EQ(selChanges, 1);
    EXPECT_EQ(rich->SelText(), "Hello");
    EXPECT_EQ(rich->SelStart(), 0);
    EXPECT_EQ(rich->SelLength(), 5);
    EXPECT_EQ(form->ActiveText(), rich);
    rich->SetSelStart(6);
    rich->SetSelLength(100);
    EXPECT_EQ(rich->SelText(), "world");
}

struct AttrCase {
    const char* name;
    std::function<void(TTextAttributes)> set;
    std::function<bool(const CHARFORMATA&)> check;
};
class FormsRichAttributes : public FormsRich, public ::testing::WithParamInterface<AttrCase> {};

TEST_P(FormsRichAttributes, SetsOnlyTheSelectionAndOnlyThatField) {
    rich->Select(0, -1);
    TFont base;
    base.Name = "Arial";
    base.Size = 10;
    base.Color = RGB(255, 0, 0);
    base.Style = fsItalic;
    base.Charset = RUSSIAN_CHARSET;
    rich->SelAttributes().Assign(base);
    rich->Select(0, 5);
    GetParam().set(rich->SelAttributes());

    rich->Select(1, 2);
    CHARFORMATA in = rich->SelAttributes().Format();
    EXPECT_TRUE(GetParam().check(in));
    // The other fields are as they were.
    TFont after;
    rich->SelAttributes().AssignTo(after);
    int same = (after.Name == "Arial") + (after.Size == 10) + (after.Color == RGB(255, 0, 0)) +
               (after.Style == fsItalic) + (after.Charset == RUSSIAN_CHARSET);
    EXPECT_EQ(same, 4);

    rich->Select(7, 8);
    TFont outside;
    rich->SelAttributes().AssignTo(outside);
    EXPECT_EQ(outside.Name, "Arial");
    EXPECT_EQ(outside.Size, 10);
    EXPECT_EQ(outside.Style, static_cast<TFontStyles>(fsItalic));
    EXPECT_EQ(outside.Color, RGB(255, 0, 0));
    EXPECT_EQ(outside.Charset, RUSSIAN_CHARSET);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FormsRichAttributes,
    ::testing::Values(
        AttrCase{"Name", [](TTextAttributes a) { a.SetName("Courier New"); },
                 [](const CHARFORMATA& f) { return std::string(f.szFaceName) == "Courier New"; }},
        AttrCase{"Size", [](TTextAttributes a) { a.SetSize(24); }, [](const CHARFORMATA& f) { return f.yHeight == 480; }},
        AttrCase{"Colour", [](TTextAttributes a) { a.SetColor(RGB(1, 2, 3)); },
                 [](const CHARFORMATA& f) { return f.crTextColor == RGB(1, 2, 3); }},
        AttrCase{"Style", [](TTextAttributes a) { a.SetStyle(fsBold | fsUnderline); },
                 [](const CHARFORMATA& f) { return f.dwEffects == (CFE_BOLD | CFE_UNDERLINE); }},
        AttrCase{"Charset", [](TTextAttributes a) { a.SetCharset(GREEK_CHARSET); },
                 [](const CHARFORMATA& f) { return f.bCharSet == GREEK_CHARSET; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormsRich, WindowTextColourIsStoredAsItsRgb) {
    rich->Select(0, -1);
    rich->SelAttributes().SetColor(clWindowText);
    EXPECT_EQ(rich->SelAttributes().Color(), RGB(0, 0, 0));
}

TEST_F(FormsRich, HeightAndSizeConvertAtTheScreenResolution) {
    rich->Select(0, -1);
    rich->SelAttributes().SetHeight(16);
    EXPECT_EQ(rich->SelAttributes().Size(), 12);
    EXPECT_EQ(rich->SelAttributes().Height(), 16);
    rich->SelAttributes().SetHeight(20);
    EXPECT_EQ(rich->SelAttributes().Size(), 15);
}

TEST_F(FormsRich, PitchKeepsTheFamilyBits) {
    rich->Select(0, -1);
    CHARFORMATA cf{};
    cf.dwMask = CFM_PITCHANDFAMILY;
    cf.bPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    rich->SelAttributes().SetFormat(cf);
    rich->SelAttributes().SetPitch(fpFixed);
    EXPECT_EQ(rich->SelAttributes().Pitch(), fpFixed);
    EXPECT_EQ(rich->SelAttributes().Format().bPitchAndFamily, FF_SWISS | FIXED_PITCH);
}

TEST_F(FormsRich, ParagraphAlignmentAndIndents) {
    rich->SetText("one\r\ntwo");
    rich->Select(5, 6);
    TParaAttributes p = rich->Paragraph();
    p.SetAlignment(taRightJustify);
    p.SetFirstIndent(10);
    p.SetLeftIndent(5);
    p.SetRightIndent(3);
    EXPECT_EQ(p.Alignment(), taRightJustify);
    EXPECT_EQ(p.FirstIndent(), 10);
    EXPECT_EQ(p.LeftIndent(), 5);
    EXPECT_EQ(p.RightIndent(), 3);
    rich->Select(0, 1);
    EXPECT_EQ(rich->Paragraph().Alignment(), taLeftJustify);
    EXPECT_EQ(rich->Paragraph().FirstIndent(), 0);
}

TEST_F(FormsRich, LinesAreDisplayLinesAndWrapFollowsTheWidth) {
    rich->SetText("aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk lll mmm nnn ooo ppp");
    rich->SetWordWrap(false);
    EXPECT_EQ(rich->Lines().Count(), 1);
    rich->SetBounds(0, 0, 60, 100);
    rich->SetWordWrap(true);
    EXPECT_TRUE(rich->WordWrap());
    int n = rich->Lines().Count();
    EXPECT_GT(n, 2);
    std::string joined;
    for (int i = 0; i < n; ++i) joined += rich->Lines()[i];
    EXPECT_EQ(std::count(joined.begin(), joined.end(), 'a'), 3);
    // Every display line followed by CR LF.
    EXPECT_EQ(rich->Lines().Text().size(), joined.size() + 2 * static_cast<size_t>(n));
}

TEST_F(FormsRich, LinesAddAndClear) {
    rich->Clear();
    EXPECT_EQ(rich->Lines().Count(), 0);
    rich->Lines().Add("one");
    rich->Lines().Add("two");
    EXPECT_EQ(rich->Lines().Count(), 2);
    EXPECT_EQ(rich->Lines()[1], "two");
    EXPECT_EQ(rich->Lines()[5], "");
}

TEST_F(FormsRich, SavedFileLoadsBackWithItsFormats) {
    rich->Select(6, 11);
    rich->SelAttributes().SetStyle(fsBold);
    rich->SelAttributes().SetColor(RGB(0, 128, 255));
    auto path = std::filesystem::temp_directory_path() / "zol_forms_saved.rtf";
    std::string error;
    ASSERT_TRUE(rich->Lines().SaveToFile(path.string(), &error)) << error;

    auto* other = new TRichEdit(form.get());
    ASSERT_TRUE(other->Lines().LoadFromFile(path.string(), &error)) << error;
    EXPECT_EQ(other->Text(), "Hello world");
    other->Select(7, 8);
    EXPECT_EQ(other->SelAttributes().Style(), static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(other->SelAttributes().Color(), RGB(0, 128, 255));
    other->Select(1, 2);
    EXPECT_EQ(other->SelAttributes().Style(), 0u);

    std::stringstream stream;
    ASSERT_TRUE(rich->Lines().SaveToStream(stream));
    other->Clear();
    ASSERT_TRUE(other->Lines().LoadFromStream(stream));
    EXPECT_EQ(other->Text(), "Hello world");
    std::filesystem::remove(path);
}

TEST_F(FormsRich, MissingFileReportsThePathAndKeepsTheText) {
    int changes = 0;
    rich->OnChange = [&](TObject*) { ++changes; };
    std::string error;
    EXPECT_FALSE(rich->Lines().LoadFromFile("/nonexistent/zol/none.rtf", &error));
    EXPECT_NE(error.find("/nonexistent/zol/none.rtf"), std::string::npos) << error;
    EXPECT_NE(error.find("cannot find"), std::string::npos) << error;
    EXPECT_EQ(rich->Text(), "Hello world");
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(rich->Lines().SaveToFile("/nonexistent/zol/none.rtf", &error));
    EXPECT_NE(error.find("Cannot create file"), std::string::npos) << error;
}

TEST_F(FormsRich, PlainTextStreamsWithoutFormatting) {
    rich->PlainText = true;
    EXPECT_EQ(rich->Lines().SaveToString(), "Hello world");
    ASSERT_TRUE(rich->Lines().LoadFromString("{\\rtf1 not read}"));
    EXPECT_EQ(rich->Text(), "{\\rtf1 not read}");
}

TEST_F(FormsRich, ClipboardCutAndPasteKeepTheFormat) {
    rich->Select(0, 5);
    rich->SelAttributes().SetStyle(fsBold);
    rich->CutToClipboard();
    EXPECT_EQ(rich->Text(), " world");
    rich->Select(6, 6);
    rich->PasteFromClipboard();
    EXPECT_EQ(rich->Text(), " worldHello");
    rich->Select(7, 8);
    EXPECT_EQ(rich->SelAttributes().Style(), static_cast<TFontStyles>(fsBold));
}

TEST_F(FormsRich, DefaultFontAppliesToNewText) {
    TFont f;
    f.Name = "Arial";
    f.Size = 10;
    f.Color = RGB(128, 255, 0);
    f.Charset = RUSSIAN_CHARSET;
    auto* fresh = new TRichEdit(form.get());
    fresh->SetFont(f);
    fresh->SetText("No Data");
    fresh->Select(0, 1);
    TFont got;
    fresh->SelAttributes().AssignTo(got);
    EXPECT_EQ(got.Name, "Arial");
    EXPECT_EQ(got.Size, 10);
    EXPECT_EQ(got.Color, RGB(128, 255, 0));
    EXPECT_EQ(got.Charset, RUSSIAN_CHARSET);
}

// ---------------------------------------------------------------- canvas

TEST(FormsCanvas, DrawsTextAndFillsAndReleasesWhatItMade) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 80, 30);
    HGDIOBJ old = SelectObject(dc, bmp);
    DWORD before = ZolGdiLiveObjects();
    {
        TCanvas canvas(dc);
        canvas.Brush.Color = clWhite;
        canvas.FillRect({0, 0, 80, 30});
        EXPECT_EQ(GetPixel(dc, 40, 15), RGB(255, 255, 255));
        canvas.Font.Name = "Arial";
        canvas.Font.Size = 14;
        canvas.Font.Color = clBlack;
        canvas.Brush.Style = bsClear;
        canvas.TextOut(2, 2, "Wg");
        EXPECT_GT(canvas.TextWidth("Wg"), 10);
        EXPECT_GT(canvas.TextHeight("Wg"), 10);
    }
    EXPECT_EQ(ZolGdiLiveObjects(), before);
    int dark = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) dark += GetPixel(dc, x, y) != RGB(255, 255, 255);
    EXPECT_GT(dark, 20);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(FormsCanvas, ImageListDrawsItsPicturesAndIgnoresBadIndices) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = SelectObject(dc, target);
    {
        auto form = CreateForm<TForm>(Application());
        auto* images = new TImageList(form.get());
        images->Width = images->Height = 4;
        HBITMAP pic = CreateCompatibleBitmap(screen, 4, 4);  // black
        EXPECT_EQ(images->Add(pic), 0);
        EXPECT_EQ(images->Add(nullptr), -1);
        TCanvas canvas(dc);
        canvas.FillRect({0, 0, 20, 20});
        images->Draw(&canvas, 10, 10, 0);
        images->Draw(&canvas, 0, 0, 3);
        EXPECT_EQ(GetPixel(dc, 11, 11), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
    }
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// ---------------------------------------------------------------- message boxes

struct DlgCase {
    const char* name;
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    UINT flags;
};
class FormsMessageDlg : public ::testing::TestWithParam<DlgCase> {};

TEST_P(FormsMessageDlg, GoesThroughThePlatformsMessageBox) {
    const DlgCase& c = GetParam();
    ZolClearMessageBoxes();
    MessageDlg("text", c.type, c.buttons);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, c.caption);
    EXPECT_EQ(ZolMessageBoxes()[0].type, c.flags);
    EXPECT_EQ(ZolMessageBoxes()[0].owner, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FormsMessageDlg,
    ::testing::Values(DlgCase{"Warning", mtWarning, mbOK, "Warning", MB_OK | MB_ICONWARNING},
                      DlgCase{"Error", mtError, mbOK, "Error", MB_OK | MB_ICONERROR},
                      DlgCase{"Information", mtInformation, mbOK | mbCancel, "Information",
                              MB_OKCANCEL | MB_ICONINFORMATION},
                      DlgCase{"Confirm", mtConfirmation, mbYes | mbNo, "Confirm", MB_YESNO | MB_ICONQUESTION}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormsMessageBox, ApplicationBoxKeepsItsCaptionAndShowMessageUsesTheTitle) {
    ZolClearMessageBoxes();
    EXPECT_EQ(Application()->MessageBox("The Font List must has 2 and more items", "Warning",
                                        MB_OK | MB_ICONWARNING),
              mrOk);
    ShowMessage("hello");
    ASSERT_EQ(ZolMessageBoxes().size(), 2u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Warning");
    EXPECT_EQ(ZolMessageBoxes()[1].caption, Application()->Title);
}

}  // namespace
