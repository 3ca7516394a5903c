// The symbol-set dialog through the real ZOLQuillarine.DLL: blocks handed
// in, worked on by a script as a user would, and the blocks that come
// back; the about window on its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "framework/symbol_set.h"
#include "library/About.h"
#include "platform/forms/forms.h"
#include "platform/forms/script.h"
#include "platform/gdi/gdi.h"
#include "platform/win/testhooks.h"

using namespace zol::forms;
namespace fs = std::filesystem;

namespace {

typedef int32_t (*EditDigitalizerFn)(HWND parent, SymbolSet** set);

struct Symbol {
    char ch = 0;
    std::string face = "Arial";
    int height = 16;  // pixels
    bool bold = false, italic = false, underline = false, strike = false;
    BYTE charset = ANSI_CHARSET;
    BYTE pitch = VARIABLE_PITCH | FF_SWISS;
};

Symbol sym(char ch, const char* face, int height, bool bold = false) {
    Symbol s;
    s.ch = ch;
    s.face = face;
    s.height = height;
    s.bold = bold;
    return s;
}

// A block as the digitalizer effect builds it: the character, then the
// logical font.
SymbolSet* makeBlock(const std::vector<Symbol>& symbols, std::optional<int32_t> claimed = std::nullopt) {
    auto* b = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, SymbolSetBytes(symbols.size()), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!b) return nullptr;
    const int32_t count = claimed.value_or(static_cast<int32_t>(symbols.size()));
    std::memcpy(b, &count, 4);
    for (size_t i = 0; i < symbols.size(); ++i) {
        const Symbol& s = symbols[i];
        uint8_t* e = b + kSymbolSetHeader + i * SymbolEntryLayout::size;
        e[0] = static_cast<uint8_t>(s.ch);
        LOGFONTA lf{};
        lf.lfHeight = s.height;
        lf.lfWeight = s.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = s.italic;
        lf.lfUnderline = s.underline;
        lf.lfStrikeOut = s.strike;
        lf.lfCharSet = s.charset;
        lf.lfQuality = PROOF_QUALITY;
        lf.lfPitchAndFamily = s.pitch;
        std::strncpy(lf.lfFaceName, s.face.c_str(), LF_FACESIZE - 1);
        std::memcpy(e + SymbolEntryLayout::font, &lf, sizeof lf);
    }
    return reinterpret_cast<SymbolSet*>(b);
}

int32_t countOf(const SymbolSet* set) {
    int32_t n = 0;
    std::memcpy(&n, set, 4);
    return n;
}

struct Entry {
    char ch;
    uint8_t unused[3];
    LOGFONTA font;
};
static_assert(sizeof(LOGFONTA) == 60);

std::vector<Entry> entriesOf(const SymbolSet* set) {
    std::vector<Entry> out;
    if (!set) return out;
    const auto* b = reinterpret_cast<const uint8_t*>(set);
    for (int32_t i = 0; i < countOf(set); ++i) {
        const uint8_t* e = b + kSymbolSetHeader + static_cast<size_t>(i) * SymbolEntryLayout::size;
        Entry x{};
        x.ch = static_cast<char>(e[0]);
        std::memcpy(x.unused, e + 1, 3);
        std::memcpy(&x.font, e + SymbolEntryLayout::font, sizeof x.font);
        out.push_back(x);
    }
    return out;
}

std::string charsOf(const SymbolSet* set) {
    std::string s;
    for (const Entry& e : entriesOf(set)) s += e.ch;
    return s;
}

std::string faceOf(const Entry& e) { return std::string(e.font.lfFaceName, strnlen(e.font.lfFaceName, LF_FACESIZE)); }

// The entry of the default text format: Arial 10 point, 13 pixels at 96.
constexpr int kDefaultHeight = 13;

std::vector<Symbol> threeSymbols() {
    Symbol b = sym('b', "MS Sans Serif", 20);
    b.charset = RUSSIAN_CHARSET;
    b.pitch = DEFAULT_PITCH;
    Symbol seven = sym('7', "Courier New", 16);
    seven.italic = seven.underline = seven.strike = true;
    seven.pitch = FIXED_PITCH | FF_MODERN;
    return {sym('A', "Arial", 16, true), b, seven};
}

