#include "framework/edit_command.h"

#include <cstring>

#include "framework/host_calls.h"
#include "framework/interchange.h"
#include "framework/sequence_data.h"

namespace {

constexpr char kTypingFileWarning[] = "You hav problem with creation file 'stream.tmp'";
constexpr char kMorphReadWarning[] = "You hav problem with creation file 'stream.tmp' or 'stream2.tmp'";
constexpr char kMorphWriteWarning[] = "You have a problem with creation files 'stream.tmp' and 'stream2.tmp'";

HANDLE openForReading(const std::string& path) {
    if (path.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file's size from the low 32 bits of its information.
bool fileSize(HANDLE file, uint32_t& size) {
    FILE_INFORMATION info{};
    if (!GetFileInformation(file, &info)) return false;
    size = info.sizeLow;
    return true;
}

bool readExactly(HANDLE file, uint8_t* into, uint32_t length) {
    DWORD read = 0;
    if (length == 0) return true;
    return ReadFile(file, into, length, &read, nullptr) && read == length;
}

void closeFile(HANDLE& file) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
}

// A locked view of a handle the plug-in just allocated.
struct FreshRecord {
    PF_InData* in;
    PF_Handle handle;
    uint8_t* bytes;
    FreshRecord(PF_InData* in_data, PF_Handle h)
        : in(in_data), handle(h), bytes(h ? static_cast<uint8_t*>(in_data->utils->host_lock_handle(h)) : nullptr) {}
    ~FreshRecord() {
        if (bytes && in->utils->host_unlock_handle) in->utils->host_unlock_handle(handle);
    }
    // Gives the handle up when it is not to replace the record.
    void discard() {
        if (bytes && in->utils->host_unlock_handle) in->utils->host_unlock_handle(handle);
        bytes = nullptr;
        if (handle) in->utils->host_dispose_handle(handle);
        handle = nullptr;
    }
};

bool hostCanAllocate(PF_InData* in_data) {
    const PF_UtilCallbacks* u = in_data ? in_data->utils : nullptr;
    return u && u->host_new_handle && u->host_lock_handle && u->host_dispose_handle;
}

}  // namespace

PF_Handle NewHostHandle(PF_InData* in_data, uint64_t size) {
    if (!hostCanAllocate(in_data)) return nullptr;
    return in_data->utils->host_new_handle(size);
}

void ReplaceSequenceRecord(PF_InData* in_data, PF_OutData* out_data, PF_Handle fresh) {
    PF_Handle old = in_data->sequence_data;
    if (old && old != fresh) in_data->utils->host_dispose_handle(old);
    in_data->sequence_data = fresh;
    out_data->sequence_data = fresh;
}

PF_Err EditTypingText(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library,
                      HMODULE module) {
    if (!in_data || !out_data || !hostCanAllocate(in_data)) return PF_Err_BAD_CALLBACK_PARAM;
    const std::string path = InterchangePath(EffectKind::Typing, module, kFirstInterchangeName);
    if (!WriteTypingInterchange(in_data, module)) {
        ShowEffectWarning(kQuillarineBreak, kTypingFileWarning);
        return PF_Err_NONE;
    }
    // Without the library there is no editor; the text stays as it is.
    if (!library.EditProperties) return PF_Err_NONE;
    if (library.EditProperties(HostMainWindow(in_data)) == 0) return PF_Err_NONE;

    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        ShowEffectWarning(kQuillarineBreak, kTypingFileWarning);
        return PF_Err_NONE;
    }
    uint32_t size = 0;
    if (fileSize(file, size)) {
        FreshRecord fresh(in_data, NewHostHandle(in_data, kTypingTextOffset + uint64_t{size}));
        if (!fresh.bytes) {
            fresh.discard();
            closeFile(file);
            return PF_Err_OUT_OF_MEMORY;
        }
        std::memset(fresh.bytes, 0, kTypingTextOffset);
        StoreLE32(fresh.bytes + offsetof(TypingInstanceRecord, textLength), static_cast<int32_t>(size));
        if (!readExactly(file, fresh.bytes + kTypingTextOffset, size)) {
            // A text read only in part would replace the user's text with a
            // damaged one: keep the old text.
            fresh.discard();
            closeFile(file);
            ShowEffectWarning(kQuillarineBreak, kTypingFileWarning);
            return PF_Err_NONE;
        }
        {
            LockedRecord old(in_data, in_data->sequence_data);
            const auto document = static_cast<HideRichDocument>(old.load32(offsetof(TypingInstanceRecord, document)));
            if (document && library.DeleteHideRich) library.DeleteHideRich(document);
        }
        ReplaceSequenceRecord(in_data, out_data, fresh.handle);
    }
    closeFile(file);
    out_data->out_flags |= kEditedOutFlags;
    return PF_Err_NONE;
}

