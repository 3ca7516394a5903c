#include "host/core/callbacks.h"

#include <cstring>
#include <unordered_map>

#include "host/core/handles.h"
#include "host/core/instance.h"
#include "host/core/plugin.h"
#include "platform/win/winapi.h"

namespace zolhost {

namespace {

struct Registry {
    std::unordered_map<uintptr_t, EffectContext*> contexts;
    uintptr_t next = 0x1000;
};

Registry& registry() {
    static Registry r;
    return r;
}

int& heldSuites() {
    static int n = 0;
    return n;
}

// Every callback is entered from a plug-in's C code: nothing may escape.
template <class F>
PF_Err guarded(F&& f) {
    try {
        return f();
    } catch (...) {
        return PF_Err_INTERNAL;
    }
}

PF_Err cbAddParam(PF_ProgPtr ref, int32_t index, PF_ParamDef* def) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c || !c->plugin || !c->collecting || !def) return PF_Err_BAD_CALLBACK_PARAM;
        return c->plugin->addParam(*c->collecting, index, *def);
    });
}

PF_Err cbRegisterUI(PF_ProgPtr ref, PF_CustomUIInfo* info) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c || !c->plugin || !info) return PF_Err_BAD_CALLBACK_PARAM;
        c->plugin->registerUI(*info);
        return PF_Err_NONE;
    });
}

PF_Err cbCheckout(PF_ProgPtr ref, int32_t index, int32_t what_time, int32_t time_step, uint32_t time_scale,
                  PF_ParamDef* out) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c || !c->instance || !out) return PF_Err_BAD_CALLBACK_PARAM;
        return c->instance->checkout(index, what_time, time_step, time_scale, *out);
    });
}

PF_Err cbCheckin(PF_ProgPtr ref, PF_ParamDef* def) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c || !c->instance || !def) return PF_Err_BAD_CALLBACK_PARAM;
        return c->instance->checkin(*def);
    });
}

PF_Err cbProgress(PF_ProgPtr ref, int32_t current, int32_t total) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c) return PF_Err_BAD_CALLBACK_PARAM;
        if (c->instance) c->instance->progress(current, total);
        return PF_Err_NONE;
    });
}

PF_Handle cbNewHandle(uint64_t size) {
    try {
        return handles::newHandle(size);
    } catch (...) {
        return nullptr;
    }
}
void* cbLockHandle(PF_Handle h) {
    try {
        return handles::lock(h);
    } catch (...) {
        return nullptr;
    }
}
void cbUnlockHandle(PF_Handle h) {
    try {
        handles::unlock(h);
    } catch (...) {
    }
}
void cbDisposeHandle(PF_Handle h) {
    try {
        handles::dispose(h);
    } catch (...) {
    }
}
uint64_t cbHandleSize(PF_Handle h) {
    try {
        return handles::size(h);
    } catch (...) {
        return 0;
    }
}

PF_Err cbPlatformData(PF_ProgPtr ref, PF_PlatDataID which, void* out) {
    return guarded([&]() -> PF_Err {
        if (!contextOf(ref) || !out) return PF_Err_BAD_CALLBACK_PARAM;
        if (which != PF_PlatData_MAIN_WND) return PF_Err_BAD_CALLBACK_PARAM;
        HWND main = ZolHostMainWindow();
        std::memcpy(out, &main, sizeof main);
        return PF_Err_NONE;
    });
}

// No control area is drawn yet: the plug-ins' custom UI gets no device
// context and must cope.
PF_Err cbDrawingData(PF_ProgPtr ref, PF_PortH port, int32_t which, void* out) {
    return guarded([&]() -> PF_Err {
        if (out) std::memset(out, 0, sizeof(void*));
        return PF_Err_BAD_CALLBACK_PARAM;
    });
}

char* cbStrcpy(char* dst, const char* src) {
    try {
        return copyParamName(dst, src);
    } catch (...) {
        return dst;
    }
}

PF_Err suiteUpdateParamUI(PF_ProgPtr ref, int32_t index, const PF_ParamDef* def) {
    return guarded([&]() -> PF_Err {
        EffectContext* c = contextOf(ref);
        if (!c || !c->instance || !def) return PF_Err_BAD_CALLBACK_PARAM;
        return c->instance->updateParamUI(index, *def);
    });
}

