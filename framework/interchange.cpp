#include "framework/interchange.h"

#include "framework/module_paths.h"
#include "framework/plugin_globals.h"
#include "framework/sequence_data.h"

std::string InterchangePath(EffectKind effect, HMODULE module, const char* fileName) {
    std::string folder = CutFromEnd(ReadModuleFileName(module, kPluginPathSize), ShippedFileNameLength(effect));
    // Without a folder the file would land wherever the host happens to run.
    if (folder.empty()) return {};
    return folder + fileName;
}

HANDLE CreateInterchangeFile(const std::string& path) {
    if (path.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAndCloseInterchange(HANDLE file, const uint8_t* bytes, size_t length) {
    bool whole = true;
    // A text larger than one write can take goes in pieces.
    while (length > 0) {
        DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written != chunk) {
            whole = false;
            break;
        }
        bytes += chunk;
        length -= chunk;
    }
    CloseHandle(file);
    return whole;
}

bool WriteTypingInterchange(PF_InData* in_data, HMODULE module) {
    HANDLE file = CreateInterchangeFile(InterchangePath(EffectKind::Typing, module, kFirstInterchangeName));
    if (file == INVALID_HANDLE_VALUE) return false;
    LockedRecord record(in_data, in_data ? in_data->sequence_data : nullptr);
    TextExtent text = TypingText(record.bytes(), record.size());
    WriteAndCloseInterchange(file, record.bytes() ? record.bytes() + text.offset : nullptr, text.length);
    return true;
}

void ShowEffectWarning(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
}
