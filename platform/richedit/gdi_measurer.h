// Character widths and font heights through the graphics services, kept
// per format of one document: the control lays out again after every
// change, and a format's font only needs measuring once.
#pragma once

#include <array>
#include <bitset>
#include <map>

#include "platform/gdi/gdi.h"
#include "platform/richedit/layout.h"

namespace zolrich {

// The logical font a format stands for at the screen's resolution.
LOGFONTA logicalFont(const CharFormat& f);

class GdiMeasurer : public Measurer {
public:
    GdiMeasurer() = default;
    GdiMeasurer(const GdiMeasurer&) = delete;
    GdiMeasurer& operator=(const GdiMeasurer&) = delete;
    ~GdiMeasurer() override { endPass(); }

    int32_t advance(uint32_t formatId, const CharFormat& f, unsigned char c) override;
    FontMetrics metrics(uint32_t formatId, const CharFormat& f) override;

    // A new document: its format ids mean other formats.
    void forget();
    // Fonts and the drawing surface are made on demand and released here,
    // at the end of each layout.
    void endPass();

private:
    struct Entry {
        std::array<int32_t, 256> widths{};
        std::bitset<256> known;
        FontMetrics fm;
        bool haveMetrics = false;
    };
    HFONT fontFor(uint32_t formatId, const CharFormat& f);

    std::map<uint32_t, Entry> entries_;
    HDC dc_ = nullptr;
    std::map<uint32_t, HFONT> fonts_;
};

}  // namespace zolrich