class Digitazer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryA((std::string(ZOL_PLUGIN_DIR) + "/ZOLQuillarine.DLL").c_str());
        ASSERT_NE(module_, nullptr);
        edit_ = reinterpret_cast<EditDigitalizerFn>(GetProcAddress(module_, "EditDigitalizer"));
        ASSERT_NE(edit_, nullptr);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(edit_, nullptr);
        ZolClearMessageBoxes();
        ZolClearShellCalls();
    }
    void TearDown() override {
        if (set_) {
            EXPECT_TRUE(VirtualFree(set_, 0, MEM_RELEASE)) << "the block that came back is not a live block";
        }
    }

    // Runs the dialog over `set_` with a script; the script must succeed.
    int32_t run(const std::string& script) {
        int32_t rc = 99;
        TScriptResult r = RunScript(script, [&] { rc = edit_(nullptr, &set_); });
        EXPECT_TRUE(r.ok) << r.message;
        return rc;
    }

    static HMODULE module_;
    static EditDigitalizerFn edit_;
    SymbolSet* set_ = nullptr;
};
HMODULE Digitazer::module_ = nullptr;
EditDigitalizerFn Digitazer::edit_ = nullptr;

// ---------------------------------------------------------------- round trip

TEST_F(Digitazer, ThreeSymbolsComeBackWithTheirFontsInANewBlock) {
    set_ = makeBlock(threeSymbols());
    SymbolSet* const original = set_;
    ASSERT_EQ(run(R"([{"click": "Ok"}])"), -1);
    ASSERT_NE(set_, original);
    // The caller's block was released once the new one was complete.
    EXPECT_FALSE(VirtualFree(original, 0, MEM_RELEASE));
    EXPECT_TRUE(ZolMessageBoxes().empty());

    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].ch, 'A');
    EXPECT_EQ(faceOf(e[0]), "Arial");
    EXPECT_EQ(e[0].font.lfHeight, 16);  // 12 points and back
    EXPECT_EQ(e[0].font.lfWeight, FW_BOLD);
    EXPECT_EQ(e[0].font.lfItalic, 0);

    EXPECT_EQ(e[1].ch, 'b');
    EXPECT_EQ(faceOf(e[1]), "MS Sans Serif");
    EXPECT_EQ(e[1].font.lfHeight, 20);  // 15 points and back
    EXPECT_EQ(e[1].font.lfWeight, FW_NORMAL);  // the bold of the first does not spill over
    EXPECT_EQ(e[1].font.lfCharSet, RUSSIAN_CHARSET);

    EXPECT_EQ(e[2].ch, '7');
    EXPECT_EQ(faceOf(e[2]), "Courier New");
    EXPECT_EQ(e[2].font.lfItalic, 1);
    EXPECT_EQ(e[2].font.lfUnderline, 1);
    EXPECT_EQ(e[2].font.lfStrikeOut, 1);
    EXPECT_EQ(e[2].font.lfPitchAndFamily & 0x03, FIXED_PITCH);
    EXPECT_EQ(e[0].font.lfPitchAndFamily & 0x03, VARIABLE_PITCH);

    for (const Entry& x : e) {
        EXPECT_EQ(x.unused[0] | x.unused[1] | x.unused[2], 0);
        EXPECT_EQ(x.font.lfWidth, 0);
        EXPECT_EQ(x.font.lfEscapement, 0);
        EXPECT_EQ(x.font.lfOrientation, 0);
        EXPECT_EQ(x.font.lfOutPrecision, 0);
        EXPECT_EQ(x.font.lfClipPrecision, 0);
        EXPECT_EQ(x.font.lfQuality, PROOF_QUALITY);
    }
}

// ---------------------------------------------------------------- what the text becomes

struct TextCase {
    const char* name;
    bool startWithThree;  // else a null block
    const char* script;
    const char* chars;  // of the block after Ok
};
class DigitazerText : public Digitazer, public ::testing::WithParamInterface<TextCase> {};

