#include "fake_host.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace fakehost {

FakeHost* FakeHost::current = nullptr;

namespace {

PF_ProgPtr effectRef() { return reinterpret_cast<PF_ProgPtr>(static_cast<uintptr_t>(0x5EFF)); }

// The two bits the interplay may change.
constexpr int32_t kLookBits = 0x20;

bool sameButLooks(const PF_ParamDef& a, const PF_ParamDef& b) {
    PF_ParamDef x = a, y = b;
    x.ui_flags &= ~kLookBits;
    y.ui_flags &= ~kLookBits;
    x.flags &= ~kLookBits;
    y.flags &= ~kLookBits;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

}  // namespace

FakeHost::FakeHost() {
    current = this;
    utils_.host_new_handle = newHandle;
    utils_.host_lock_handle = lockHandle;
    utils_.host_unlock_handle = unlockHandle;
    utils_.host_dispose_handle = disposeHandle;
    utils_.host_get_handle_size = handleSize;
    utils_.get_platform_data = platformData;
    utils_.get_drawing_data = drawingData;
    utils_.ansi.strcpy = copyName;
    basic_.AcquireSuite = acquireSuite;
    basic_.ReleaseSuite = releaseSuite;
    paramUtils_.PF_UpdateParamUI = updateParamUi;
    ResetCommandRecords();
    PF_ParamDef layer{};
    std::memset(static_cast<void*>(&layer), 0, sizeof layer);
    layer.param_type = PF_Param_LAYER;
    params.push_back(layer);
}

FakeHost::~FakeHost() {
    if (current == this) current = nullptr;
}

void FakeHost::ResetCommandRecords() {
    std::memset(static_cast<void*>(&in), 0, sizeof in);
    std::memset(static_cast<void*>(&out), 0, sizeof out);
    in.inter.add_param = addParam;
    in.inter.register_ui = registerUi;
    in.utils = &utils_;
    in.effect_ref = effectRef();
    in.quality = PF_Quality_HI;
    in.time_scale = 30;
    in.local_time_step = 1;
    in.width = 1280;
    in.height = 720;
    in.downsample_x = {1, 1};
    in.downsample_y = {1, 1};
    in.pica_basicP = offerBasicSuite ? &basic_ : nullptr;
}

// ---------------------------------------------------------------- handles

PF_Handle FakeHost::allocate(size_t size) {
    auto rec = std::make_unique<HandleRec>();
    // Exactly `size` bytes, so one byte beyond is a sanitizer error.
    rec->bytes.reset(new uint8_t[size == 0 ? 1 : size]);
    std::memset(rec->bytes.get(), fillByte, size == 0 ? 1 : size);
    rec->size = size;
    auto h = reinterpret_cast<PF_Handle>(rec.get());
    handles_.emplace(h, std::move(rec));
    return h;
}

FakeHost::HandleRec* FakeHost::find(PF_Handle h) const {
    auto it = handles_.find(h);
    return it == handles_.end() ? nullptr : it->second.get();
}

PF_Handle FakeHost::MakeHandle(const std::vector<uint8_t>& bytes) {
    PF_Handle h = allocate(bytes.size());
    if (!bytes.empty()) std::memcpy(find(h)->bytes.get(), bytes.data(), bytes.size());
    return h;
}

std::vector<uint8_t> FakeHost::Bytes(PF_Handle h) const {
    HandleRec* r = find(h);
    if (!r) return {};
    return std::vector<uint8_t>(r->bytes.get(), r->bytes.get() + r->size);
}

bool FakeHost::Live(PF_Handle h) const { return find(h) != nullptr; }

PF_Handle FakeHost::newHandle(uint64_t size) {
    FakeHost* h = current;
    ++h->newCalls;
    if (h->refuseHandles || size > (1u << 30)) return nullptr;
    return h->allocate(static_cast<size_t>(size));
}

void* FakeHost::lockHandle(PF_Handle handle) {
    FakeHost* h = current;
    ++h->lockCalls;
    HandleRec* r = h->find(handle);
    if (!r) return nullptr;
    ++h->lockedNow;
    return r->bytes.get();
}

void FakeHost::unlockHandle(PF_Handle handle) {
    FakeHost* h = current;
    ++h->unlockCalls;
    if (h->find(handle)) --h->lockedNow;
}

void FakeHost::disposeHandle(PF_Handle handle) {
    FakeHost* h = current;
    ++h->disposeCalls;
    h->handles_.erase(handle);
}

uint64_t FakeHost::handleSize(PF_Handle handle) {
    HandleRec* r = current->find(handle);
    return r ? r->size : 0;
}

// ---------------------------------------------------------------- callbacks

PF_Err FakeHost::platformData(PF_ProgPtr ref, PF_PlatDataID which, void* out) {
    FakeHost* h = current;
    if (ref != effectRef()) ++h->badCalls;
    if (which != PF_PlatData_MAIN_WND || !out) return PF_Err_BAD_CALLBACK_PARAM;
    ++h->mainWindowQueries;
    *static_cast<HWND*>(out) = ZolHostMainWindow();
    return PF_Err_NONE;
}

PF_Err FakeHost::drawingData(PF_ProgPtr, PF_PortH, int32_t, void*) { return PF_Err_BAD_CALLBACK_PARAM; }

char* FakeHost::copyName(char* dst, const char* src) {
    current->names.push_back(src ? src : "");
    // A fixed field: as many characters as fit, terminated when there is room.
    std::strncpy(dst, src ? src : "", PF_MAX_PARAM_NAME_LEN);
    return dst;
}

PF_Err FakeHost::addParam(PF_ProgPtr ref, int32_t index, PF_ParamDef* def) {
    FakeHost* h = current;
    ++h->addCalls;
    if (ref != effectRef() || index != -1 || !def) ++h->badCalls;
    if (h->addCalls == h->failAddAt) return h->failWith;
    h->added.push_back(*def);
    return PF_Err_NONE;
}

PF_Err FakeHost::registerUi(PF_ProgPtr ref, PF_CustomUIInfo* info) {
    FakeHost* h = current;
    if (ref != effectRef() || !info) ++h->badCalls;
    ++h->registerUiCalls;
    if (info) h->ui = *info;
    return h->registerUiResult;
}

PF_Err FakeHost::acquireSuite(const char* name, int32_t version, const void** suite) {
    FakeHost* h = current;
    *suite = nullptr;
    if (!h->offerParamUtils || std::strcmp(name, kPFParamUtilsSuite) != 0 ||
        version != kPFParamUtilsSuiteVersion1)
        return PF_Err_BAD_CALLBACK_PARAM;
    ++h->acquires;
    *suite = &h->paramUtils_;
    return PF_Err_NONE;
}

PF_Err FakeHost::releaseSuite(const char* name, int32_t version) {
    FakeHost* h = current;
    if (std::strcmp(name, kPFParamUtilsSuite) != 0 || version != kPFParamUtilsSuiteVersion1)
        ++h->badCalls;
    ++h->releases;
    return PF_Err_NONE;
}

PF_Err FakeHost::updateParamUi(PF_ProgPtr ref, int32_t index, const PF_ParamDef* def) {
    FakeHost* h = current;
    if (ref != effectRef() || !def || index < 0 || static_cast<size_t>(index) >= h->params.size()) {
        ++h->badCalls;
        return PF_Err_INVALID_INDEX;
    }
    PF_ParamDef& mine = h->params[index];
    if (def == &mine) ++h->updatesWithHostDefinition;
    if (!sameButLooks(*def, mine)) ++h->updatesWithForeignChanges;
    h->updates.push_back({index, def->ui_flags, def->flags});
    mine.ui_flags = def->ui_flags;
    mine.flags = def->flags;
    return PF_Err_NONE;
}

// ---------------------------------------------------------------- parameters

void FakeHost::UseRegisteredParams() {
    params.erase(params.begin() + 1, params.end());
    params.insert(params.end(), added.begin(), added.end());
}

PF_ParamList FakeHost::ParamList() {
    list_.clear();
    for (PF_ParamDef& d : params) list_.push_back(&d);
    return list_.data();
}

void FakeHost::SetAllLooks(bool enabled) {
    for (PF_ParamDef& d : params) {
        d.ui_flags = enabled ? d.ui_flags & ~kLookBits : d.ui_flags | kLookBits;
        d.flags = enabled ? d.flags & ~kLookBits : d.flags | kLookBits;
    }
}

bool FakeHost::Enabled(int32_t index) const {
    const PF_ParamDef& d = params.at(index);
    return !(d.ui_flags & kLookBits) && !(d.flags & kLookBits);
}

bool FakeHost::Disabled(int32_t index) const {
    const PF_ParamDef& d = params.at(index);
    return (d.ui_flags & kLookBits) && (d.flags & kLookBits);
}

// ---------------------------------------------------------------- plug-ins

LoadedPlugin::LoadedPlugin(const std::string& path) {
    module_ = LoadLibraryA(path.c_str());
    if (!module_) return;
    FARPROC entry = GetProcAddress(module_, "main");
    main_ = reinterpret_cast<PF_EntryFunc>(entry);
}

LoadedPlugin::~LoadedPlugin() {
    if (module_) FreeLibrary(module_);
}

PF_Err LoadedPlugin::operator()(PF_Cmd cmd, FakeHost& host, void* extra) {
    FakeHost::current = &host;
    return main_(cmd, &host.in, &host.out, host.ParamList(), nullptr, extra);
}

// ---------------------------------------------------------------- folders

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zol-plugins-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path_ = buf.data();
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::Copy(const std::string& file, const std::string& name) const {
    std::filesystem::path to = path_ / name;
    std::filesystem::copy_file(file, to, std::filesystem::copy_options::overwrite_existing);
    return to.string();
}

std::vector<std::string> TempFolder::LibraryLoads() const {
    std::vector<std::string> lines;
    std::ifstream in(path_ / "loads.txt");
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

IsolatedRegistry::IsolatedRegistry() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
    hadPrevious_ = std::getenv("XDG_CONFIG_HOME") != nullptr;
    setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
}

IsolatedRegistry::~IsolatedRegistry() {
    if (hadPrevious_)
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

FloatControls CurrentFloatControls() {
    FloatControlState s = GetFloatControl();
    return {s.x87, s.mxcsr & ~0x3Fu};
}

}  // namespace fakehost
