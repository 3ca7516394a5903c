// The callbacks and suites the host hands plug-ins, and the effect
// references that tell the host which plug-in or instance a callback is
// about. A reference is a key into the host's table, never a pointer: a
// forged or stale one is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/core/composition.h"
#include "platform/effect_api/effect_api.h"

namespace zolhost {

class Plugin;
class Instance;

struct EffectContext {
    Plugin* plugin = nullptr;
    Instance* instance = nullptr;  // null for the plug-in's own commands
    // The definitions being registered, during parameter setup only.
    std::vector<PF_ParamDef>* collecting = nullptr;
    // The parameter array of the command under way, so that a re-shown
    // control is seen in it by the rest of the command.
    std::vector<PF_ParamDef>* working = nullptr;
    // Each context hands out its own copy, so a plug-in that scribbles on
    // the table harms nobody else.
    PF_UtilCallbacks utils{};
};

PF_ProgPtr registerContext(EffectContext* context);
void unregisterContext(PF_ProgPtr ref);
EffectContext* contextOf(PF_ProgPtr ref);

PF_InteractCallbacks interactCallbacks();
PF_UtilCallbacks utilCallbacks();
PF_BasicSuiteService* basicSuiteService();
// Suites acquired and not yet released, over the whole process.
int suitesHeld();

// in_data for one command, every field set: callbacks, the reference, high
// quality, the time of `frame`, the layer at the composition's size at full
// resolution, the sequence data and the suite service.
PF_InData makeInData(EffectContext& context, PF_ProgPtr ref, const Composition& comp, int32_t frame,
                     PF_Handle sequenceData);

// Copies at most PF_MAX_PARAM_NAME_LEN characters; the terminator only when
// the name leaves room for it.
char* copyParamName(char* dst, const char* src);

}  // namespace zolhost
