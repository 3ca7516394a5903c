// The rich-text control through its window messages, measured with the
// graphics services' fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"

namespace {

class Control : public ::testing::Test {
protected:
    void SetUp() override {
        w_ = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(w_, nullptr);
    }
    void TearDown() override { DestroyWindow(w_); }

    LRESULT send(UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(w_, m, wp, lp); }
    void setText(const char* t) { send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t)); }
    std::string text() {
        std::string s(static_cast<size_t>(send(WM_GETTEXTLENGTH)) + 1, '\0');
        s.resize(static_cast<size_t>(send(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()))));
        return s;
    }
    void select(LONG a, LONG b) {
        CHARRANGE r{a, b};
        send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    }
    std::string selText() {
        char buf[256];
        std::memset(buf, 'x', sizeof buf);
        send(EM_GETSELTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    CHARFORMATA format(WPARAM which = SCF_SELECTION, DWORD* mask = nullptr) {
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        LRESULT m = send(EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
        if (mask) *mask = static_cast<DWORD>(m);
        return cf;
    }
    void setFormat(WPARAM which, DWORD mask, DWORD effects, LONG height = 0, COLORREF colour = 0,
                   const char* face = nullptr) {
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        cf.dwMask = mask;
        cf.dwEffects = effects;
        cf.yHeight = height;
        cf.crTextColor = colour;
        if (face) std::strcpy(cf.szFaceName, face);
        EXPECT_EQ(send(EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf)), 1);
    }
    std::string line(int i) {
        char buf[128] = {};
        WORD cap = sizeof buf - 1;
        std::memcpy(buf, &cap, sizeof cap);
        LRESULT n = send(EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        return std::string(buf, static_cast<size_t>(n));
    }
    std::string streamOut(WPARAM flags) {
        std::string out;
        EDITSTREAM es{reinterpret_cast<UINT_PTR>(&out), 0, [](UINT_PTR c, BYTE* b, LONG n, LONG* done) -> DWORD {
                          reinterpret_cast<std::string*>(c)->append(reinterpret_cast<char*>(b), static_cast<size_t>(n));
                          *done = n;
                          return 0;
                      }};
        send(EM_STREAMOUT, flags, reinterpret_cast<LPARAM>(&es));
        return out;
    }
    struct Source {
        std::string data;
        size_t at = 0;
        DWORD failAfter = 0;  // fail on this call (1-based), 0 never
        DWORD calls = 0;
    };
    DWORD streamIn(WPARAM flags, Source& src) {
        EDITSTREAM es{reinterpret_cast<UINT_PTR>(&src), 0, [](UINT_PTR c, BYTE* b, LONG n, LONG* done) -> DWORD {
                          auto* s = reinterpret_cast<Source*>(c);
                          if (++s->calls == s->failAfter) return 77;
                          // Small pieces, so the control must join them.
                          size_t k = std::min<size_t>({static_cast<size_t>(n), s->data.size() - s->at, 7});
                          std::memcpy(b, s->data.data() + s->at, k);
                          s->at += k;
                          *done = static_cast<LONG>(k);
                          return 0;
                      }};
        send(EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&es));
        return es.dwError;
    }

    HWND w_ = nullptr;
};

// ---------------------------------------------------------------- positions

TEST_F(Control, OneCharacterAtAParagraphBreakReadsEmpty) {
    setText("ab\r\ncd");
    EXPECT_EQ(send(WM_GETTEXTLENGTH), 6);
    const std::pair<LONG, const char*> cases[] = {{0, "a"}, {1, "b"}, {2, ""}, {3, ""}, {4, "c"}, {5, "d"}, {6, ""}};
    for (auto [pos, expected] : cases) {
        select(pos, pos + 1);
        EXPECT_EQ(selText(), expected) << pos;
    }
    select(1, 5);
    EXPECT_EQ(selText(), "b\r\nc");
    select(0, -1);
    EXPECT_EQ(selText(), "ab\r\ncd");
    DWORD a = 0, b = 0;
    EXPECT_EQ(send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b)), 0 | (6 << 16));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 6u);
}