TEST_P(DigitazerText, OkTurnsTheTextIntoOneEntryPerVisibleCharacter) {
    const TextCase& c = GetParam();
    if (c.startWithThree) set_ = makeBlock(threeSymbols());
    ASSERT_EQ(run(c.script), -1);
    ASSERT_NE(set_, nullptr);
    EXPECT_EQ(charsOf(set_), c.chars);
    EXPECT_TRUE(ZolMessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DigitazerText,
    ::testing::Values(
        TextCase{"TwoLinesOfTwoLetters", false, R"([{"type": "ab\ncd"}, {"click": "Ok"}])", "abcd"},
        TextCase{"ThreeLinesWithAnEmptyOne", false, R"([{"type": "ab\n\ncd"}, {"click": "Ok"}])", "abcd"},
        TextCase{"TabGivesNone", false, R"([{"type": "a\tb\t"}, {"click": "Ok"}])", "ab"},
        TextCase{"OneCharacter", false, R"([{"type": "q"}, {"click": "Ok"}])", "q"},
        TextCase{"TypedAfterTheLoadedSymbols", true, R"([{"select": [3, 3]}, {"type": "x"}, {"click": "Ok"}])",
                 "Ab7x"},
        TextCase{"Add123", true, R"([{"click": "Add123"}, {"click": "Ok"}])", "Ab71234567890"},
        TextCase{"AddABC", true, R"([{"click": "AddABC"}, {"click": "Ok"}])", "Ab7abcdefghijklmnopqrstuvwxyz"},
        TextCase{"AddABCD", true, R"([{"click": "AddABCD"}, {"click": "Ok"}])", "Ab7ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        TextCase{"AddTwice", false, R"([{"click": "Add123"}, {"click": "Add123"}, {"click": "Ok"}])",
                 "12345678901234567890"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Digitazer, AddingDigitsDropsTheFormattingOfTheText) {
    set_ = makeBlock(threeSymbols());
    ASSERT_EQ(run(R"([{"click": "Add123"}, {"click": "Ok"}])"), -1);
    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), 13u);
    for (const Entry& x : e) {
        EXPECT_EQ(x.font.lfWeight, FW_NORMAL) << x.ch;
        EXPECT_EQ(x.font.lfItalic, 0) << x.ch;
        EXPECT_EQ(x.font.lfHeight, kDefaultHeight) << x.ch;
        EXPECT_EQ(faceOf(x), "Arial") << x.ch;
    }
}

// ---------------------------------------------------------------- formatting commands

struct FormatCase {
    const char* name;
    const char* script;  // run over "xyz" in the default font
    std::vector<int> heights;
    std::vector<int> weights;
};
class DigitazerFormat : public Digitazer, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(DigitazerFormat, CommandsChangeExactlyTheSelection) {
    const FormatCase& c = GetParam();
    set_ = makeBlock({sym('v', "Arial", 16), sym('w', "Arial", 16), sym('x', "Arial", 16), sym('y', "Arial", 16),
                      sym('z', "Arial", 1)});
    ASSERT_EQ(run(c.script), -1);
    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), c.heights.size());
    for (size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(e[i].font.lfHeight, c.heights[i]) << "entry " << i;
        EXPECT_EQ(e[i].font.lfWeight, c.weights[i]) << "entry " << i;
    }
}

