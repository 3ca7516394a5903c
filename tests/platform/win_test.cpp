// The kernel and user stand-ins: what the system's code relies on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/testhooks.h"
#include "platform/win/winapi.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/zolwinXXXXXX";
        path_ = mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, ec);
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---------------------------------------------------------------- run-time generator

TEST(CrtRand, SequenceOfTheRunTimeLibrary) {
    // First values of the run-time library's generator after srand(1).
    crt::srand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) EXPECT_EQ(crt::rand(), e);
}

TEST(CrtRand, ReseedingRestartsAndLargeSeedsWrap) {
    crt::srand(0xFFFFFFFFu);
    int a = crt::rand(), b = crt::rand();
    // x1 = 0xFFFFFFFF * 214013 + 2531011 mod 2^32 = 2316998 → (x1 >> 16) & 0x7FFF = 35
    EXPECT_EQ(a, 35);
    crt::srand(0xFFFFFFFFu);
    EXPECT_EQ(crt::rand(), a);
    EXPECT_EQ(crt::rand(), b);
}

TEST(CrtRand, IndependentOfTheCLibraryGenerator) {
    crt::srand(7);
    int first = crt::rand();
    std::srand(7);
    (void)std::rand();
    (void)std::rand();
    crt::srand(7);
    EXPECT_EQ(crt::rand(), first);
    crt::srand(7);
    (void)crt::rand();
    std::srand(1234);
    int second = crt::rand();
    crt::srand(7);
    (void)crt::rand();
    EXPECT_EQ(crt::rand(), second);
}

// ---------------------------------------------------------------- handle tables

TEST(HandleTable, StaleWrongKindAndForgedHandlesAreRefused) {
    int object = 5;
    uint32_t h = ZolHandleAdd(ZolKind_Document, &object);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, h), &object);
    EXPECT_EQ(ZolHandleGet(ZolKind_Window, h), nullptr);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, 0), nullptr);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, h + 1), nullptr);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(ZolHandleRemove(ZolKind_Document, h), &object);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, h), nullptr);
    EXPECT_EQ(ZolHandleRemove(ZolKind_Document, h), nullptr);

    // The slot is reused with a new generation: the old handle stays dead.
    uint32_t again = ZolHandleAdd(ZolKind_Document, &object);
    EXPECT_NE(again, h);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, h), nullptr);
    EXPECT_EQ(ZolHandleGet(ZolKind_Document, again), &object);
    ZolHandleRemove(ZolKind_Document, again);
}

TEST(HandleTable, CountsFollowAddsAndRemoves) {
    uint32_t before = ZolHandleCount(ZolKind_Document);
    int o = 0;
    std::vector<uint32_t> hs;
    for (int i = 0; i < 3000; ++i) hs.push_back(ZolHandleAdd(ZolKind_Document, &o));
    EXPECT_EQ(ZolHandleCount(ZolKind_Document), before + 3000);
    for (uint32_t h : hs) ZolHandleRemove(ZolKind_Document, h);
    EXPECT_EQ(ZolHandleCount(ZolKind_Document), before);
}

// ---------------------------------------------------------------- files

