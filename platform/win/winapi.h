// Kernel, user and shell services as the system calls them: modules and
// libraries, files, the page allocator, the floating-point control word,
// message boxes, modal dialogs, the registry and the C run-time generator.
//
// These are our own stand-ins, designed from what the system's code expects
// of them. Every entry point is exported from libzolplatform.so so that all
// modules of a process (host, plug-ins, library) share one set of tables.
#pragma once

#include <cstddef>
#include <cstdint>

#define ZOLAPI extern "C" __attribute__((visibility("default")))

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef uint32_t UINT;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef intptr_t LRESULT;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

// Opaque handle types. Their values are small integers from the platform's
// handle tables (never raw pointers), so a window or document handle fits the
// 32-bit fields of stored records, and a stale or forged one is refused.
typedef struct ZolObject* HANDLE;
typedef struct ZolModule* HMODULE;
typedef HMODULE HINSTANCE;
typedef struct ZolWindow* HWND;
typedef struct ZolKey* HKEY;
typedef void (*FARPROC)();

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

// A window handle as stored in a 32-bit record field, and back.
inline uint32_t HandleToField(const void* h) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h));
}
template <class H>
inline H FieldToHandle(uint32_t v) {
    return reinterpret_cast<H>(static_cast<uintptr_t>(v));
}

// Geometry shared by the window and graphics services.
struct POINT {
    LONG x, y;
};
struct SIZE {
    LONG cx, cy;
};
struct RECT {
    LONG left, top, right, bottom;
};

// ---------------------------------------------------------------- errors

enum : DWORD {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_SHARING_VIOLATION = 32,
    ERROR_FILE_EXISTS = 80,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MOD_NOT_FOUND = 126,
    ERROR_PROC_NOT_FOUND = 127,
};
ZOLAPI DWORD GetLastError();
ZOLAPI void SetLastError(DWORD code);

// ---------------------------------------------------------------- modules

// Module of the library that holds `address`; 0 when no loaded file holds it.
ZOLAPI HMODULE GetModuleHandleFromAddress(const void* address);
// Full file name of a module; a null module means the program itself.
// Copies at most size - 1 characters and a terminator; returns the number
// of characters copied, 0 on failure.
ZOLAPI DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
// Loads a library by path; the file name is matched without regard to case.
ZOLAPI HMODULE LoadLibraryA(const char* path);
ZOLAPI FARPROC GetProcAddress(HMODULE module, const char* name);
// A null or unknown handle is refused (FALSE), harmlessly.
ZOLAPI BOOL FreeLibrary(HMODULE module);

// Reason codes of a module's attach routine.
enum : DWORD { DLL_PROCESS_DETACH = 0, DLL_PROCESS_ATTACH = 1 };

// ---------------------------------------------------------------- files

enum : DWORD {
    GENERIC_READ = 0x80000000u,
    GENERIC_WRITE = 0x40000000u,
    FILE_SHARE_READ = 1,
    FILE_SHARE_WRITE = 2,
    CREATE_NEW = 1,
    CREATE_ALWAYS = 2,
    OPEN_EXISTING = 3,
    OPEN_ALWAYS = 4,
    TRUNCATE_EXISTING = 5,
    FILE_ATTRIBUTE_NORMAL = 0x80,
};

struct FILE_INFORMATION {
    DWORD attributes;
    DWORD sizeHigh;
    DWORD sizeLow;
    DWORD links;
};

// File names are resolved without regard to case, component by component:
// "stream.tmp" opens an existing "Stream.tmp". A new file keeps the case it
// was created with.
ZOLAPI HANDLE CreateFileA(const char* name, DWORD access, DWORD share, void* security,
                          DWORD creation, DWORD attributes, HANDLE templateFile);
ZOLAPI BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
ZOLAPI BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written,
                      void* overlapped);
