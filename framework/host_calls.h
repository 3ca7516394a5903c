// Small, careful wrappers around the host's callbacks: every one tolerates a
// host that leaves a callback out.
#pragma once

#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

// The host's main window, the parent of every modal window; 0 when the host
// cannot say.
HWND HostMainWindow(PF_InData* in_data);

// "PF Param Utils Suite" version 1 for the life of one command. A host
// without the basic suite service or without the suite gives none, and the
// caller skips what needed it.
class ParamUtilsSuite {
public:
    explicit ParamUtilsSuite(PF_InData* in_data);
    ~ParamUtilsSuite();
    ParamUtilsSuite(const ParamUtilsSuite&) = delete;
    ParamUtilsSuite& operator=(const ParamUtilsSuite&) = delete;

    const PF_ParamUtilsSuite1* get() const { return suite_; }

private:
    PF_BasicSuiteService* basic_ = nullptr;
    const PF_ParamUtilsSuite1* suite_ = nullptr;
};

// Greys a control out (disabled) or brings it back. Disabling sets the UI
// flag and the collapse flag together, so a disabled group also folds; the
// host's definition is copied whole and only these two bits change.
void SetControlEnabled(PF_InData* in_data, PF_ParamList params, const PF_ParamUtilsSuite1& suite,
                       int32_t index, bool enabled);
