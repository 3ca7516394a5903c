// The digitalizer's "options" command: its symbol set goes to the
// symbol-set dialog as a memory block and comes back measured, weighed and
// ordered by how much ink each symbol puts in its cell.
#include <algorithm>
#include <cstring>
#include <vector>

#include "effects/digitalizer/digitalizer.h"
#include "framework/edit_command.h"
#include "framework/host_calls.h"
#include "framework/sequence_data.h"
#include "framework/symbol_set.h"

namespace {

// The most symbols a block may claim: a text of the dialog has one entry
// per character, and no text is this long.
constexpr int32_t kMaxSymbols = 1 << 20;

struct EditedSymbol {
    char symbol = 0;
    LOGFONTA font{};
    SymbolMetrics metrics;
};

// The record's symbols as a block for the dialog; null when there is no
// memory for it.
SymbolSet* blockFromRecord(PF_InData* in_data) {
    LockedRecord record(in_data, in_data->sequence_data);
    int32_t count = record.load32(offsetof(SymbolSetRecord, count));
    const size_t room = record.size() > kSymbolEntriesOffset
                            ? (record.size() - kSymbolEntriesOffset) / StoredSymbolLayout::size
                            : 0;
    // A damaged record may claim more entries than it holds.
    if (count < 0) count = 0;
    if (static_cast<size_t>(count) > room) count = static_cast<int32_t>(room);
    auto* block = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, SymbolSetBytes(static_cast<size_t>(count)), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!block) return nullptr;
    StoreLE32(block, count);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* stored = record.bytes() + kSymbolEntriesOffset + i * StoredSymbolLayout::size;
        uint8_t* entry = block + kSymbolSetHeader + i * SymbolEntryLayout::size;
        entry[SymbolEntryLayout::character] = stored[StoredSymbolLayout::symbol];
        std::memcpy(entry + SymbolEntryLayout::font, stored + StoredSymbolLayout::font, StoredSymbolLayout::fontSize);
    }
    return reinterpret_cast<SymbolSet*>(block);
}

std::vector<EditedSymbol> symbolsFromBlock(const SymbolSet* set) {
    const auto* block = reinterpret_cast<const uint8_t*>(set);
    int32_t count = LoadLE32(block);
    if (count < 0) count = 0;
    if (count > kMaxSymbols) count = kMaxSymbols;
    std::vector<EditedSymbol> symbols(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = block + kSymbolSetHeader + i * SymbolEntryLayout::size;
        symbols[i].symbol = static_cast<char>(entry[SymbolEntryLayout::character]);
        std::memcpy(&symbols[i].font, entry + SymbolEntryLayout::font, sizeof(LOGFONTA));
    }
    return symbols;
}

// Measures every symbol, weighs its ink by its share of the largest cell,
// scales the largest to 1 and orders them by coverage, equal ones kept in
// their order.
void weighSymbols(std::vector<EditedSymbol>& symbols, int32_t& cellWidth, int32_t& cellHeight) {
    cellWidth = cellHeight = 0;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    if (dc) {
        for (EditedSymbol& s : symbols) {
            s.metrics = MeasureSymbol(dc, s.font, s.symbol);
            cellWidth = std::max(cellWidth, s.metrics.width);
            cellHeight = std::max(cellHeight, s.metrics.height);
        }
        for (EditedSymbol& s : symbols)
            s.metrics.coverage = SymbolInkCoverage(dc, s.font, s.symbol, s.metrics.width, s.metrics.height);
        DeleteDC(dc);
    }
    if (screen) ReleaseDC(nullptr, screen);

    float largest = 0.0f;
    if (cellWidth > 0 && cellHeight > 0) {
        for (EditedSymbol& s : symbols) {
            s.metrics.coverage = s.metrics.coverage *
                                 static_cast<float>(static_cast<double>(s.metrics.width) * s.metrics.height /
                                                    (static_cast<double>(cellWidth) * cellHeight));
            largest = std::max(largest, s.metrics.coverage);
        }
    }
    if (largest != 0.0f)
        for (EditedSymbol& s : symbols) s.metrics.coverage /= largest;
    std::stable_sort(symbols.begin(), symbols.end(), [](const EditedSymbol& a, const EditedSymbol& b) {
        return a.metrics.coverage < b.metrics.coverage;
    });
    cellWidth = std::max(cellWidth, 1);
    cellHeight = std::max(cellHeight, 1);
}

PF_Err storeSymbols(PF_InData* in_data, PF_OutData* out_data, const std::vector<EditedSymbol>& symbols,
                    int32_t cellWidth, int32_t cellHeight) {
    PF_Handle fresh =
        NewHostHandle(in_data, kSymbolEntriesOffset + uint64_t{StoredSymbolLayout::size} * symbols.size());
    if (!fresh) return PF_Err_OUT_OF_MEMORY;
    auto* r = static_cast<uint8_t*>(in_data->utils->host_lock_handle(fresh));
    if (!r) {
        in_data->utils->host_dispose_handle(fresh);
        return PF_Err_OUT_OF_MEMORY;
    }
    StoreLE32(r + offsetof(SymbolSetRecord, cellWidth), cellWidth);
    StoreLE32(r + offsetof(SymbolSetRecord, cellHeight), cellHeight);
    StoreLE32(r + offsetof(SymbolSetRecord, count), static_cast<int32_t>(symbols.size()));
    for (size_t i = 0; i < symbols.size(); ++i) {
        uint8_t* entry = r + kSymbolEntriesOffset + i * StoredSymbolLayout::size;
        const EditedSymbol& s = symbols[i];
        std::memcpy(entry + StoredSymbolLayout::coverage, &s.metrics.coverage, 4);
        StoreLE32(entry + StoredSymbolLayout::width, s.metrics.width);
        StoreLE32(entry + StoredSymbolLayout::height, s.metrics.height);
        entry[StoredSymbolLayout::symbol] = static_cast<uint8_t>(s.symbol);
        std::memcpy(entry + StoredSymbolLayout::font, &s.font, sizeof s.font);
    }
    if (in_data->utils->host_unlock_handle) in_data->utils->host_unlock_handle(fresh);
    ReplaceSequenceRecord(in_data, out_data, fresh);
    out_data->out_flags |= kEditedOutFlags;
    return PF_Err_NONE;
}

}  // namespace

PF_Err EditSymbolSet(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library) {
    if (!in_data || !out_data || !in_data->utils || !in_data->utils->host_new_handle ||
        !in_data->utils->host_lock_handle || !in_data->utils->host_dispose_handle)
        return PF_Err_BAD_CALLBACK_PARAM;
    if (!library.EditDigitalizer) return PF_Err_NONE;
    SymbolSet* block = blockFromRecord(in_data);
    if (!block) return PF_Err_NONE;

    PF_Err result = PF_Err_NONE;
    // The dialog hands back the block the effect owns from then on: its new
    // one after Ok, ours otherwise.
    if (library.EditDigitalizer(HostMainWindow(in_data), &block) != 0 && block) {
        std::vector<EditedSymbol> symbols = symbolsFromBlock(block);
        int32_t cellWidth = 1, cellHeight = 1;
        weighSymbols(symbols, cellWidth, cellHeight);
        result = storeSymbols(in_data, out_data, symbols, cellWidth, cellHeight);
    }
    if (block) VirtualFree(block, 0, MEM_RELEASE);
    return result;
}
