// The digitalizer's symbols: how one is measured and how much of its cell
// it inks, and the set a new instance starts with.
#include <algorithm>
#include <cstring>

#include "effects/digitalizer/digitalizer.h"
#include "framework/sequence_data.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr int32_t kInitialCount = 2;
constexpr size_t kInitialRecordSize = kSymbolEntriesOffset + kInitialCount * StoredSymbolLayout::size;
constexpr int32_t kSymbolFlatSize = 160;
static_assert(kInitialRecordSize == 160);
static_assert(sizeof(LOGFONTA) == StoredSymbolLayout::fontSize);

LOGFONTA initialFont() {
    LOGFONTA f;
    std::memset(&f, 0, sizeof f);
    f.lfHeight = 14;
    f.lfWeight = FW_NORMAL;
    f.lfQuality = PROOF_QUALITY;
    std::memcpy(f.lfFaceName, "Arial", 6);
    return f;
}

struct StoredEntry {
    char symbol = 0;
    LOGFONTA font{};
    SymbolMetrics metrics;
};

void writeEntry(uint8_t* entry, const StoredEntry& e) {
    std::memcpy(entry + StoredSymbolLayout::coverage, &e.metrics.coverage, 4);
    StoreLE32(entry + StoredSymbolLayout::width, e.metrics.width);
    StoreLE32(entry + StoredSymbolLayout::height, e.metrics.height);
    entry[StoredSymbolLayout::symbol] = static_cast<uint8_t>(e.symbol);
    // The byte after the symbol is never written.
    std::memcpy(entry + StoredSymbolLayout::font, &e.font, sizeof e.font);
}

}  // namespace

SymbolMetrics MeasureSymbol(HDC dc, const LOGFONTA& font, char symbol) {
    SymbolMetrics m;
    HFONT created = CreateFontIndirectA(&font);
    if (!created) return m;
    HGDIOBJ previous = SelectObject(dc, created);
    SIZE extent{};
    if (GetTextExtentPoint32A(dc, &symbol, 1, &extent)) {
        m.width = extent.cx;
        m.height = extent.cy;
    }
    if (previous) SelectObject(dc, previous);
    DeleteObject(created);
    return m;
}

float SymbolInkCoverage(HDC dc, const LOGFONTA& font, char symbol, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return 0.0f;
    HFONT created = CreateFontIndirectA(&font);
    // Compatible with a memory DC, the bitmap is one bit deep: every pixel
    // reads back black or white.
    HBITMAP cell = CreateCompatibleBitmap(dc, width, height);
    if (!created || !cell) {
        if (created) DeleteObject(created);
        if (cell) DeleteObject(cell);
        return 0.0f;
    }
    HGDIOBJ previousFont = SelectObject(dc, created);
    HGDIOBJ previousBitmap = SelectObject(dc, cell);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    COLORREF previousColour = SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 0, 0, &symbol, 1);

    uint64_t ink = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID) ink += 255u - GetRValue(c);
        }
    double coverage = static_cast<double>(ink) / (static_cast<double>(width) * height);

    SetTextColor(dc, previousColour);
    if (previousBitmap) SelectObject(dc, previousBitmap);
    if (previousFont) SelectObject(dc, previousFont);
    DeleteObject(cell);
    DeleteObject(created);
    return static_cast<float>(coverage * 0.003921569);
}

PF_Err SetupSymbolSetSequence(PF_InData* in_data, PF_OutData* out_data) {
    StoredEntry entries[kInitialCount];
    entries[0].symbol = ' ';
    entries[0].font = initialFont();
    entries[1].symbol = '0';
    entries[1].font = entries[0].font;

    int32_t cellWidth = 0, cellHeight = 0;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        for (StoredEntry& e : entries) e.metrics = MeasureSymbol(dc, e.font, e.symbol);
        for (const StoredEntry& e : entries) {
            cellWidth = std::max(cellWidth, e.metrics.width);
            cellHeight = std::max(cellHeight, e.metrics.height);
        }
        // The space of a new set counts as no ink at all; only the "0" is
        // inked and weighed against the cell.
        StoredEntry& zero = entries[1];
        float ink = SymbolInkCoverage(dc, zero.font, zero.symbol, zero.metrics.width, zero.metrics.height);
        if (cellWidth > 0 && cellHeight > 0)
            zero.metrics.coverage = ink * static_cast<float>(zero.metrics.width) *
                                    static_cast<float>(zero.metrics.height) /
                                    (static_cast<float>(cellWidth) * static_cast<float>(cellHeight));
        DeleteDC(dc);
    }
    cellWidth = std::max(cellWidth, 1);
    cellHeight = std::max(cellHeight, 1);

    return CreateSequenceRecord(in_data, out_data, kInitialRecordSize, kSymbolFlatSize, [&](uint8_t* r) {
        StoreLE32(r + offsetof(SymbolSetRecord, cellWidth), cellWidth);
        StoreLE32(r + offsetof(SymbolSetRecord, cellHeight), cellHeight);
        StoreLE32(r + offsetof(SymbolSetRecord, count), kInitialCount);
        for (int32_t i = 0; i < kInitialCount; ++i)
            writeEntry(r + kSymbolEntriesOffset + i * StoredSymbolLayout::size, entries[i]);
    });
}
