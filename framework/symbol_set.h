// The digitalizer's symbol set as it travels to the symbol-set dialog and
// back: one page-allocated block, a count and then 64-byte entries of a
// character and the logical font it is drawn in. Ownership passes with
// the block; whoever holds it releases it with VirtualFree.
#pragma once

#include <cstddef>
#include <cstdint>

struct SymbolSet;  // opaque: read and written by offset

struct SymbolEntryLayout {
    static constexpr size_t character = 0;  // bytes 1 to 3 are not used
    static constexpr size_t font = 4;       // a 60-byte LOGFONTA
    static constexpr size_t size = 64;
};
inline constexpr size_t kSymbolSetHeader = 4;  // the count, 32-bit signed

inline constexpr size_t SymbolSetBytes(size_t count) { return kSymbolSetHeader + SymbolEntryLayout::size * count; }
