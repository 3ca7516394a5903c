// Small fixtures for the glyph engine's tests: output frames, work bitmaps
// drawn by hand, a layout window holding rich text, and images on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph/blend.h"
#include "glyph/settings.h"
#include "platform/gdi/gdi.h"

namespace glyphtest {

// Puts the engine's settings back to their defaults around a test.
struct SettingsScope {
    SettingsScope() { glyph::glyphSettings() = glyph::GlyphRenderSettings{}; }
    ~SettingsScope() { glyph::glyphSettings() = glyph::GlyphRenderSettings{}; }
};

// An output frame of 4-byte pixels, alpha first.
struct Frame {
    Frame(int w, int h, int extraPixelsPerRow = 0)
        : width(w), height(h), pixelsPerRow(w + extraPixelsPerRow),
          bytes(static_cast<size_t>(pixelsPerRow) * h * 4, 0) {}
    glyph::OutputImage image() { return glyph::OutputImage{bytes.data(), width, height, pixelsPerRow}; }
    uint8_t* at(int x, int y) { return bytes.data() + 4 * (static_cast<size_t>(y) * pixelsPerRow + x); }
    int alpha(int x, int y) { return at(x, y)[0]; }
    int64_t alphaSum() const;
    int inkedPixels() const;
    // Bounding box of the pixels whose alpha is not 0; false when none.
    bool inkBox(int& left, int& top, int& right, int& bottom) const;
    // Alpha-weighted centre of the ink.
    double centreX() const;
    double centreY() const;

    int width, height, pixelsPerRow;
    std::vector<uint8_t> bytes;
};

// A memory DC with a white bitmap of its own (1 or 32 bits) and the black
// brush selected.
class WorkDC {
public:
    WorkDC(int width, int height, int bitsPerPixel = 32);
    ~WorkDC();
    WorkDC(const WorkDC&) = delete;
    WorkDC& operator=(const WorkDC&) = delete;
    HDC dc() const { return memory_; }
    void black(int left, int top, int right, int bottom);
    void pixel(int x, int y, COLORREF c) { SetPixel(memory_, x, y, c); }
    int blackCount() const;

private:
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    HGDIOBJ previousBrush_ = nullptr;
    int width_, height_;
};

// A rich-edit control holding `rtf`, laid out at `width` pixels.
class LayoutWindow {
public:
    explicit LayoutWindow(const std::string& rtf, int width = 2000, int height = 600);
    ~LayoutWindow();
    LayoutWindow(const LayoutWindow&) = delete;
    LayoutWindow& operator=(const LayoutWindow&) = delete;
    HWND hwnd() const { return window_; }
    int lineCount() const;

private:
    HWND window_ = nullptr;
};

// Plain text in one format: `face`, `halfPoints` (RTF \fs), colour, bold/italic.
std::string rtfText(const std::string& text, const std::string& face = "Arial",
                    int halfPoints = 24, COLORREF colour = 0, bool bold = false,
                    bool italic = false);

// Writes the frame as an RGBA image, its alpha kept.
bool writePng(const Frame& frame, const std::string& path);
// Where the tests leave their pictures: $GLYPH_TEST_OUT, else the build tree.
std::string outputPath(const std::string& name);

}  // namespace glyphtest