constexpr int N = FW_NORMAL, B = FW_BOLD;
INSTANTIATE_TEST_SUITE_P(
    Commands, DigitazerFormat,
    ::testing::Values(
        // 12 points (16 px) + 1 = 13 points: 17 px.
        FormatCase{"IncrementThreeSelected", R"([{"select": [1, 4]}, {"click": "SpeedButton1"}, {"click": "Ok"}])",
                   {16, 17, 17, 17, 1}, {N, N, N, N, N}},
        FormatCase{"DecrementThreeSelected", R"([{"select": [1, 4]}, {"click": "SpeedButton2"}, {"click": "Ok"}])",
                   {16, 14, 14, 14, 1}, {N, N, N, N, N}},
        // 1 point up is 2 points (2 px); 1 point down is 0, which the text refuses.
        FormatCase{"IncrementOnePoint", R"([{"select": [4, 5]}, {"click": "SpeedButton1"}, {"click": "Ok"}])",
                   {16, 16, 16, 16, 2}, {N, N, N, N, N}},
        FormatCase{"DecrementOnePoint", R"([{"select": [4, 5]}, {"click": "SpeedButton2"}, {"click": "Ok"}])",
                   {16, 16, 16, 16, 1}, {N, N, N, N, N}},
        FormatCase{"IncrementWithoutSelectionIsTheWholeText",
                   R"([{"select": [2, 2]}, {"click": "SpeedButton1"}, {"click": "Ok"}])", {17, 17, 17, 17, 2},
                   {N, N, N, N, N}},
        FormatCase{"BoldOnTwo", R"([{"select": [1, 3]}, {"click": "Bold"}, {"click": "Ok"}])", {16, 16, 16, 16, 1},
                   {N, B, B, N, N}},
        FormatCase{"BoldTwiceIsOffAgain", R"([{"select": [1, 3]}, {"click": "Bold"}, {"click": "Bold"}, {"click": "Ok"}])",
                   {16, 16, 16, 16, 1}, {N, N, N, N, N}},
        // 24 points: 32 px; 300 is ignored.
        FormatCase{"SizeBoxOnExit",
                   R"([{"select": [0, 2]}, {"set": "FontSize", "text": "24"}, {"exit": "FontSize"}, {"click": "Ok"}])",
                   {32, 32, 16, 16, 1}, {N, N, N, N, N}},
        FormatCase{"SizeBoxIgnores300",
                   R"([{"select": [0, 2]}, {"set": "FontSize", "text": "300"}, {"exit": "FontSize"}, {"click": "Ok"}])",
                   {16, 16, 16, 16, 1}, {N, N, N, N, N}},
        // The box follows the selection (12), the arrow shows and applies 13.
        FormatCase{"UpArrowAppliesTheNextSize", R"([{"select": [0, 1]}, {"up": "UpDown1"}, {"click": "Ok"}])",
                   {17, 16, 16, 16, 1}, {N, N, N, N, N}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Digitazer, SizeButtonsSetTheSelectionBack) {
    set_ = makeBlock({sym('v', "Arial", 16), sym('w', "Arial", 16), sym('x', "Arial", 16), sym('y', "Arial", 16)});
    // Typing replaces the selection, so it shows which one the button left.
    ASSERT_EQ(run(R"([{"select": [1, 3]}, {"click": "SpeedButton1"}, {"type": "Q"}, {"click": "Ok"}])"), -1);
    EXPECT_EQ(charsOf(set_), "vQy");
}

TEST_F(Digitazer, ToolButtonsFollowTheSelection) {
    // Bold under the caret is down, so a click takes bold off the selection.
    set_ = makeBlock({sym('a', "Arial", 16, true), sym('b', "Arial", 16, true)});
    ASSERT_EQ(run(R"([{"select": [0, 1]}, {"click": "Bold"}, {"click": "Ok"}])"), -1);
    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].font.lfWeight, FW_NORMAL);
    EXPECT_EQ(e[1].font.lfWeight, FW_BOLD);
}

// ---------------------------------------------------------------- when the caller keeps its set

TEST_F(Digitazer, EmptyTextWarnsAndGivesTheCallersBlockBack) {
    set_ = makeBlock({});
    SymbolSet* const original = set_;
    EXPECT_EQ(run(R"([{"click": "Ok"}])"), -1);  // the dialog still closes with Ok
    EXPECT_EQ(set_, original);
    EXPECT_EQ(countOf(set_), 0);
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].text, "length of text must be more 2");
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Error");
    EXPECT_EQ(ZolMessageBoxes()[0].type & 0xF0, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(Digitazer, OpeningAnEmptySetThenOkKeepsTheLoadedSymbols) {
    const fs::path empty = fs::temp_directory_path() / ("zoldigi_empty_" + std::to_string(getpid()) + ".rtf");
    std::ofstream(empty) << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\plain\\f0\\fs20 }";
    set_ = makeBlock(threeSymbols());
    SymbolSet* const original = set_;
    EXPECT_EQ(run(R"([{"click": "Open"}, {"answer": {"file": ")" + empty.string() + R"("}}, {"click": "Ok"}])"),
              -1);
    fs::remove(empty);
    EXPECT_EQ(set_, original);
    EXPECT_EQ(charsOf(set_), "Ab7");
    ASSERT_EQ(ZolMessageBoxes().size(), 1u);
    EXPECT_EQ(ZolMessageBoxes()[0].text, "length of text must be more 2");
}