TEST_F(Control, SelectedTextRespectsTheBufferSize) {
    setText("abcdef");
    select(0, 6);
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(send(EM_GETSELTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_STREQ(buf, "abc");
    char small[8] = {};
    EXPECT_EQ(send(WM_GETTEXT, 3, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
}

TEST_F(Control, LinesAtZeroWidthBreakEveryCharacter) {
    MoveWindow(w_, 0, 0, 0, 100, FALSE);
    setText("ab c\r\nd");
    ASSERT_EQ(send(EM_GETLINECOUNT), 4);
    EXPECT_EQ(line(0), "a");
    EXPECT_EQ(line(1), "b ");
    EXPECT_EQ(line(2), "c");
    EXPECT_EQ(line(3), "d");
    const LRESULT starts[] = {0, 1, 3, 6};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(send(EM_LINEINDEX, static_cast<WPARAM>(i)), starts[i]) << i;
    EXPECT_EQ(send(EM_LINEINDEX, 4), -1);
    EXPECT_EQ(send(EM_LINELENGTH, 1), 2);
    EXPECT_EQ(send(EM_LINELENGTH, 2), 2);
    const std::pair<LPARAM, LRESULT> owner[] = {{0, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 3}, {99, 3}};
    for (auto [pos, ln] : owner) {
        EXPECT_EQ(send(EM_EXLINEFROMCHAR, 0, pos), ln) << pos;
        EXPECT_EQ(send(EM_LINEFROMCHAR, static_cast<WPARAM>(pos)), ln) << pos;
    }
    // Wider again: one line per paragraph.
    MoveWindow(w_, 0, 0, 400, 100, FALSE);
    EXPECT_EQ(send(EM_GETLINECOUNT), 2);
    send(EM_SETWRAP, WRAP_NONE);
    MoveWindow(w_, 0, 0, 0, 100, FALSE);
    EXPECT_EQ(send(EM_GETLINECOUNT), 2);
    EXPECT_EQ(send(EM_GETWRAP), static_cast<LRESULT>(WRAP_NONE));
}

TEST_F(Control, TextRange) {
    setText("one\r\ntwo");
    char buf[16];
    TEXTRANGEA r{{2, 6}, buf, sizeof buf};
    EXPECT_EQ(send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&r)), 4);
    EXPECT_STREQ(buf, "e\r\nt");
    TEXTRANGEA tiny{{0, -1}, buf, 3};
    EXPECT_EQ(send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tiny)), 2);
    EXPECT_STREQ(buf, "on");
}

TEST_F(Control, PositionsAndPointsAgree) {
    MoveWindow(w_, 0, 0, 60, 300, FALSE);
    setText("alpha beta gamma\r\ndelta");
    LRESULT lines = send(EM_GETLINECOUNT);
    ASSERT_GT(lines, 2);
    LONG lastY = -1;
    for (LRESULT l = 0; l < lines; ++l) {
        LRESULT start = send(EM_LINEINDEX, static_cast<WPARAM>(l));
        LRESULT len = send(EM_LINELENGTH, static_cast<WPARAM>(start));
        POINT first{};
        ASSERT_EQ(send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), start), 1);
        EXPECT_GT(first.y, lastY);
        lastY = first.y;
        for (LRESULT p = start; p < start + len; ++p) {
            POINT pt{};
            send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), p);
            EXPECT_EQ(pt.y, first.y);
            POINT inside{pt.x, pt.y + 1};
            EXPECT_EQ(send(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&inside)), p) << p;
        }
    }
    POINT none{};
    EXPECT_EQ(send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&none), 999), 0);
}

TEST_F(Control, TabsMoveToHalfInchStops) {
    setText("a\tb");
    POINT b{};
    send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), 2);
    EXPECT_EQ(b.x, 48);
}

// ---------------------------------------------------------------- editing

TEST_F(Control, ReplaceSelectionTypesInTheFormatOfItsPlace) {
    setText("abc");
    select(1, 2);
    setFormat(SCF_SELECTION, CFM_BOLD, CFE_BOLD);
    select(2, 2);  // after the bold b
    send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("XY\r\nZ"));
    EXPECT_EQ(text(), "abXY\r\nZc");
    CHARRANGE r{};
    send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.cpMin, 7);
    EXPECT_EQ(r.cpMax, 7);
    select(2, 3);
    EXPECT_EQ(format().dwEffects & CFE_BOLD, CFE_BOLD);
    select(6, 7);
    EXPECT_EQ(format().dwEffects & CFE_BOLD, CFE_BOLD);
    select(7, 8);
    EXPECT_EQ(format().dwEffects & CFE_BOLD, 0u);
}

TEST_F(Control, FormatAtAnEmptySelectionAppliesToWhatIsTypedNext) {
    setText("ab");
    select(1, 1);
    setFormat(SCF_SELECTION, CFM_ITALIC | CFM_SIZE, CFE_ITALIC, 480);
    send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("i"));
    select(1, 2);
    CHARFORMATA cf = format();
    EXPECT_EQ(cf.dwEffects, static_cast<DWORD>(CFE_ITALIC));
    EXPECT_EQ(cf.yHeight, 480);
    select(0, 1);
    EXPECT_EQ(format().dwEffects, 0u);
    // Moving the selection drops the pending format.
    select(1, 1);
    setFormat(SCF_SELECTION, CFM_BOLD, CFE_BOLD);
    select(0, 0);
    select(3, 3);
    send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("n"));
    select(3, 4);
    EXPECT_EQ(format().dwEffects, 0u);
}