const PF_ParamUtilsSuite1 kParamUtilsSuite = {suiteUpdateParamUI};

PF_Err suiteAcquire(const char* name, int32_t version, const void** suite) {
    return guarded([&]() -> PF_Err {
        if (!suite) return PF_Err_BAD_CALLBACK_PARAM;
        *suite = nullptr;
        if (!name || std::strcmp(name, kPFParamUtilsSuite) != 0 || version != kPFParamUtilsSuiteVersion1)
            return PF_Err_BAD_CALLBACK_PARAM;
        *suite = &kParamUtilsSuite;
        ++heldSuites();
        return PF_Err_NONE;
    });
}

PF_Err suiteRelease(const char* name, int32_t version) {
    return guarded([&]() -> PF_Err {
        if (!name || std::strcmp(name, kPFParamUtilsSuite) != 0 || version != kPFParamUtilsSuiteVersion1)
            return PF_Err_BAD_CALLBACK_PARAM;
        if (heldSuites() <= 0) return PF_Err_BAD_CALLBACK_PARAM;
        --heldSuites();
        return PF_Err_NONE;
    });
}

PF_BasicSuiteService gBasicSuite = {suiteAcquire, suiteRelease};

}  // namespace

PF_ProgPtr registerContext(EffectContext* context) {
    Registry& r = registry();
    uintptr_t key = r.next;
    r.next += 0x10;
    r.contexts.emplace(key, context);
    return reinterpret_cast<PF_ProgPtr>(key);
}

void unregisterContext(PF_ProgPtr ref) { registry().contexts.erase(reinterpret_cast<uintptr_t>(ref)); }

EffectContext* contextOf(PF_ProgPtr ref) {
    auto& contexts = registry().contexts;
    auto it = contexts.find(reinterpret_cast<uintptr_t>(ref));
    return it == contexts.end() ? nullptr : it->second;
}

PF_InteractCallbacks interactCallbacks() { return {cbAddParam, cbRegisterUI, cbCheckout, cbCheckin, cbProgress}; }

PF_UtilCallbacks utilCallbacks() {
    PF_UtilCallbacks u{};
    u.host_new_handle = cbNewHandle;
    u.host_lock_handle = cbLockHandle;
    u.host_unlock_handle = cbUnlockHandle;
    u.host_dispose_handle = cbDisposeHandle;
    u.host_get_handle_size = cbHandleSize;
    u.get_platform_data = cbPlatformData;
    u.get_drawing_data = cbDrawingData;
    u.ansi.strcpy = cbStrcpy;
    return u;
}

PF_BasicSuiteService* basicSuiteService() {
    // Restored on every command in case a plug-in overwrote the table.
    gBasicSuite = {suiteAcquire, suiteRelease};
    return &gBasicSuite;
}

int suitesHeld() { return heldSuites(); }

PF_InData makeInData(EffectContext& context, PF_ProgPtr ref, const Composition& comp, int32_t frame,
                     PF_Handle sequenceData) {
    context.utils = utilCallbacks();
    PF_InData in{};
    in.inter = interactCallbacks();
    in.utils = &context.utils;
    in.effect_ref = ref;
    in.quality = PF_Quality_HI;
    in.current_time = comp.timeOf(frame);
    in.local_time_step = comp.timeStep();
    in.total_time = comp.timeOf(comp.duration);
    in.time_scale = comp.timeScale();
    in.width = comp.width;
    in.height = comp.height;
    in.downsample_x = {1, 1};
    in.downsample_y = {1, 1};
    in.sequence_data = sequenceData;
    in.pica_basicP = basicSuiteService();
    return in;
}

char* copyParamName(char* dst, const char* src) {
    if (!dst) return dst;
    if (!src) {
        dst[0] = '\0';
        return dst;
    }
    // A name of exactly PF_MAX_PARAM_NAME_LEN characters ("Leading (Interval
    // between Lines)") fills the field and goes without a terminator; readers
    // take the name with strnlen over the whole field.
    size_t n = strnlen(src, PF_MAX_PARAM_NAME_LEN);
    std::memcpy(dst, src, n);
    if (n < PF_MAX_PARAM_NAME_LEN) dst[n] = '\0';
    return dst;
}

}  // namespace zolhost