ZOLAPI BOOL GetFileInformation(HANDLE file, FILE_INFORMATION* info);
ZOLAPI BOOL CloseHandle(HANDLE object);
// The existing file or folder that `path` names without regard to case, or
// the path unchanged when there is none. Returns the length written.
ZOLAPI DWORD ResolvePathNoCase(const char* path, char* out, DWORD size);

// ---------------------------------------------------------------- page allocator

enum : DWORD {
    MEM_COMMIT = 0x1000,
    MEM_RESERVE = 0x2000,
    MEM_RELEASE = 0x8000,
    PAGE_READONLY = 0x02,
    PAGE_READWRITE = 0x04,
};
// Zero-filled pages; null on failure.
ZOLAPI void* VirtualAlloc(void* address, size_t size, DWORD type, DWORD protect);
// Only MEM_RELEASE with size 0 of a block VirtualAlloc returned is accepted.
ZOLAPI BOOL VirtualFree(void* address, size_t size, DWORD type);

// ---------------------------------------------------------------- floating point

// The floating-point control state of the processor: the x87 control word
// and the SSE control and status register.
struct FloatControlState {
    uint16_t x87;
    uint32_t mxcsr;
};
ZOLAPI FloatControlState GetFloatControl();
ZOLAPI void SetFloatControl(FloatControlState state);
// Clears pending exception flags of both units, leaving the controls as they are.
ZOLAPI void ClearFloatExceptions();

// ---------------------------------------------------------------- shell

enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1 };
// Results of ShellExecuteA: above 32 the document was handed to an opener.
enum : int { SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31, SE_ERR_SHELL_OK = 42 };

// Opens a document or an address with the desktop's opener ("open", or a
// null operation, is the only verb): the opener is started without a shell
// and not waited for. A file that does not exist gives SE_ERR_FNF, a missing
// opener SE_ERR_NOASSOC. Every call is recorded (see testhooks.h); with
// ZOL_SHELL_RECORD_ONLY=1 in the environment nothing is started.
ZOLAPI HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file,
                               const char* parameters, const char* directory, int show);

// ---------------------------------------------------------------- windows, dialogs, boxes