TEST_F(Control, CharacterFormatMaskTellsWhatIsUniform) {
    setText("abcd");
    select(0, 2);
    setFormat(SCF_SELECTION, CFM_COLOR | CFM_FACE, 0, 0, RGB(1, 2, 3), "Courier New");
    select(0, 4);
    DWORD mask = 0;
    CHARFORMATA cf = format(SCF_SELECTION, &mask);
    EXPECT_EQ(mask & (CFM_COLOR | CFM_FACE), 0u);
    EXPECT_EQ(mask & CFM_SIZE, static_cast<DWORD>(CFM_SIZE));
    EXPECT_EQ(cf.crTextColor, RGB(1, 2, 3));  // values of the first character
    EXPECT_STREQ(cf.szFaceName, "Courier New");
    // Wrong record sizes are refused and leave the record alone.
    CHARFORMATA bad{};
    bad.cbSize = 58;
    bad.yHeight = 7;
    EXPECT_EQ(send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bad)), 0);
    EXPECT_EQ(bad.yHeight, 7);
    EXPECT_EQ(send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bad)), 0);
    EXPECT_EQ(send(EM_SETCHARFORMAT, SCF_SELECTION, 0), 0);
}

TEST_F(Control, DefaultFormatIsForTextThatComesUnformatted) {
    setFormat(SCF_DEFAULT, CFM_ALL, 0, 200, RGB(255, 0, 0), "Arial");
    setText("plain");
    select(0, 1);
    EXPECT_EQ(format().crTextColor, RGB(255, 0, 0));
    setText("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}\\cf1 blue}");
    select(0, 1);
    EXPECT_EQ(format().crTextColor, RGB(0, 0, 255));
    EXPECT_EQ(format().yHeight, 200);
    EXPECT_EQ(format(SCF_DEFAULT).crTextColor, RGB(255, 0, 0));
    // The whole text at once, paragraph marks included.
    setText("a\r\n\r\nb");
    setFormat(SCF_ALL, CFM_SIZE, 0, 600);
    select(3, 3);
    EXPECT_EQ(format().yHeight, 600);
}

TEST_F(Control, SizesAreKeptInHalfPointsWithinBounds) {
    setText("abc");
    const std::pair<LONG, LONG> sizes[] = {{247, 250}, {-40, 20}, {0, 20}, {1 << 30, 32760}};
    for (auto [set, kept] : sizes) {
        select(0, 3);
        setFormat(SCF_SELECTION, CFM_SIZE, 0, set);
        EXPECT_EQ(format().yHeight, kept) << set;
    }
}

TEST_F(Control, ParagraphFormatOfTheSelectedParagraphs) {
    setText("one\r\ntwo\r\nthree");
    select(1, 6);  // one and two
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT;
    pf.wAlignment = PFA_CENTER;
    pf.dxStartIndent = 720;
    EXPECT_EQ(send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)), 1);
    auto get = [&](LONG a, LONG b, DWORD* mask) {
        select(a, b);
        PARAFORMAT r{};
        r.cbSize = sizeof r;
        *mask = static_cast<DWORD>(send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&r)));
        return r;
    };
    DWORD mask = 0;
    EXPECT_EQ(get(5, 5, &mask).wAlignment, PFA_CENTER);
    EXPECT_EQ(get(5, 5, &mask).dxStartIndent, 720);
    EXPECT_EQ(get(10, 10, &mask).wAlignment, PFA_LEFT);
    get(0, 12, &mask);
    EXPECT_EQ(mask & PFM_ALIGNMENT, 0u);
    EXPECT_EQ(mask & PFM_RIGHTINDENT, static_cast<DWORD>(PFM_RIGHTINDENT));
    // A selection ending where "three" starts does not reach into it.
    get(5, 10, &mask);
    EXPECT_EQ(mask & PFM_ALIGNMENT, static_cast<DWORD>(PFM_ALIGNMENT));
    pf.wAlignment = 9;
    EXPECT_EQ(send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)), 0);
}

// ---------------------------------------------------------------- streams

