// Draws the effects' bitmap pictures with the platform's own graphics
// services and writes them as PNG files into the folder given (by default
// the current one). The PNG files are kept with the sources; run this again
// only to change them:
//
//   cmake --build BUILD --target zolpictures && BUILD/bin/zolpictures effects/pictures
//
// The control-strip pictures are drawn on magenta, the colour their top-left
// pixel gives as transparent when the strips copy them.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

struct Canvas {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    int width, height;

    Canvas(int w, int h, COLORREF background) : bitmap(CreateCompatibleBitmap(screen, w, h)), width(w), height(h) {
        oldBitmap = SelectObject(dc, bitmap);
        box(0, 0, w, h, background);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    void box(int l, int t, int r, int b, COLORREF c) {
        HBRUSH brush = CreateSolidBrush(c);
        RECT rc{l, t, r, b};
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
    }
    void line(int x0, int y0, int x1, int y1, COLORREF c) {
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    // A filled disc from four Bézier quarters.
    void disc(double cx, double cy, double r, COLORREF c) {
        const double k = 0.5523 * r;
        auto P = [](double x, double y) { return POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))}; };
        POINT curve[12] = {P(cx + r, cy + k), P(cx + k, cy + r), P(cx, cy + r),  P(cx - k, cy + r),
                           P(cx - r, cy + k), P(cx - r, cy),     P(cx - r, cy - k), P(cx - k, cy - r),
                           P(cx, cy - r),     P(cx + k, cy - r), P(cx + r, cy - k), P(cx + r, cy)};
        HBRUSH brush = CreateSolidBrush(c);
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
        BeginPath(dc);
        MoveToEx(dc, P(cx + r, cy).x, P(cx + r, cy).y, nullptr);
        PolyBezierTo(dc, curve, 12);
        CloseFigure(dc);
        EndPath(dc);
        StrokeAndFillPath(dc);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    // Text centred on x with its cell's top at y.
    void text(const char* s, int x, int y, int height, int weight, bool italic, const char* face, COLORREF c) {
        HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, face);
        HGDIOBJ old = SelectObject(dc, font);
        SetTextColor(dc, c);
        UINT align = SetTextAlign(dc, TA_CENTER | TA_TOP);
        TextOutA(dc, x, y, s, static_cast<int>(std::strlen(s)));
        SetTextAlign(dc, align);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    int textHeight(int height, int weight, const char* face) {
        HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, face);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        DeleteObject(font);
        return tm.tmHeight;
    }
    bool save(const std::string& folder, const char* name) {
        std::string path = folder + "/" + name;
        bool ok = ZolSaveBitmapPng(bitmap, path.c_str());
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
        return ok;
    }
};

// 777: a red book with a white "PDF" on its cover.
bool helpBook(const std::string& folder) {
    Canvas c(20, 24, kMagenta);
    c.box(5, 19, 18, 22, RGB(245, 245, 240));    // the pages
    c.line(5, 20, 17, 20, RGB(190, 190, 185));
    c.box(2, 2, 17, 20, RGB(190, 30, 35));       // the cover
    c.box(2, 2, 4, 20, RGB(130, 15, 20));        // its spine
    c.line(2, 21, 17, 21, RGB(90, 10, 10));
    c.text("PDF", 10, 7, -8, FW_BOLD, false, "Arial", RGB(255, 255, 255));
    return c.save(folder, "help_pdf.png");
}

// 781 and 789: an information button, blue for typing, green for the others.
bool aboutButton(const std::string& folder, const char* name, COLORREF face, COLORREF rim) {
    Canvas c(33, 24, kMagenta);
    c.disc(16, 12, 10.5, rim);
    c.disc(16, 12, 9, face);
    c.text("i", 16, 2, -19, FW_BOLD, false, "Times New Roman", RGB(255, 255, 255));
    return c.save(folder, name);
}

// 779 and 780: raised grey push buttons.
bool pushButton(const std::string& folder, const char* name, const char* label) {
    Canvas c(50, 24, RGB(212, 208, 200));
    c.line(0, 0, 49, 0, RGB(255, 255, 255));
    c.line(0, 0, 0, 23, RGB(255, 255, 255));
    c.line(1, 22, 48, 22, RGB(128, 128, 128));
    c.line(48, 1, 48, 22, RGB(128, 128, 128));
    c.line(0, 23, 49, 23, RGB(64, 64, 64));
    c.line(49, 0, 49, 23, RGB(64, 64, 64));
    int h = c.textHeight(-12, FW_NORMAL, "Arial");
    c.text(label, 25, (24 - h) / 2, -12, FW_NORMAL, false, "Arial", RGB(0, 0, 0));
    return c.save(folder, name);
}

// 102: the about box's picture, 317 x 248 dialog units of an 8-point dialog
// font (6 x 13 pixels) at 96 pixels per inch.
bool aboutPicture(const std::string& folder) {
    const int w = 476, h = 403;
    Canvas c(w, h, RGB(0, 0, 0));
    for (int y = 0; y < h; ++y) {
        double t = static_cast<double>(y) / (h - 1);
        c.box(0, y, w, y + 1,
              RGB(static_cast<BYTE>(20 + 70 * t), static_cast<BYTE>(24 + 10 * t), static_cast<BYTE>(70 + 60 * t)));
    }
    const char* letters = "Quillarine";
    for (int i = 0; letters[i]; ++i) {
        char s[2] = {letters[i], 0};
        int size = -(60 + (i * 37) % 90);
        c.text(s, 30 + i * 46, 10 + (i * 53) % 250, size, FW_NORMAL, true, "Times New Roman", RGB(70, 70, 130));
    }
    c.line(60, 250, w - 60, 250, RGB(200, 180, 90));
    c.text("ZOL Quillarine", w / 2, 150, -58, FW_BOLD, true, "Times New Roman", RGB(255, 255, 255));
    c.text("Quendrasil Effect", w / 2, 262, -24, FW_NORMAL, false, "Arial", RGB(230, 215, 150));
    c.text("Typing - Morphing - Digitalizer", w / 2, 300, -17, FW_NORMAL, false, "Arial", RGB(210, 210, 230));
    c.text("Version 1.35", w / 2, 355, -15, FW_NORMAL, false, "Arial", RGB(180, 180, 200));
    return c.save(folder, "about.png");
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    bool ok = helpBook(folder);
    ok = aboutButton(folder, "about_typing.png", RGB(40, 100, 210), RGB(20, 50, 120)) && ok;
    ok = aboutButton(folder, "about_effects.png", RGB(40, 150, 80), RGB(20, 80, 40)) && ok;
    ok = pushButton(folder, "save_button.png", "Save") && ok;
    ok = pushButton(folder, "load_button.png", "Load") && ok;
    ok = aboutPicture(folder) && ok;
    return ok ? 0 : 1;
}
