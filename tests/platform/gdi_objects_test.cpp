// Device contexts and objects: handles, selection, deletion, leaks, bitmaps,
// pixels, fills, block copies and the pictures carried by a module.
#include <cstdint>
#include <functional>

#include "gdi_support.h"

using namespace gditest;

namespace {

HBRUSH whiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

template <class H>
H forged(uintptr_t v) {
    return reinterpret_cast<H>(v);
}

// ---------------------------------------------------------------- handles

TEST(Handles, AreSmallIntegersOfTheHandleTables) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    Font font("Arial", -12);
    const void* all[] = {screen, dc, bm, brush, pen, font.get()};
    for (const void* h : all) {
        ASSERT_NE(h, nullptr);
        EXPECT_LE(reinterpret_cast<uintptr_t>(h), 0xFFFFFFFFu);
        EXPECT_NE(ZolHandleGet(ZolKind_Gdi, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h))), nullptr);
    }
    EXPECT_EQ(GetObjectType(screen), OBJ_DC);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    EXPECT_EQ(GetObjectType(bm), OBJ_BITMAP);
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    EXPECT_EQ(GetObjectType(font.get()), OBJ_FONT);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bm));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

// Every call given a handle that is null, forged, released or of the
// wrong kind refuses it and touches nothing.
struct RefusalCase {
    const char* what;
    std::function<bool(HDC dead, HGDIOBJ deadObject, HDC liveDC)> refused;
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, BadHandlesAreRefused) {
    HDC dead = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(dead));
    HGDIOBJ deadObject = CreateSolidBrush(0);
    ASSERT_TRUE(DeleteObject(deadObject));
    Surface live(4, 4);
    DWORD before = ZolGdiLiveObjects();
    EXPECT_TRUE(GetParam().refused(dead, deadObject, live.dc())) << GetParam().what;
    EXPECT_EQ(ZolGdiLiveObjects(), before);
    EXPECT_EQ(GetPixel(live.dc(), 0, 0), RGB(255, 255, 255));
}

const RefusalCase kRefusals[] = {
    {"null DC", [](HDC, HGDIOBJ, HDC) {
         SIZE s;
         TEXTMETRICA tm;
         return !GetTextExtentPoint32A(nullptr, "a", 1, &s) && !GetTextMetricsA(nullptr, &tm) &&
                !TextOutA(nullptr, 0, 0, "a", 1) && GetPixel(nullptr, 0, 0) == CLR_INVALID &&
                !BeginPath(nullptr) && GetPath(nullptr, nullptr, nullptr, 0) == -1 &&
                !StrokeAndFillPath(nullptr) && GetDeviceCaps(nullptr, LOGPIXELSY) == 0 &&
                CreateCompatibleBitmap(nullptr, 4, 4) == nullptr && !DeleteDC(nullptr) &&
                ReleaseDC(nullptr, nullptr) == 0 && SelectObject(nullptr, GetStockObject(BLACK_PEN)) == nullptr;
     }},
    {"deleted DC", [](HDC dead, HGDIOBJ, HDC) {
         RECT r{0, 0, 1, 1};
         return !DeleteDC(dead) && SelectObject(dead, GetStockObject(BLACK_BRUSH)) == nullptr &&
                FillRect(dead, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) == 0 &&
                !MoveToEx(dead, 0, 0, nullptr) && CreateCompatibleDC(dead) == nullptr &&
                SetPixel(dead, 0, 0, 0) == CLR_INVALID;
     }},
    {"forged handles", [](HDC, HGDIOBJ, HDC live) {
         RECT r{0, 0, 4, 4};
         return SelectObject(live, forged<HGDIOBJ>(0x12345)) == nullptr &&
                FillRect(live, &r, forged<HBRUSH>(0x7FFFFFFF)) == 0 && !DeleteObject(forged<HGDIOBJ>(1)) &&
                !DeleteDC(forged<HDC>(0xFFFFFFFFu)) && GetObjectType(forged<void*>(0x100000000ull)) == 0 &&
                !TextOutA(forged<HDC>(3), 0, 0, "a", 1);
     }},
    {"deleted object", [](HDC, HGDIOBJ deadObject, HDC live) {
         RECT r{0, 0, 4, 4};
         return SelectObject(live, deadObject) == nullptr && !DeleteObject(deadObject) &&
                FillRect(live, &r, static_cast<HBRUSH>(deadObject)) == 0 && GetObjectType(deadObject) == 0;
     }},
    {"objects of the wrong kind", [](HDC dead, HGDIOBJ, HDC live) {
         RECT r{0, 0, 4, 4};
         HGDIOBJ pen = GetStockObject(BLACK_PEN);
         HDC other = CreateCompatibleDC(nullptr);
         bool ok = FillRect(live, &r, static_cast<HBRUSH>(pen)) == 0 &&
                   SelectObject(live, reinterpret_cast<HGDIOBJ>(other)) == nullptr &&
                   !DeleteObject(reinterpret_cast<HGDIOBJ>(other)) && !DeleteDC(reinterpret_cast<HDC>(pen)) &&
                   !ZolGetBitmapBits(static_cast<HBITMAP>(pen), nullptr);
         DeleteDC(other);
         return ok;
     }},
    {"bad arguments", [](HDC, HGDIOBJ, HDC live) {
         SIZE s;
         return !GetTextExtentPoint32A(live, nullptr, 3, &s) && !GetTextExtentPoint32A(live, "abc", -1, &s) &&
                !GetTextExtentPoint32A(live, "abc", 3, nullptr) && !TextOutA(live, 0, 0, nullptr, 2) &&
                FillRect(live, nullptr, whiteBrush()) == 0 && GetStockObject(-1) == nullptr &&
                GetStockObject(1000) == nullptr && CreatePen(77, 1, 0) == nullptr &&
                GetDeviceCaps(live, 12345) == 0 && SetBkMode(live, 9) == 0 &&
                !BitBlt(live, 0, 0, 1, 1, live, 0, 0, 0xDEAD) && !BitBlt(live, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY);
     }},
};

