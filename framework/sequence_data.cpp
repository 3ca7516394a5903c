#include "framework/sequence_data.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr size_t kTypingRecordSize = kTypingTextOffset + kInitialTextLength + 1;  // 48
constexpr size_t kMorphRecordSize = kMorphTextOffset + 2 * kInitialTextLength + 1;  // 59
// The flat sizes the host is told at setup. The morphing one is shorter than
// its record; the host saves the whole handle whatever it is told.
constexpr int32_t kTypingFlatSize = 48;
constexpr int32_t kMorphFlatSize = 33;

constexpr size_t kTextLengthAt = offsetof(TypingInstanceRecord, textLength);
constexpr size_t kCachedWidthAt = offsetof(TypingInstanceRecord, cachedWidth);
constexpr size_t kCachedWrapAt = offsetof(TypingInstanceRecord, cachedWrap);
constexpr size_t kDocumentAt = offsetof(TypingInstanceRecord, document);

// A claimed length, cut to what lies between `offset` and the end.
TextExtent clampedText(size_t offset, int32_t claimed, size_t size) {
    TextExtent t;
    t.offset = std::min(offset, size);
    size_t available = size - t.offset;
    t.length = claimed > 0 ? std::min(static_cast<size_t>(claimed), available) : 0;
    return t;
}

// Destroys the typing record's cached document and clears the cache fields;
// the text stays as it is.
void dropCachedDocument(LockedRecord& record, const LibraryFunctions& library) {
    auto document = static_cast<HideRichDocument>(record.load32(kDocumentAt));
    // Without the library there is no document to destroy: it was built by it.
    if (document != 0 && library.DeleteHideRich) library.DeleteHideRich(document);
    record.store32(kCachedWidthAt, 0);
    record.store32(kCachedWrapAt, 0);
    record.store32(kDocumentAt, 0);
}

bool canDispose(PF_InData* in_data) {
    return in_data && in_data->utils && in_data->utils->host_dispose_handle;
}

}  // namespace

LockedRecord::LockedRecord(PF_InData* in_data, PF_Handle handle) : in_(in_data), handle_(handle) {
    PF_UtilCallbacks* utils = in_ ? in_->utils : nullptr;
    if (!handle_ || !utils || !utils->host_lock_handle || !utils->host_get_handle_size) return;
    bytes_ = static_cast<uint8_t*>(utils->host_lock_handle(handle_));
    if (bytes_) size_ = static_cast<size_t>(utils->host_get_handle_size(handle_));
}

LockedRecord::~LockedRecord() {
    if (bytes_ && in_->utils->host_unlock_handle) in_->utils->host_unlock_handle(handle_);
}

int32_t LockedRecord::load32(size_t offset) const {
    return bytes_ && offset + 4 <= size_ ? LoadLE32(bytes_ + offset) : 0;
}

void LockedRecord::store32(size_t offset, int32_t value) {
    if (bytes_ && offset + 4 <= size_) StoreLE32(bytes_ + offset, value);
}

TextExtent TypingText(const uint8_t* bytes, size_t size) {
    if (!bytes || size < kTypingTextOffset) return {std::min(kTypingTextOffset, size), 0};
    return clampedText(kTypingTextOffset, LoadLE32(bytes + kTextLengthAt), size);
}

MorphTextExtents MorphTexts(const uint8_t* bytes, size_t size) {
    MorphTextExtents t;
    if (!bytes || size < kMorphTextOffset) {
        t.first = t.second = {std::min(kMorphTextOffset, size), 0};
        return t;
    }
    int32_t firstLength = LoadLE32(bytes + offsetof(MorphInstanceRecord, firstLength));
    int32_t secondLength = LoadLE32(bytes + offsetof(MorphInstanceRecord, secondLength));
    t.first = clampedText(kMorphTextOffset, firstLength, size);
    // The second text starts where the first claims to end, even when that
    // claim was cut: a damaged first length must not shift the second text.
    size_t secondAt = kMorphTextOffset + static_cast<size_t>(std::max(firstLength, 0));
    t.second = clampedText(secondAt, secondLength, size);
    return t;
}

PF_Err SetupTypingSequence(PF_InData* in_data, PF_OutData* out_data) {
    return CreateSequenceRecord(in_data, out_data, kTypingRecordSize, kTypingFlatSize, [](uint8_t* r) {
        StoreLE32(r + kTextLengthAt, kInitialTextLength);
        StoreLE32(r + kCachedWidthAt, 0);
        StoreLE32(r + kCachedWrapAt, 0);
        StoreLE32(r + kDocumentAt, 0);
        // The text's terminator lies beyond textLength, as the text was once
        // copied with it.
        std::memcpy(r + kTypingTextOffset, kInitialText, sizeof kInitialText);
    });
}

PF_Err SetupMorphSequence(PF_InData* in_data, PF_OutData* out_data) {
    return CreateSequenceRecord(in_data, out_data, kMorphRecordSize, kMorphFlatSize, [](uint8_t* r) {
        StoreLE32(r + offsetof(MorphInstanceRecord, firstLength), kInitialTextLength);
        StoreLE32(r + offsetof(MorphInstanceRecord, secondLength), kInitialTextLength);
        StoreLE32(r + offsetof(MorphInstanceRecord, reserved), 0);
        // The second copy overwrites the first one's terminator; its own is
        // the record's last byte.
        std::memcpy(r + kMorphTextOffset, kInitialText, sizeof kInitialText);
        std::memcpy(r + kMorphTextOffset + kInitialTextLength, kInitialText, sizeof kInitialText);
    });
}

PF_Err ResetupSequence(PF_InData* in_data, PF_OutData* out_data,
                       PF_Err (*setup)(PF_InData*, PF_OutData*)) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    if (in_data->sequence_data) return PF_Err_NONE;
    return setup(in_data, out_data);
}

PF_Err FlattenTypingSequence(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    if (in_data->sequence_data) {
        LockedRecord record(in_data, in_data->sequence_data);
        dropCachedDocument(record, library);
    }
    return FlattenSequence(in_data, out_data);
}

PF_Err FlattenSequence(PF_InData* in_data, PF_OutData* out_data) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    out_data->sequence_data = in_data->sequence_data;
    in_data->sequence_data = nullptr;
    return PF_Err_NONE;
}

PF_Err SetdownTypingSequence(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    if (!in_data->sequence_data) return PF_Err_NONE;
    if (!canDispose(in_data)) return PF_Err_BAD_CALLBACK_PARAM;
    {
        LockedRecord record(in_data, in_data->sequence_data);
        dropCachedDocument(record, library);
    }
    return SetdownSequence(in_data, out_data);
}

PF_Err SetdownSequence(PF_InData* in_data, PF_OutData* out_data) {
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    if (!in_data->sequence_data) return PF_Err_NONE;
    if (!canDispose(in_data)) return PF_Err_BAD_CALLBACK_PARAM;
    in_data->utils->host_dispose_handle(in_data->sequence_data);
    in_data->sequence_data = nullptr;
    out_data->sequence_data = nullptr;
    return PF_Err_NONE;
}