PF_Err EditMorphTexts(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library,
                      HMODULE module) {
    if (!in_data || !out_data || !hostCanAllocate(in_data)) return PF_Err_BAD_CALLBACK_PARAM;
    const std::string firstPath = InterchangePath(EffectKind::Morphing, module, kFirstInterchangeName);
    const std::string secondPath = InterchangePath(EffectKind::Morphing, module, kSecondInterchangeName);
    HANDLE first = CreateInterchangeFile(firstPath);
    HANDLE second = CreateInterchangeFile(secondPath);
    if (first == INVALID_HANDLE_VALUE || second == INVALID_HANDLE_VALUE) {
        closeFile(first);
        closeFile(second);
        ShowEffectWarning(kMorthingBreak, kMorphWriteWarning);
        return PF_Err_NONE;
    }
    {
        LockedRecord record(in_data, in_data->sequence_data);
        const MorphTextExtents texts = MorphTexts(record.bytes(), record.size());
        const uint8_t* bytes = record.bytes();
        WriteAndCloseInterchange(first, bytes ? bytes + texts.first.offset : nullptr, texts.first.length);
        WriteAndCloseInterchange(second, bytes ? bytes + texts.second.offset : nullptr, texts.second.length);
    }
    if (!library.Edit2Properties) return PF_Err_NONE;
    if (library.Edit2Properties(HostMainWindow(in_data)) == 0) return PF_Err_NONE;

    first = openForReading(firstPath);
    second = openForReading(secondPath);
    if (first == INVALID_HANDLE_VALUE || second == INVALID_HANDLE_VALUE) {
        closeFile(first);
        closeFile(second);
        ShowEffectWarning(kQuillarineBreak, kMorphReadWarning);
        return PF_Err_NONE;
    }
    uint32_t size1 = 0, size2 = 0;
    PF_Err result = PF_Err_NONE;
    if (fileSize(first, size1) && fileSize(second, size2)) {
        FreshRecord fresh(in_data, NewHostHandle(in_data, kMorphTextOffset + uint64_t{size1} + size2));
        if (!fresh.bytes) {
            fresh.discard();
            result = PF_Err_OUT_OF_MEMORY;
        } else {
            std::memset(fresh.bytes, 0, kMorphTextOffset);
            StoreLE32(fresh.bytes + offsetof(MorphInstanceRecord, firstLength), static_cast<int32_t>(size1));
            StoreLE32(fresh.bytes + offsetof(MorphInstanceRecord, secondLength), static_cast<int32_t>(size2));
            if (readExactly(first, fresh.bytes + kMorphTextOffset, size1) &&
                readExactly(second, fresh.bytes + kMorphTextOffset + size1, size2)) {
                ReplaceSequenceRecord(in_data, out_data, fresh.handle);
            } else {
                fresh.discard();
                ShowEffectWarning(kQuillarineBreak, kMorphReadWarning);
                closeFile(first);
                closeFile(second);
                return PF_Err_NONE;
            }
        }
    }
    closeFile(first);
    closeFile(second);
    if (result != PF_Err_NONE) return result;
    out_data->out_flags |= kEditedOutFlags;
    return PF_Err_NONE;
}