enum : UINT {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Without a display: one line on standard error with caption and text; the
// box is recorded (see testhooks.h) and answers IDOK.
ZOLAPI int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

enum : UINT {
    WM_DESTROY = 0x0002,
    WM_CLOSE = 0x0010,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
};
inline constexpr WORD LOWORD(UINT_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(UINT_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
    return static_cast<WPARAM>(lo) | (static_cast<WPARAM>(hi) << 16);
}
typedef INT_PTR (*DLGPROC)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Runs a modal dialog from the module's dialog resource `id`. Without a
// display the platform's dialog driver decides how it is answered; the
// default driver dismisses it as the Cancel button (control 2) would.
ZOLAPI INT_PTR DialogBoxParamA(HINSTANCE module, int id, HWND parent, DLGPROC proc, LPARAM init);
ZOLAPI BOOL EndDialog(HWND dialog, INT_PTR result);
ZOLAPI BOOL IsWindow(HWND window);

// Windows of registered classes. A class is a name and a window procedure;
// every message sent to a window goes to its class's procedure. Creation
// sends WM_CREATE (lparam: the creation parameter) and destruction WM_DESTROY,
// then WM_NCDESTROY, after which the handle is dead.
typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
enum : UINT { WM_CREATE = 0x0001, WM_NCDESTROY = 0x0082 };
// Text and clipboard messages of windows that hold text. WM_SETTEXT: lParam
// const char*; WM_GETTEXT: wParam buffer size, lParam char*, returns the
// characters copied (terminated); WM_GETTEXTLENGTH: the text's length.
enum : UINT {
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
};
enum : int { GWLP_USERDATA = -21, GWLP_ID = -12 };
ZOLAPI BOOL ZolRegisterWindowClass(const char* className, WNDPROC proc);
ZOLAPI HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName,
                            DWORD style, int x, int y, int width, int height, HWND parent,
                            void* menu, HINSTANCE instance, void* param);
ZOLAPI BOOL DestroyWindow(HWND window);
// 0 for a window that does not exist.
ZOLAPI LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
ZOLAPI intptr_t GetWindowLongPtrA(HWND window, int index);
ZOLAPI intptr_t SetWindowLongPtrA(HWND window, int index, intptr_t value);
ZOLAPI HWND GetParent(HWND window);
ZOLAPI BOOL GetClientRect(HWND window, RECT* rect);
ZOLAPI BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

// The window that stands for the host's main window in this process.
ZOLAPI HWND ZolHostMainWindow();

// ---------------------------------------------------------------- resources

// Each module carries a resource block of its own; these find its entries
// by type and numeric id. The pointer stays valid while the module is loaded.
enum : DWORD {
    RT_ZOL_PROPERTIES = 1,  // the effect's property list, "key=value" lines
    RT_ZOL_BITMAP = 2,
    RT_ZOL_DIALOG = 3,
};
ZOLAPI const void* FindModuleResource(HMODULE module, DWORD type, DWORD id, DWORD* size);
// The same for a module file that is not loaded: the bytes are copied to
// `buffer` (when it is large enough) and the resource's size is returned;
// 0 when the file or the resource is missing.
ZOLAPI DWORD ReadFileResource(const char* path, DWORD type, DWORD id, void* buffer, DWORD size);

// ---------------------------------------------------------------- registry

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
enum : DWORD { REG_SZ = 1 };

// Keys live in one file under the user's configuration folder
// ($XDG_CONFIG_HOME or ~/.config, then zolplatform/registry.json).
ZOLAPI LONG RegCreateKeyA(HKEY parent, const char* subKey, HKEY* result);
ZOLAPI LONG RegOpenKeyA(HKEY parent, const char* subKey, HKEY* result);
// A null or empty name sets the key's default value.
ZOLAPI LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type,
                           const BYTE* data, DWORD size);
ZOLAPI LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type,
                             BYTE* data, DWORD* size);
ZOLAPI LONG RegCloseKey(HKEY key);

// ---------------------------------------------------------------- handle tables

// Kinds of object the platform hands out handles for. A handle carries its
// kind and a generation, so one of another kind or a released one is refused.
enum ZolHandleKind : uint32_t {
    ZolKind_File = 1,
    ZolKind_Module = 2,
    ZolKind_Window = 3,
    ZolKind_Document = 4,
    ZolKind_Key = 5,
    ZolKind_Gdi = 6,
};
typedef void (*ZolHandleDestroy)(void* object);
// Returns a nonzero 32-bit handle, 0 when the table is full.
ZOLAPI uint32_t ZolHandleAdd(ZolHandleKind kind, void* object);
// The object of a live handle of that kind; null otherwise.
ZOLAPI void* ZolHandleGet(ZolHandleKind kind, uint32_t handle);
// Forgets the handle and returns its object (null when it was not live).
ZOLAPI void* ZolHandleRemove(ZolHandleKind kind, uint32_t handle);
ZOLAPI uint32_t ZolHandleCount(ZolHandleKind kind);

// ---------------------------------------------------------------- C run-time generator

// The run-time library's generator, one state for the whole process:
// x <- x * 214013 + 2531011 (mod 2^32), result (x >> 16) & 0x7FFF.
// In a namespace of its own so it never stands in for the C library's rand.
namespace crt {
inline constexpr int kRandMax = 0x7FFF;
}
extern "C" __attribute__((visibility("default"))) void zol_crt_srand(unsigned int seed);
extern "C" __attribute__((visibility("default"))) int zol_crt_rand();
namespace crt {
inline void srand(unsigned int seed) { zol_crt_srand(seed); }
inline int rand() { return zol_crt_rand(); }
}  // namespace crt