TEST(Files, NamesMatchWithoutRegardToCase) {
    TempDir dir;
    HANDLE w = CreateFileA(dir.file("Stream.tmp").c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(w, "abc", 3, &n, nullptr));
    EXPECT_EQ(n, 3u);
    CloseHandle(w);

    // Rewriting under another case replaces the one file, not a second one.
    w = CreateFileA(dir.file("stream.TMP").c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteFile(w, "hello", 5, &n, nullptr));
    CloseHandle(w);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(slurp(dir.file("Stream.tmp")), "hello");

    HANDLE r = CreateFileA(dir.file("STREAM.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(r, INVALID_HANDLE_VALUE);
    FILE_INFORMATION info{};
    ASSERT_TRUE(GetFileInformation(r, &info));
    EXPECT_EQ(info.sizeLow, 5u);
    EXPECT_EQ(info.sizeHigh, 0u);
    char buf[16] = {};
    ASSERT_TRUE(ReadFile(r, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(n, 5u);  // a short read at the end is not a failure
    EXPECT_STREQ(buf, "hello");
    EXPECT_TRUE(CloseHandle(r));
    EXPECT_FALSE(CloseHandle(r));
}

TEST(Files, FoldersMatchWithoutRegardToCaseToo) {
    TempDir dir;
    fs::create_directory(dir.file("Plug-ins"));
    std::ofstream(dir.file("Plug-ins/Data.BIN")) << "x";
    char out[1024];
    ResolvePathNoCase(dir.file("plug-INS/data.bin").c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), dir.file("Plug-ins/Data.BIN"));
    // A name that matches nothing is kept as given below the matched folder.
    ResolvePathNoCase(dir.file("PLUG-INS/new.txt").c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), dir.file("Plug-ins/new.txt"));
}

struct OpenFailure {
    const char* what;
    DWORD access, creation;
    bool existing;
    DWORD error;
};

TEST(Files, FailuresAreReportedNotCrashes) {
    const OpenFailure cases[] = {
        {"missing file, open existing", GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND},
        {"create new over an existing file", GENERIC_WRITE, CREATE_NEW, true, ERROR_FILE_EXISTS},
        {"unknown creation mode", GENERIC_WRITE, 99, false, ERROR_INVALID_PARAMETER},
        {"no access asked", 0, OPEN_EXISTING, true, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.existing) std::ofstream(dir.file("f.txt")) << "keep";
        HANDLE h = CreateFileA(dir.file("f.txt").c_str(), c.access, 0, nullptr, c.creation,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(h, INVALID_HANDLE_VALUE) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        if (c.existing) {
            EXPECT_EQ(slurp(dir.file("f.txt")), "keep") << c.what;
        }
    }
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST(Files, UncreatableFileIsRefused) {
    TempDir dir;
    // A file where a folder should be stops even a privileged user.
    std::ofstream(dir.file("blocker")) << "x";
    HANDLE h = CreateFileA(dir.file("blocker/x.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    if (geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        h = CreateFileA(dir.file("x.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
}

TEST(Files, WrongDirectionAndBadHandlesAreRefused) {
    TempDir dir;
    HANDLE w = CreateFileA(dir.file("a").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    char buf[4];
    DWORD n = 99;
    EXPECT_FALSE(ReadFile(w, buf, 4, &n, nullptr));
    EXPECT_EQ(n, 0u);
    CloseHandle(w);
    EXPECT_FALSE(WriteFile(w, "x", 1, &n, nullptr));  // closed
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, buf, 4, &n, nullptr));
    FILE_INFORMATION info;
    EXPECT_FALSE(GetFileInformation(nullptr, &info));
    // A directory is not a file.
    EXPECT_EQ(CreateFileA(dir.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

// ---------------------------------------------------------------- modules

std::string mixedCaseCopy(const TempDir& dir) {
    // The module under the name the system would write with other case.
    std::string copy = dir.file("TestModule.Lib");
    fs::copy_file(ZOL_TEST_MODULE, copy);
    return copy;
}

TEST(Modules, LibraryNamesMatchWithoutRegardToCase) {
    TempDir dir;
    std::string real = mixedCaseCopy(dir);
    HMODULE m = LoadLibraryA(dir.file("testmodule.LIB").c_str());
    ASSERT_NE(m, nullptr);
    char name[1024];
    EXPECT_EQ(GetModuleFileNameA(m, name, sizeof name), real.size());
    EXPECT_EQ(std::string(name), real);

    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(m, "zol_test_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(m, "EditProperties"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    // The module of an address inside it is the same module.
    EXPECT_EQ(GetModuleHandleFromAddress(reinterpret_cast<const void*>(answer)), m);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_FALSE(FreeLibrary(m));  // stale
    char after[16];
    EXPECT_EQ(GetModuleFileNameA(m, after, sizeof after), 0u);
}

TEST(Modules, NullAndMissingAreRefusedHarmlessly) {
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryA("/nonexistent/ZOLQuillarine.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(nullptr, "main"), nullptr);
    TempDir dir;
    std::ofstream(dir.file("fake.dll")) << "not a library";
    EXPECT_EQ(LoadLibraryA(dir.file("fake.dll").c_str()), nullptr);
}

TEST(Modules, FileNameIsTruncatedToTheBuffer) {
    TempDir dir;
    std::string real = mixedCaseCopy(dir);
    HMODULE m = LoadLibraryA(real.c_str());
    ASSERT_NE(m, nullptr);
    char small[8];
    EXPECT_EQ(GetModuleFileNameA(m, small, sizeof small), 7u);
    EXPECT_EQ(std::string(small), real.substr(0, 7));
    char program[1024];
    EXPECT_GT(GetModuleFileNameA(nullptr, program, sizeof program), 0u);
    EXPECT_EQ(program[0], '/');
    FreeLibrary(m);
}

TEST(Modules, LoadingTwiceNeedsFreeingTwice) {
    TempDir dir;
    std::string real = mixedCaseCopy(dir);
    HMODULE a = LoadLibraryA(real.c_str());
    HMODULE b = LoadLibraryA(real.c_str());
    ASSERT_EQ(a, b);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_NE(GetProcAddress(a, "zol_test_answer"), nullptr);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(GetProcAddress(a, "zol_test_answer"), nullptr);
}

TEST(Resources, FoundInTheFileAndInTheLoadedModule) {
    const std::string expected = "name=Test Module\nentry=main\n";
    char buf[256] = {};
    DWORD n = ReadFileResource(ZOL_TEST_MODULE, RT_ZOL_PROPERTIES, 1, buf, sizeof buf);
    ASSERT_EQ(n, expected.size());
    EXPECT_EQ(std::string(buf, n), expected);
    EXPECT_EQ(ReadFileResource(ZOL_TEST_MODULE, RT_ZOL_PROPERTIES, 7, nullptr, 0), expected.size());
    EXPECT_EQ(ReadFileResource(ZOL_TEST_MODULE, RT_ZOL_BITMAP, 1, buf, sizeof buf), 0u);
    EXPECT_EQ(ReadFileResource(ZOL_TEST_MODULE, RT_ZOL_PROPERTIES, 2, buf, sizeof buf), 0u);
    EXPECT_EQ(ReadFileResource("/nonexistent", RT_ZOL_PROPERTIES, 1, buf, sizeof buf), 0u);

    HMODULE m = LoadLibraryA(ZOL_TEST_MODULE);
    ASSERT_NE(m, nullptr);
    DWORD size = 0;
    auto* p = static_cast<const char*>(FindModuleResource(m, RT_ZOL_PROPERTIES, 1, &size));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, size), expected);
    EXPECT_EQ(FindModuleResource(nullptr, RT_ZOL_PROPERTIES, 1, &size), nullptr);
    FreeLibrary(m);
}

TEST(Resources, FilesThatAreNotModulesHaveNone) {
    TempDir dir;
    std::ofstream(dir.file("junk")) << std::string(100, '\x7f');
    std::ofstream(dir.file("empty"));
    char buf[16];
    EXPECT_EQ(ReadFileResource(dir.file("junk").c_str(), RT_ZOL_PROPERTIES, 1, buf, sizeof buf), 0u);
    EXPECT_EQ(ReadFileResource(dir.file("empty").c_str(), RT_ZOL_PROPERTIES, 1, buf, sizeof buf), 0u);
}

// ---------------------------------------------------------------- memory, floating point

TEST(PageAllocator, ZeroedBlocksAndStrictRelease) {
    auto* p = static_cast<unsigned char*>(VirtualAlloc(nullptr, 10000, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(p[i], 0);
    p[9999] = 1;
    EXPECT_FALSE(VirtualFree(p + 1, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(p, 10000, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(p, 0, MEM_RELEASE));
    EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
}

TEST(FloatControl, SavedStateComesBack) {
    FloatControlState saved = GetFloatControl();
    FloatControlState changed = saved;
    changed.x87 = static_cast<uint16_t>((saved.x87 & ~0x0C00) | 0x0C00);  // round toward zero
    changed.mxcsr = (saved.mxcsr & ~0x6000u) | 0x6000u;
    SetFloatControl(changed);
    EXPECT_EQ(GetFloatControl().x87, changed.x87);
    EXPECT_EQ(GetFloatControl().mxcsr & 0x6000u, 0x6000u);
    ClearFloatExceptions();
    SetFloatControl(saved);
    EXPECT_EQ(GetFloatControl().x87, saved.x87);
    EXPECT_EQ(GetFloatControl().mxcsr & ~0x3Fu, saved.mxcsr & ~0x3Fu);
}

TEST(FloatControl, PendingExceptionsAreCleared) {
    volatile float zero = 0.0f;
    volatile float r = 1.0f / zero;  // raises the divide-by-zero flag
    (void)r;
    EXPECT_NE(GetFloatControl().mxcsr & 0x04u, 0u);
    ClearFloatExceptions();
    EXPECT_EQ(GetFloatControl().mxcsr & 0x3Fu, 0u);
}

// ---------------------------------------------------------------- boxes and dialogs

TEST(MessageBox, RecordedWithCaptionAndText) {
    ZolClearMessageBoxes();
    EXPECT_EQ(MessageBoxA(nullptr, "You hav problem", "Quillarine Break", MB_ICONWARNING), IDOK);
    MessageBoxA(nullptr, nullptr, nullptr, MB_OK);
    ASSERT_EQ(ZolMessageBoxes().size(), 2u);
    EXPECT_EQ(ZolMessageBoxes()[0].caption, "Quillarine Break");
    EXPECT_EQ(ZolMessageBoxes()[0].text, "You hav problem");
    EXPECT_EQ(ZolMessageBoxes()[0].type, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(ZolMessageBoxes()[1].text, "");
}

struct DialogLog {
    std::vector<UINT> messages;
    bool endOnCommand = true;
};
DialogLog* g_log = nullptr;

INT_PTR loggingProc(HWND dialog, UINT msg, WPARAM w, LPARAM) {
    g_log->messages.push_back(msg);
    if (msg == WM_COMMAND && g_log->endOnCommand && HIWORD(w) == 0 &&
        (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(w));
        return TRUE;
    }
    return msg == WM_DESTROY;
}

TEST(Dialogs, DefaultDriverPressesCancel) {
    DialogLog log;
    g_log = &log;
    ZolClearDialogs();
    HWND main = ZolHostMainWindow();
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(DialogBoxParamA(nullptr, 7771, main, loggingProc, 0), IDCANCEL);
    EXPECT_EQ(log.messages, (std::vector<UINT>{WM_INITDIALOG, WM_COMMAND, WM_DESTROY}));
    ASSERT_EQ(ZolDialogs().size(), 1u);
    EXPECT_EQ(ZolDialogs()[0].id, 7771);
    EXPECT_EQ(ZolDialogs()[0].parent, main);
}

TEST(Dialogs, CustomDriverAndADialogThatNeverEnds) {
    DialogLog log;
    g_log = &log;
    ZolSetDialogDriver(
        [](HWND d, int, DLGPROC proc, void*) { proc(d, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); },
        nullptr);
    EXPECT_EQ(DialogBoxParamA(nullptr, 1, nullptr, loggingProc, 0), IDOK);
    log.endOnCommand = false;
    EXPECT_EQ(DialogBoxParamA(nullptr, 1, nullptr, loggingProc, 0), IDCANCEL);
    ZolSetDialogDriver(nullptr, nullptr);
    EXPECT_EQ(DialogBoxParamA(nullptr, 1, nullptr, nullptr, 0), -1);
    EXPECT_FALSE(EndDialog(nullptr, 1));
}

// ---------------------------------------------------------------- registry

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved_ = old ? old : "";
        hadOld_ = old != nullptr;
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    TempDir dir_;
    std::string saved_;
    bool hadOld_ = false;
};

TEST_F(Registry, KeysAndDefaultValuesPersist) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".rta", &k), ERROR_SUCCESS);
    const char* v = "Quillarine for AE";
    ASSERT_EQ(RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(v),
                             static_cast<DWORD>(std::strlen(v))),
              ERROR_SUCCESS);
    RegCloseKey(k);
    HKEY icon = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Quillarine for AE\\DefaultIcon", &icon), ERROR_SUCCESS);
    RegCloseKey(icon);

    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".RTA", &again), ERROR_SUCCESS);
    char buf[64] = {};
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueExA(again, "", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(buf, size), v);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    DWORD tiny = 3;
    EXPECT_EQ(RegQueryValueExA(again, "", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &tiny),
              static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(tiny, std::strlen(v));
    RegCloseKey(again);
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "quillarine for ae\\defaulticon", &sub), ERROR_SUCCESS);
    RegCloseKey(sub);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "absent", &sub), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(sub, nullptr);
    EXPECT_TRUE(fs::exists(dir_.file("zolplatform/registry.json")));
}

TEST_F(Registry, UnwritableConfigurationIsAnErrorNotACrash) {
    // A plain file where the folder should be: nothing can be created there.
    std::ofstream(dir_.file("zolplatform")) << "in the way";
    HKEY k = reinterpret_cast<HKEY>(1);
    EXPECT_NE(RegCreateKeyA(HKEY_CLASSES_ROOT, ".rta", &k), ERROR_SUCCESS);
    EXPECT_EQ(k, nullptr);
    EXPECT_EQ(RegSetValueExA(nullptr, nullptr, 0, REG_SZ, nullptr, 0), static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, DamagedFileIsReadAsEmpty) {
    fs::create_directories(dir_.file("zolplatform"));
    std::ofstream(dir_.file("zolplatform/registry.json")) << "{ not json";
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ".rta", &k), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".rta", &k), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(slurp(dir_.file("zolplatform/registry.json.damaged")), "{ not json");
}

}  // namespace

namespace {

// ---------------------------------------------------------------- windows

struct ClassLog {
    std::vector<UINT> messages;
    LRESULT createResult = 0;
};
ClassLog g_class;

LRESULT loggingWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    g_class.messages.push_back(msg);
    if (msg == WM_CREATE) return g_class.createResult;
    if (msg == 0x0400) return static_cast<LRESULT>(wp + static_cast<WPARAM>(lp));
    return 0;
}

TEST(Windows, MessagesReachTheClassProcedureUntilDestroyed) {
    g_class = {};
    ASSERT_TRUE(ZolRegisterWindowClass("TestClass", loggingWndProc));
    HWND w = CreateWindowExA(0, "TestClass", "", 0, 0, 0, 300, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SendMessageA(w, 0x0400, 2, 3), 5);
    RECT r{};
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 40);
    SetWindowLongPtrA(w, GWLP_USERDATA, 77);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 77);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_EQ(g_class.messages, (std::vector<UINT>{WM_CREATE, 0x0400, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessageA(w, 0x0400, 2, 3), 0);
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_FALSE(DestroyWindow(ZolHostMainWindow()));
}

TEST(Windows, UnknownClassAndRefusedCreation) {
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    g_class = {};
    g_class.createResult = -1;
    ZolRegisterWindowClass("TestClass", loggingWndProc);
    uint32_t before = ZolHandleCount(ZolKind_Window);
    EXPECT_EQ(CreateWindowExA(0, "TestClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(ZolHandleCount(ZolKind_Window), before);
}

}  // namespace
