// The one export of every plug-in, and what global setup reports.
#pragma once

#include <cstdint>

#include "platform/effect_api/effect_api.h"

inline constexpr uint32_t kEffectVersion = 0x00080600;
inline constexpr int32_t kEffectOutFlags = 0x04008476;

// The host calls `main` for every command. The program's own entry takes
// that name in C++, so the function is written as EffectMain and exported
// under its assembler name; nothing else of a plug-in is exported.
extern "C" __attribute__((visibility("default"))) PF_Err EffectMain(
    PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, PF_LayerDef* output,
    void* extra) __asm__("main");
