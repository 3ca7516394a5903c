// The effects' "options" command: the instance's texts go to the library's
// editor through the interchange files and come back, on Ok, as a new
// sequence-data record.
#pragma once

#include "framework/library_binding.h"
#include "platform/effect_api/effect_api.h"

// out_data flags after an edit: refresh the controls and render again.
inline constexpr int32_t kEditedOutFlags = PF_OutFlag_REFRESH_UI | PF_OutFlag_FORCE_RERENDER;

// The new record is allocated before the old one is given up, so a host
// that cannot give a handle leaves the instance's text as it was; the
// result is then -108.
PF_Err EditTypingText(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library,
                      HMODULE module);
PF_Err EditMorphTexts(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library,
                      HMODULE module);

// Replaces the instance's record by `fresh`, which the plug-in allocated;
// the old one is disposed.
void ReplaceSequenceRecord(PF_InData* in_data, PF_OutData* out_data, PF_Handle fresh);

// A handle of `size` bytes from the host, or null.
PF_Handle NewHostHandle(PF_InData* in_data, uint64_t size);
