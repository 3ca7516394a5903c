// Each instance's own data, kept by the host in one handle and saved with the
// project: the texts of the typing and morphing effects and the symbol set of
// the digitalizer. Records are little-endian with no gaps; their integer
// fields are read and written by offset, never through a cast pointer, and
// never beyond what the handle really holds: a record from a damaged project
// may claim more bytes than it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/library_binding.h"
#include "platform/effect_api/effect_api.h"

// The text a new instance shows until the user edits it: plain text, no
// rich-text header.
inline constexpr char kInitialText[] = "Vellomarchen Quillarine";
inline constexpr int32_t kInitialTextLength = 23;
static_assert(sizeof kInitialText == kInitialTextLength + 1);

// Typing effect; the text follows at offset 24.
struct TypingInstanceRecord {
    int32_t textLength;
    int32_t cachedWidth;  // output width the cached document was built for; 0 = none
    int32_t cachedWrap;   // "Wrap" the cached document was built for
    HideRichDocument document;
    int32_t reserved[2];  // never written by setup, never read
};
static_assert(sizeof(TypingInstanceRecord) == 24);
inline constexpr size_t kTypingTextOffset = sizeof(TypingInstanceRecord);

// Morphing effect; the first text follows at offset 12, the second after it.
struct MorphInstanceRecord {
    int32_t firstLength;
    int32_t secondLength;
    int32_t reserved;  // 0 in a new record, never read
};
static_assert(sizeof(MorphInstanceRecord) == 12);
inline constexpr size_t kMorphTextOffset = sizeof(MorphInstanceRecord);

// The digitalizer's symbols: a header, then `count` entries of 74 bytes.
struct SymbolSetRecord {
    int32_t cellWidth;   // largest symbol width, at least 1
    int32_t cellHeight;  // largest symbol height, at least 1
    int32_t count;
};
static_assert(sizeof(SymbolSetRecord) == 12);

// Offsets inside one stored symbol entry.
struct StoredSymbolLayout {
    static constexpr size_t coverage = 0;  // float32, relative ink coverage
    static constexpr size_t width = 4;     // int32, pixels
    static constexpr size_t height = 8;    // int32, pixels
    static constexpr size_t symbol = 12;   // the character
    static constexpr size_t font = 14;     // a 60-byte logical font
    static constexpr size_t fontSize = 60;
    static constexpr size_t size = 74;
};
inline constexpr size_t kSymbolEntriesOffset = sizeof(SymbolSetRecord);

inline void StoreLE32(uint8_t* at, int32_t v) { std::memcpy(at, &v, 4); }
inline int32_t LoadLE32(const uint8_t* at) {
    int32_t v;
    std::memcpy(&v, at, 4);
    return v;
}

// A host handle locked for the life of one command, with the number of
// bytes it really holds. Fields beyond that read as 0 and are not written.
class LockedRecord {
public:
    LockedRecord(PF_InData* in_data, PF_Handle handle);
    ~LockedRecord();
    LockedRecord(const LockedRecord&) = delete;
    LockedRecord& operator=(const LockedRecord&) = delete;

    uint8_t* bytes() const { return bytes_; }
    size_t size() const { return size_; }

    int32_t load32(size_t offset) const;
    void store32(size_t offset, int32_t value);

private:
    PF_InData* in_;
    PF_Handle handle_;
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
};

// Where a stored text lies in a record of `size` bytes. A length that
// reaches past the end of the handle is cut where the handle ends; a
// negative one counts as empty.
struct TextExtent {
    size_t offset = 0;
    size_t length = 0;
    bool operator==(const TextExtent&) const = default;
};
TextExtent TypingText(const uint8_t* bytes, size_t size);
struct MorphTextExtents {
    TextExtent first, second;
};
MorphTextExtents MorphTexts(const uint8_t* bytes, size_t size);

// Allocates a new record of `size` bytes, lets `fill` write it and hands it
// to the host with `flatSize` as its flat size. Without a handle from the
// host the result is -108 and nothing else happens.
template <class Fill>
PF_Err CreateSequenceRecord(PF_InData* in_data, PF_OutData* out_data, size_t size, int32_t flatSize,
                            Fill&& fill);

PF_Err SetupTypingSequence(PF_InData* in_data, PF_OutData* out_data);
PF_Err SetupMorphSequence(PF_InData* in_data, PF_OutData* out_data);

// A present handle is used as it is; without one the record is created as at
// setup.
PF_Err ResetupSequence(PF_InData* in_data, PF_OutData* out_data,
                       PF_Err (*setup)(PF_InData*, PF_OutData*));

// The typing record caches a library document that cannot be saved: flatten
// destroys it and clears the cache fields, so the next render builds anew.
PF_Err FlattenTypingSequence(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library);
// The other records have nothing to drop: the handle is only handed over.
PF_Err FlattenSequence(PF_InData* in_data, PF_OutData* out_data);

PF_Err SetdownTypingSequence(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library);
PF_Err SetdownSequence(PF_InData* in_data, PF_OutData* out_data);

// ---------------------------------------------------------------- template

template <class Fill>
PF_Err CreateSequenceRecord(PF_InData* in_data, PF_OutData* out_data, size_t size, int32_t flatSize,
                            Fill&& fill) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    PF_UtilCallbacks* utils = in_data->utils;
    if (!utils || !utils->host_new_handle || !utils->host_lock_handle || !utils->host_dispose_handle)
        return PF_Err_BAD_CALLBACK_PARAM;
    PF_Handle handle = utils->host_new_handle(size);
    if (!handle) return PF_Err_OUT_OF_MEMORY;
    auto* bytes = static_cast<uint8_t*>(utils->host_lock_handle(handle));
    if (!bytes) {
        utils->host_dispose_handle(handle);
        return PF_Err_OUT_OF_MEMORY;
    }
    fill(bytes);
    if (utils->host_unlock_handle) utils->host_unlock_handle(handle);
    out_data->sequence_data = handle;
    out_data->flat_sdata_size = flatSize;
    return PF_Err_NONE;
}