TEST_F(Control, RichTextStreamsOutAndBackTheSame) {
    setText("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\\f0\\fs28\\qc \\b bold\\b0  text\\par\\qr\\i r}");
    std::string rtf = streamOut(SF_RTF);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    HWND other = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    Source src{rtf};
    EDITSTREAM es{reinterpret_cast<UINT_PTR>(&src), 0, [](UINT_PTR c, BYTE* b, LONG n, LONG* done) -> DWORD {
                      auto* s = reinterpret_cast<Source*>(c);
                      size_t k = std::min<size_t>(static_cast<size_t>(n), s->data.size() - s->at);
                      std::memcpy(b, s->data.data() + s->at, k);
                      s->at += k;
                      *done = static_cast<LONG>(k);
                      return 0;
                  }};
    EXPECT_EQ(SendMessageA(other, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es)), 12);
    std::string again;
    EDITSTREAM out{reinterpret_cast<UINT_PTR>(&again), 0, [](UINT_PTR c, BYTE* b, LONG n, LONG* done) -> DWORD {
                       reinterpret_cast<std::string*>(c)->append(reinterpret_cast<char*>(b), static_cast<size_t>(n));
                       *done = n;
                       return 0;
                   }};
    SendMessageA(other, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&out));
    EXPECT_EQ(again, rtf);
    DestroyWindow(other);
    EXPECT_EQ(streamOut(SF_TEXT), "bold text\r\nr");
}

TEST_F(Control, FailedStreamKeepsTheText) {
    setText("kept");
    Source src{"{\\rtf1 replaced and more and more}"};
    src.failAfter = 3;
    EXPECT_EQ(streamIn(SF_RTF, src), 77u);
    EXPECT_EQ(text(), "kept");
    Source ok{"{\\rtf1 new\\par text}"};
    EXPECT_EQ(streamIn(SF_RTF, ok), 0u);
    EXPECT_EQ(text(), "new\r\ntext");
    Source plain{"x\ny"};
    EXPECT_EQ(streamIn(SF_TEXT, plain), 0u);
    EXPECT_EQ(text(), "x\r\ny");
    // Data without the header streamed as rich text is plain text.
    Source bare{"{\\b not rtf}"};
    streamIn(SF_RTF, bare);
    EXPECT_EQ(text(), "{\\b not rtf}");
}

TEST_F(Control, StreamsOfTheSelection) {
    setText("abcdef");
    select(2, 4);
    EXPECT_EQ(streamOut(SF_TEXT | SFF_SELECTION), "cd");
    Source src{"{\\rtf1 XY}"};
    streamIn(SF_RTF | SFF_SELECTION, src);
    EXPECT_EQ(text(), "abXYef");
}

// ---------------------------------------------------------------- clipboard

TEST_F(Control, CopyCutAndPasteKeepFormats) {
    ZolClipboardClear();
    setText("hello world");
    select(0, 5);
    setFormat(SCF_SELECTION, CFM_BOLD, CFE_BOLD);
    send(WM_COPY);
    char buf[32];
    EXPECT_EQ(ZolClipboardGetText(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_GT(ZolClipboardGetRichText(nullptr, 0), 5u);
    select(11, 11);
    send(WM_PASTE);
    EXPECT_EQ(text(), "hello worldhello");
    select(12, 13);
    EXPECT_EQ(format().dwEffects & CFE_BOLD, CFE_BOLD);
    select(5, 11);
    send(WM_CUT);
    EXPECT_EQ(text(), "hellohello");
    ZolClipboardGetText(buf, sizeof buf);
    EXPECT_STREQ(buf, " world");
    ZolClipboardSetText("plain\r\nlines");
    select(0, 0);
    send(WM_PASTE);
    EXPECT_EQ(text(), "plain\r\nlineshellohello");
    // An empty selection copies nothing.
    select(3, 3);
    send(WM_COPY);
    ZolClipboardGetText(buf, sizeof buf);
    EXPECT_STREQ(buf, "plain\r\nlines");
}

// ---------------------------------------------------------------- notification

struct Seen {
    std::vector<HWND> from;
};
Seen g_seen;

LRESULT ownerProc(HWND, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && HIWORD(wp) == EN_SELCHANGE && LOWORD(wp) == 42)
        g_seen.from.push_back(reinterpret_cast<HWND>(lp));
    return 0;
}

TEST(ControlOwner, SelectionChangesNotifyTheOwnerWhenAsked) {
    ASSERT_TRUE(ZolRegisterWindowClass("RichOwnerTest", ownerProc));
    HWND owner = CreateWindowExA(0, "RichOwnerTest", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 100, 100, owner,
                                reinterpret_cast<void*>(static_cast<intptr_t>(42)), nullptr, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
    g_seen.from.clear();
    CHARRANGE r{1, 2};
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_TRUE(g_seen.from.empty());
    EXPECT_EQ(SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_SELCHANGE), 0);
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));  // unchanged: no news
    EXPECT_TRUE(g_seen.from.empty());
    r = {0, 3};
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("x"));
    ASSERT_EQ(g_seen.from.size(), 2u);
    EXPECT_EQ(g_seen.from[0], edit);
    DestroyWindow(edit);
    DestroyWindow(owner);
}

TEST(ControlWindow, DestroyedControlAnswersNothing) {
    HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
    DestroyWindow(edit);
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 0);
}

}  // namespace