struct KeepCase {
    const char* name;
    bool null;
    const char* script;
};
class DigitazerKeep : public Digitazer, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(DigitazerKeep, WithoutOkTheCallersBlockComesBackUntouched) {
    const KeepCase& c = GetParam();
    if (!c.null) set_ = makeBlock(threeSymbols());
    SymbolSet* const original = set_;
    std::vector<uint8_t> before;
    if (set_) {
        const auto* b = reinterpret_cast<const uint8_t*>(set_);
        before.assign(b, b + SymbolSetBytes(3));
    }
    EXPECT_EQ(run(c.script), 0);
    EXPECT_EQ(set_, original);
    if (set_) {
        const auto* b = reinterpret_cast<const uint8_t*>(set_);
        EXPECT_EQ(std::vector<uint8_t>(b, b + SymbolSetBytes(3)), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exits, DigitazerKeep,
    ::testing::Values(KeepCase{"Cancel", false, R"([{"type": "xyz"}, {"click": "Cancel"}])"},
                      KeepCase{"CloseButton", false, R"([{"click": "AddABC"}])"},
                      KeepCase{"CancelOnNull", true, R"([{"type": "xyz"}, {"click": "Cancel"}])"},
                      KeepCase{"CloseOnNull", true, R"([])"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Digitazer, ANegativeCountIsAnEmptySet) {
    set_ = makeBlock({}, -5);
    SymbolSet* const original = set_;
    ASSERT_EQ(run(R"([{"type": "ab"}, {"click": "Ok"}])"), -1);
    EXPECT_NE(set_, original);
    EXPECT_EQ(charsOf(set_), "ab");
}

TEST_F(Digitazer, ANullReferenceIsRefused) {
    int32_t rc = 99;
    TScriptResult r = RunScript(R"([])", [&] { rc = edit_(nullptr, nullptr); });
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(rc, 0);
}

// ---------------------------------------------------------------- files, help, resources

TEST_F(Digitazer, SavedSetOpensAgainWithItsFonts) {
    const fs::path file = fs::temp_directory_path() / ("zoldigi_set_" + std::to_string(getpid()) + ".rtf");
    set_ = makeBlock(threeSymbols());
    ASSERT_EQ(run(R"([{"click": "Save"}, {"answer": {"file": ")" + file.string() + R"("}}, {"click": "Cancel"}])"),
              0);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_TRUE(VirtualFree(set_, 0, MEM_RELEASE));
    set_ = nullptr;

    ASSERT_EQ(run(R"([{"click": "Open"}, {"answer": {"file": ")" + file.string() + R"("}}, {"click": "Ok"}])"), -1);
    fs::remove(file);
    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(charsOf(set_), "Ab7");
    EXPECT_EQ(e[0].font.lfWeight, FW_BOLD);
    EXPECT_EQ(e[1].font.lfHeight, 20);
    EXPECT_EQ(faceOf(e[2]), "Courier New");
}

TEST_F(Digitazer, FileDialogsStartWithRtfAndNoFilter) {
    TScript s;
    ASSERT_TRUE(s.Parse(R"([{"click": "Open"}, {"click": "Save"}, {"click": "Cancel"}])").ok);
    TScriptRun run(std::move(s));
    EXPECT_EQ(edit_(nullptr, &set_), 0);
    ASSERT_TRUE(run.Result().ok) << run.Result().message;
    const auto& d = run.Driver().Dialogs();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].kind, "open");
    EXPECT_EQ(d[1].kind, "save");
    for (const TDialogRecord& r : d) {
        EXPECT_EQ(r.text, "*.rtf");
        EXPECT_EQ(r.filter, "");
    }
}

TEST_F(Digitazer, HelpOpensTheDocumentBesideTheLibrary) {
    ZolSetShellRecordOnly(true);
    EXPECT_EQ(run(R"([{"click": "Help"}, {"click": "Cancel"}])"), 0);
    ZolSetShellRecordOnly(false);
    ASSERT_EQ(ZolShellCalls().size(), 1u);
    EXPECT_EQ(ZolShellCalls()[0].operation, "open");
    EXPECT_EQ(fs::path(ZolShellCalls()[0].file), fs::path(ZOL_PLUGIN_DIR) / "Quillarine.pdf");
    EXPECT_EQ(ZolShellCalls()[0].show, SW_SHOWNORMAL);
}

TEST_F(Digitazer, TheAboutButtonIsHidden) {
    TScriptResult r = RunScript(R"([{"click": "About"}])", [&] { edit_(nullptr, &set_); });
    EXPECT_FALSE(r.ok);
}

TEST_F(Digitazer, ADialogRunLeavesNoGraphicsObjects) {
    set_ = makeBlock(threeSymbols());
    run(R"([{"click": "Cancel"}])");  // the first run builds the face list
    const DWORD before = ZolGdiLiveObjects();
    run(R"([{"select": [0, 2]}, {"click": "Bold"}, {"click": "SpeedButton1"}, {"click": "AddABC"}, {"click": "Ok"}])");
    EXPECT_EQ(ZolGdiLiveObjects(), before);
}

// What a user sees of the dialog: read off the form the library shows,
// then closed as its close button would.
class InspectingDriver : public TFormDriver {
public:
    void RunModal(TForm& form) override {
        seen = true;
        caption = form.Caption;
        clientWidth = form.ClientWidth;
        clientHeight = form.ClientHeight;
        border = form.BorderStyle;
        for (const char* name : {"RichEdit1", "Open", "Save", "Bold", "Italic", "Underline", "Strik",
                                 "ComboBoxPrimaryFont", "ComboBoxCharset", "FontSize", "UpDown1", "SpeedButton1",
                                 "SpeedButton2", "Ok", "Cancel", "Help", "About", "PopupMenu1", "Add123", "AddABC",
                                 "AddABCD", "OpenDialog1", "SaveDialog1", "ImageList1", "ImageListFonts"})
            if (!form.FindComponent(name)) missing.push_back(name);
        auto control = [&](const char* name) { return dynamic_cast<TControl*>(form.FindComponent(name)); };
        for (const char* name : {"Open", "Save", "Bold", "Italic", "Underline", "Strik", "SpeedButton1", "SpeedButton2"})
            if (TControl* c = control(name)) hints.push_back(c->Hint);
        for (TComponent* c : form.Components())
            if (auto* l = dynamic_cast<TLabel*>(c)) labels.push_back(l->Caption);
            else if (auto* g = dynamic_cast<TGroupBox*>(c)) group = g->Caption;
        if (auto* m = dynamic_cast<TPopupMenu*>(form.FindComponent("PopupMenu1")))
            for (TMenuItem* i : m->Items()) menu.push_back(i->Caption);
        if (auto* r = dynamic_cast<TRichEdit*>(form.FindComponent("RichEdit1"))) {
            popupIsMenu = r->PopupMenu == form.FindComponent("PopupMenu1");
            CHARFORMATA cf = r->DefAttributes().Format();
            defaultFace = cf.szFaceName;
            defaultTwips = cf.yHeight;
        }
        if (auto* e = dynamic_cast<TEdit*>(form.FindComponent("FontSize"))) sizeText = e->Text();
        if (auto* u = dynamic_cast<TUpDown*>(form.FindComponent("UpDown1"))) {
            upMin = u->Min;
            upMax = u->Max;
            upWrap = u->Wrap;
        }
        if (auto* b = dynamic_cast<TButton*>(form.FindComponent("Ok"))) okDefault = b->Default && b->ModalResult == mrOk;
        if (auto* b = dynamic_cast<TButton*>(form.FindComponent("Cancel")))
            cancelEscape = b->Cancel && b->ModalResult == mrCancel;
        if (TControl* a = control("About")) aboutHidden = !a->Visible;
        if (auto* f = dynamic_cast<TComboBox*>(form.FindComponent("ComboBoxPrimaryFont"))) {
            faceWidth = f->Width;
            faces = f->Items.size();
            faceSelected = f->ItemIndex();
        }
        if (TControl* c = control("ComboBoxCharset")) scriptWidth = c->Width;
        if (auto* i = dynamic_cast<TImageList*>(form.FindComponent("ImageList1"))) tools = i->Count();
        if (auto* i = dynamic_cast<TImageList*>(form.FindComponent("ImageListFonts"))) facePictures = i->Count();
        form.SetModalResult(mrCancel);
        form.TryEndModal();
    }
    bool seen = false;
    std::string caption, group, defaultFace, sizeText;
    int clientWidth = 0, clientHeight = 0, upMin = -1, upMax = -1, faceWidth = 0, scriptWidth = 0, tools = 0,
        facePictures = 0, faceSelected = -2;
    LONG defaultTwips = 0;
    size_t faces = 0;
    TFormBorderStyle border = bsSizeable;
    bool upWrap = true, okDefault = false, cancelEscape = false, aboutHidden = false, popupIsMenu = false;
    std::vector<std::string> missing, hints, labels, menu;
};

TEST_F(Digitazer, TheDialogHasItsControlsAndTexts) {
    InspectingDriver driver;
    TFormDriver* previous = SetDriver(&driver);
    EXPECT_EQ(edit_(nullptr, &set_), 0);
    SetDriver(previous);
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(driver.caption, "Quendrasil Digitalizer");
    EXPECT_EQ(driver.clientWidth, 592);
    EXPECT_EQ(driver.clientHeight, 236);
    EXPECT_EQ(driver.border, bsDialog);
    EXPECT_TRUE(driver.missing.empty()) << driver.missing.front();
    EXPECT_EQ(driver.hints, (std::vector<std::string>{"Open Set", "Save Set", "Bold", "Italic", "Underline",
                                                      "StrikeOut", "Inrement All Fonts Size",
                                                      "Decriment All Fonts Size"}));
    EXPECT_EQ(driver.labels, (std::vector<std::string>{" Font Name", " Script", " Font Size"}));
    EXPECT_EQ(driver.group, "Using simbols");
    EXPECT_EQ(driver.menu, (std::vector<std::string>{"Add 0,1,...,9", "Add a,b,...,z", "Add A,B,...,Z"}));
    EXPECT_TRUE(driver.popupIsMenu);
    EXPECT_EQ(driver.defaultFace, "Arial");
    EXPECT_EQ(driver.defaultTwips, 200);
    EXPECT_EQ(driver.sizeText, "0");
    EXPECT_EQ(driver.upMin, 0);
    EXPECT_EQ(driver.upMax, 100);
    EXPECT_FALSE(driver.upWrap);
    EXPECT_TRUE(driver.okDefault);
    EXPECT_TRUE(driver.cancelEscape);
    EXPECT_TRUE(driver.aboutHidden);
    EXPECT_EQ(driver.faceWidth, 149);
    EXPECT_EQ(driver.scriptWidth, 113);
    EXPECT_GT(driver.faces, 0u);
    EXPECT_EQ(driver.faceSelected, 0);
    EXPECT_EQ(driver.tools, 6);
    EXPECT_EQ(driver.facePictures, 4);
}

TEST_F(Digitazer, FaceAndScriptBoxesApplyToTheSelection) {
    set_ = makeBlock({sym('a', "Arial", 16), sym('b', "Arial", 16)});
    ASSERT_EQ(run(R"([{"select": [0, 1]}, {"choose": "ComboBoxPrimaryFont", "item": "DejaVu Serif"},
                      {"choose": "ComboBoxCharset", "item": "Cyrillic"}, {"click": "Ok"}])"),
              -1);
    std::vector<Entry> e = entriesOf(set_);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(faceOf(e[0]), "DejaVu Serif");
    EXPECT_EQ(e[0].font.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(faceOf(e[1]), "Arial");
    EXPECT_EQ(e[1].font.lfCharSet, ANSI_CHARSET);
}

// ---------------------------------------------------------------- about window

TEST(AboutForm, CloseButtonEndsItWithOk) {
    const DWORD before = ZolGdiLiveObjects();
    {
        TScript s;
        ASSERT_TRUE(s.Parse(R"([{"click": "BtnClose"}])").ok);
        TScriptRun run(std::move(s));
        auto form = CreateForm<zol::TAboutFrm>(Application());
        EXPECT_EQ(form->Caption, "About");
        EXPECT_EQ(form->Width, 370);
        EXPECT_EQ(form->Height, 490);
        EXPECT_EQ(form->BtnClose->Caption, "Close");
        EXPECT_TRUE(form->BtnClose->Default);
        EXPECT_TRUE(form->BtnClose->Cancel);
        EXPECT_EQ(form->Picture->Count(), 1);
        EXPECT_EQ(form->ShowModal(), mrOk);
        EXPECT_TRUE(run.Result().ok) << run.Result().message;
    }
    EXPECT_EQ(ZolGdiLiveObjects(), before);
}

TEST(AboutForm, ShowAboutFormRunsModallyAndFreesIt) {
    TScriptResult r = RunScript(R"([{"click": "BtnClose"}])", [] { zol::ShowAboutForm(); });
    EXPECT_TRUE(r.ok) << r.message;
}

}  // namespace