INSTANTIATE_TEST_SUITE_P(All, Refusals, ::testing::ValuesIn(kRefusals));

// ---------------------------------------------------------------- selection

TEST(Selection, ReturnsThePreviousObjectOfTheSameKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ first = SelectObject(dc, red);
    EXPECT_EQ(first, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, first), static_cast<HGDIOBJ>(red));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    Font f("Arial", -10);
    HGDIOBJ oldFont = SelectObject(dc, f.get());
    EXPECT_EQ(GetObjectType(oldFont), OBJ_FONT);
    EXPECT_EQ(SelectObject(dc, oldFont), static_cast<HGDIOBJ>(f.get()));
    EXPECT_TRUE(DeleteObject(red));
    DeleteDC(dc);
}

TEST(Selection, BitmapDepthFollowsTheDC) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    // A fresh memory DC holds a one-bit bitmap, so its compatible bitmaps are
    // one bit deep; the screen's are 32 bits.
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    HBITMAP mono = CreateCompatibleBitmap(dc, 10, 3);
    HBITMAP colour = CreateCompatibleBitmap(screen, 10, 3);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidth, 10);
    ASSERT_EQ(GetObjectA(colour, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    HGDIOBJ old = SelectObject(dc, colour);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 10);
    HBITMAP second = CreateCompatibleBitmap(dc, 2, 2);
    ASSERT_EQ(GetObjectA(second, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    SelectObject(dc, old);
    for (HBITMAP b : {mono, colour, second}) EXPECT_TRUE(DeleteObject(b));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(Selection, ABitmapDrawsIntoOneMemoryDCAtATime) {
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen), b = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ oldA = SelectObject(a, bm);
    ASSERT_NE(oldA, nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_EQ(SelectObject(screen, bm), nullptr);
    SelectObject(a, oldA);
    HGDIOBJ oldB = SelectObject(b, bm);
    EXPECT_NE(oldB, nullptr);
    SelectObject(b, oldB);
    DeleteObject(bm);
    DeleteDC(a);
    DeleteDC(b);
    ReleaseDC(nullptr, screen);
}

TEST(Selection, AnObjectDeletedWhileSelectedLivesUntilItIsLetGo) {
    Font warm("Arial", -10);  // the font caches are meant to stay
    DWORD before = ZolGdiLiveObjects();
    uint32_t handles = ZolHandleCount(ZolKind_Gdi);
    {
        Surface s(8, 8);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(s.dc(), red);
        EXPECT_TRUE(DeleteObject(red));
        // The handle is gone at once...
        EXPECT_EQ(GetObjectType(red), 0u);
        EXPECT_EQ(SelectObject(s.dc(), red), nullptr);
        // ...but the DC still paints with the brush.
        BeginPath(s.dc());
        MoveToEx(s.dc(), 0, 0, nullptr);
        LineTo(s.dc(), 4, 0);
        LineTo(s.dc(), 4, 4);
        LineTo(s.dc(), 0, 4);
        CloseFigure(s.dc());
        EndPath(s.dc());
        ASSERT_TRUE(FillPath(s.dc()));
        EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(255, 0, 0));
        SelectObject(s.dc(), old);
    }
    EXPECT_EQ(ZolGdiLiveObjects(), before);
    EXPECT_EQ(ZolHandleCount(ZolKind_Gdi), handles);
}

TEST(Selection, StockObjectsSurviveDeletion) {
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(GetObjectType(white), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
    Surface s(2, 2);
    EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(255, 255, 255));
}

// ---------------------------------------------------------------- leaks

TEST(Leaks, ThousandsOfObjectsComeAndGoWithNothingLeft) {
    // Warm the caches first: they are meant to stay.
    { Surface s(8, 8); Font f("Arial", -14); s.use(f); TextOutA(s.dc(), 0, 0, "x", 1); }
    const DWORD objects = ZolGdiLiveObjects();
    const uint32_t handles = ZolHandleCount(ZolKind_Gdi);
    for (int i = 0; i < 3000; ++i) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bm = CreateCompatibleBitmap(i % 2 ? screen : dc, 16 + i % 7, 16);
        LOGFONTA lf = logFont(i % 3 ? "Arial" : "Times New Roman", -(8 + i % 40), i % 2 ? FW_BOLD : FW_NORMAL);
        HFONT font = CreateFontIndirectA(&lf);
        HBRUSH brush = CreateSolidBrush(RGB(i & 255, 0, 0));
        HPEN pen = CreatePen(PS_SOLID, 1 + i % 3, 0);
        ASSERT_TRUE(screen && dc && bm && font && brush && pen) << i;
        HGDIOBJ ob = SelectObject(dc, bm), of = SelectObject(dc, font), obr = SelectObject(dc, brush),
                op = SelectObject(dc, pen);
        char c = static_cast<char>('A' + i % 26);
        TextOutA(dc, 0, 0, &c, 1);
        BeginPath(dc);
        MoveToEx(dc, 0, 0, nullptr);
        TextOutA(dc, 0, 0, &c, 1);
        EndPath(dc);
        StrokeAndFillPath(dc);
        if (i % 5 == 0) {
            // Released in the wrong order: deleted while selected, freed
            // with the DC.
            DeleteObject(font);
            DeleteObject(bm);
            DeleteDC(dc);
        } else {
            SelectObject(dc, ob);
            SelectObject(dc, of);
            SelectObject(dc, obr);
            SelectObject(dc, op);
            DeleteObject(bm);
            DeleteObject(font);
            DeleteDC(dc);
        }
        DeleteObject(brush);
        DeleteObject(pen);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(ZolGdiLiveObjects(), objects);
    EXPECT_EQ(ZolHandleCount(ZolKind_Gdi), handles);
}

// ---------------------------------------------------------------- bitmaps

TEST(Bitmaps, SizesAreCheckedOrClamped) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(screen, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(screen, 5, -1), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(screen, 100000, 100000), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(screen, 1 << 20, 1), nullptr);
    HBITMAP empty = CreateCompatibleBitmap(screen, 0, 7);
    ASSERT_NE(empty, nullptr);
    BITMAP bm{};
    GetObjectA(empty, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(empty);
    ReleaseDC(nullptr, screen);
}

TEST(Pixels, ColoursReadBackAsTheyWereWritten) {
    Surface s(6, 4);
    EXPECT_EQ(SetPixel(s.dc(), 2, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(s.dc(), 2, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(s.dc(), 3, 1), RGB(255, 255, 255));
    // Outside the bitmap nothing is read or written.
    for (POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{6, 0}, POINT{0, 4}}) {
        EXPECT_EQ(GetPixel(s.dc(), p.x, p.y), CLR_INVALID);
        EXPECT_EQ(SetPixel(s.dc(), p.x, p.y, 0), CLR_INVALID);
    }
    // The direct view: one word per pixel, 0x00RRGGBB.
    ZolBitmapBits b{};
    ASSERT_TRUE(ZolGetBitmapBits(s.bitmap(), &b));
    EXPECT_EQ(b.bitsPerPixel, 32);
    EXPECT_EQ(b.width, 6);
    EXPECT_EQ(b.height, 4);
    const auto* row = static_cast<const unsigned char*>(b.bits) + b.stride;
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(row)[2], 0x000A141Eu);
}

TEST(Pixels, OneBitPixelsAreOnlyBlackOrWhite) {
    Surface s(37, 5, 1);
    const COLORREF colours[] = {RGB(128, 128, 128), RGB(127, 127, 127), RGB(255, 0, 0), RGB(0, 255, 0),
                                RGB(0, 0, 255), RGB(200, 200, 10), RGB(1, 1, 1), RGB(254, 254, 254)};
    int i = 0;
    for (COLORREF c : colours) {
        COLORREF stored = SetPixel(s.dc(), i++, 2, c);
        EXPECT_TRUE(stored == RGB(0, 0, 0) || stored == RGB(255, 255, 255));
    }
    EXPECT_EQ(GetPixel(s.dc(), 1, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 3, 2), RGB(255, 255, 255));
    ZolBitmapBits b{};
    ASSERT_TRUE(ZolGetBitmapBits(s.bitmap(), &b));
    EXPECT_EQ(b.bitsPerPixel, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x) {
            COLORREF c = GetPixel(s.dc(), x, y);
            ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;
            const auto* row = static_cast<const unsigned char*>(b.bits) + y * b.stride;
            EXPECT_EQ((row[x >> 3] & (0x80 >> (x & 7))) != 0, c == 0xFFFFFF);
        }
}

struct FillCase {
    RECT rect;
    long pixels;
};

class FillRects : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRects, FillTheRectangleLessItsRightAndBottomEdges) {
    for (int bits : {32, 1}) {
        Surface s(10, 8, bits);
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        EXPECT_NE(FillRect(s.dc(), &GetParam().rect, black), 0);
        EXPECT_EQ(s.ink(), GetParam().pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(Rects, FillRects,
                         ::testing::Values(FillCase{{2, 1, 5, 4}, 9}, FillCase{{-3, -3, 2, 2}, 4},
                                           FillCase{{8, 6, 20, 20}, 4}, FillCase{{5, 5, 5, 9}, 0},
                                           FillCase{{6, 2, 3, 7}, 0}, FillCase{{0, 0, 10, 8}, 80}));

TEST(Blocks, BitBltCopiesAndClips) {
    Surface src(5, 5), dst(6, 6);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) SetPixel(src.dc(), x, y, RGB(x * 40, y * 40, 7));
    ASSERT_TRUE(BitBlt(dst.dc(), 3, -1, 5, 5, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc(), 3, 0), RGB(0, 40, 7));
    EXPECT_EQ(GetPixel(dst.dc(), 5, 3), RGB(80, 160, 7));
    EXPECT_EQ(GetPixel(dst.dc(), 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dst.dc(), 3, 4), RGB(255, 255, 255));  // from source row 5: none
    // Into one bit: by brightness.
    Surface mono(5, 5, 1);
    ASSERT_TRUE(BitBlt(mono.dc(), 0, 0, 5, 5, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono.dc(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mono.dc(), 4, 4), RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(0, 0, 0));
    // A source box wholly outside copies nothing and still succeeds.
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 3, 3, src.dc(), 50, 50, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(0, 0, 0));
}

// ---------------------------------------------------------------- pictures

struct PictureCase {
    int id;
    LONG width, height;
    bool magentaKey;  // the top-left pixel, the strips' transparent colour
};

class Pictures : public ::testing::TestWithParam<PictureCase> {
protected:
    static HMODULE module() {
        static HMODULE m = LoadLibraryA(ZOL_TEST_PICTURES);
        return m;
    }
};

TEST_P(Pictures, LoadFromTheModulesResources) {
    const PictureCase& c = GetParam();
    ASSERT_NE(module(), nullptr);
    HBITMAP pic = LoadBitmapA(module(), c.id);
    ASSERT_NE(pic, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(pic, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, c.width);
    EXPECT_EQ(bm.bmHeight, c.height);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    // As the strips draw them: into a memory DC, then copied out.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, pic);
    ASSERT_NE(old, nullptr);
    if (c.magentaKey) {
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 255));
    }
    Surface target(c.width + 10, c.height);
    ASSERT_TRUE(BitBlt(target.dc(), 10, 0, c.width, c.height, dc, 0, 0, SRCCOPY));
    long differing = 0, notKey = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            differing += GetPixel(target.dc(), x + 10, y) != GetPixel(dc, x, y);
            notKey += GetPixel(dc, x, y) != GetPixel(dc, 0, 0);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(notKey, c.width * c.height / 5);  // there is a picture on it
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(pic);
}

INSTANTIATE_TEST_SUITE_P(Ids, Pictures,
                         ::testing::Values(PictureCase{777, 20, 24, true}, PictureCase{781, 33, 24, true},
                                           PictureCase{789, 33, 24, true}, PictureCase{780, 50, 24, false},
                                           PictureCase{779, 50, 24, false}, PictureCase{102, 476, 403, false}));

TEST(Pictures, MissingOrBrokenPicturesLoadNothing) {
    HMODULE m = LoadLibraryA(ZOL_TEST_PICTURES);
    ASSERT_NE(m, nullptr);
    DWORD before = ZolGdiLiveObjects();
    EXPECT_EQ(LoadBitmapA(m, 778), nullptr);                   // no such resource
    EXPECT_EQ(LoadBitmapA(m, 5), nullptr);                     // not a PNG
    EXPECT_EQ(LoadBitmapA(m, "named"), nullptr);               // names are not ids
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(777)), nullptr);
    EXPECT_EQ(LoadBitmapA(forged<HMODULE>(0x4242), 777), nullptr);
    EXPECT_EQ(ZolGdiLiveObjects(), before);
    HBITMAP byName = LoadBitmapA(m, MAKEINTRESOURCEA(777));
    EXPECT_NE(byName, nullptr);
    DeleteObject(byName);
}

TEST(Version, HasTheTopBitClear) { EXPECT_EQ(GetVersion() & 0x80000000u, 0u); }

}  // namespace
