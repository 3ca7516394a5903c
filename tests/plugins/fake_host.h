// A small host for driving the real plug-in files: the callbacks a plug-in
// uses, handles that are exactly as large as asked (so the sanitizer sees
// every byte read past the end), a switch that refuses new handles, the
// parameter array and a recording "PF Param Utils Suite".
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

namespace fakehost {

struct Update {
    int32_t index;
    int32_t ui_flags;
    int32_t flags;
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // ---- handles
    bool refuseHandles = false;
    uint8_t fillByte = 0;  // what new handles hold before the plug-in writes
    PF_Handle MakeHandle(const std::vector<uint8_t>& bytes);  // never refused
    std::vector<uint8_t> Bytes(PF_Handle h) const;
    bool Live(PF_Handle h) const;
    size_t LiveHandles() const { return handles_.size(); }
    int newCalls = 0, disposeCalls = 0, lockCalls = 0, unlockCalls = 0;
    int lockedNow = 0;

    // ---- parameters
    std::vector<PF_ParamDef> added;  // as add_param received them
    std::vector<std::string> names;  // the names the plug-in copied, whole
    int failAddAt = 0;               // 1-based add that fails; 0 for none
    PF_Err failWith = PF_Err_INTERNAL;
    int addCalls = 0;
    int registerUiCalls = 0;
    PF_CustomUIInfo ui{};
    PF_Err registerUiResult = PF_Err_NONE;
    int badCalls = 0;  // a callback called with a wrong effect reference or index

    // The parameter array the plug-in gets: the input layer, then what it
    // registered (or any definitions a test puts there).
    std::vector<PF_ParamDef> params;
    void UseRegisteredParams();
    PF_ParamList ParamList();
    void SetAllLooks(bool enabled);  // the two interplay bits of every definition
    bool Enabled(int32_t index) const;
    bool Disabled(int32_t index) const;

    // ---- suites
    bool offerBasicSuite = true;
    bool offerParamUtils = true;
    int acquires = 0, releases = 0;
    std::vector<Update> updates;
    int updatesWithForeignChanges = 0;  // copies differing in more than the two bits
    int updatesWithHostDefinition = 0;  // the host's own definition passed back

    // ---- platform data
    int mainWindowQueries = 0;

    // ---- the command records
    PF_InData in{};
    PF_OutData out{};
    void ResetCommandRecords();  // fresh in_data and out_data, same host

    static FakeHost* current;

private:
    struct HandleRec {
        std::unique_ptr<uint8_t[]> bytes;
        size_t size = 0;
    };
    static PF_Handle newHandle(uint64_t size);
    static void* lockHandle(PF_Handle h);
    static void unlockHandle(PF_Handle h);
    static void disposeHandle(PF_Handle h);
    static uint64_t handleSize(PF_Handle h);
    static PF_Err platformData(PF_ProgPtr ref, PF_PlatDataID which, void* out);
    static PF_Err drawingData(PF_ProgPtr ref, PF_PortH port, int32_t which, void* out);
    static char* copyName(char* dst, const char* src);
    static PF_Err addParam(PF_ProgPtr ref, int32_t index, PF_ParamDef* def);
    static PF_Err registerUi(PF_ProgPtr ref, PF_CustomUIInfo* info);
    static PF_Err acquireSuite(const char* name, int32_t version, const void** suite);
    static PF_Err releaseSuite(const char* name, int32_t version);
    static PF_Err updateParamUi(PF_ProgPtr ref, int32_t index, const PF_ParamDef* def);

    PF_Handle allocate(size_t size);
    HandleRec* find(PF_Handle h) const;

    std::map<PF_Handle, std::unique_ptr<HandleRec>> handles_;
    std::vector<PF_ParamDef*> list_;
    PF_UtilCallbacks utils_{};
    PF_BasicSuiteService basic_{};
    PF_ParamUtilsSuite1 paramUtils_{};
};

// One plug-in file loaded through the platform, as a host loads it.
class LoadedPlugin {
public:
    explicit LoadedPlugin(const std::string& path);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool loaded() const { return main_ != nullptr; }
    HMODULE module() const { return module_; }
    PF_Err operator()(PF_Cmd cmd, FakeHost& host, void* extra = nullptr);

private:
    HMODULE module_ = nullptr;
    PF_EntryFunc main_ = nullptr;
};

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return path_; }
    // Copies `file` into the folder under `name`; returns the new path.
    std::string Copy(const std::string& file, const std::string& name) const;
    // Lines of "loads.txt", the test library's record of its loads here.
    std::vector<std::string> LibraryLoads() const;

private:
    std::filesystem::path path_;
};

// Points the registry at a folder of its own for as long as it lives, so
// tests running side by side never share one.
class IsolatedRegistry {
public:
    IsolatedRegistry();
    ~IsolatedRegistry();

private:
    TempFolder folder_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The state of the floating-point controls without the pending exception
// flags, which arithmetic anywhere may raise.
struct FloatControls {
    uint16_t x87;
    uint32_t mxcsr;
    bool operator==(const FloatControls&) const = default;
};
FloatControls CurrentFloatControls();

}  // namespace fakehost
