// Windows, modal dialogs and message boxes while no display is available:
// boxes go to standard error, dialogs to the current dialog driver.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/win/internal.h"
#include "platform/win/testhooks.h"

namespace {

struct Window {
    HWND parent = nullptr;
    WNDPROC proc = nullptr;
    RECT rect{};
    intptr_t userData = 0;
    intptr_t id = 0;
    bool destroying = false;
    bool permanent = false;  // the host's main window
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
};

std::map<std::string, WNDPROC>& classes() {
    static std::map<std::string, WNDPROC> c;
    return c;
}

Window* byHandle(HWND h) {
    return static_cast<Window*>(ZolHandleGet(ZolKind_Window, HandleToField(h)));
}

std::vector<ZolMessageBoxRecord>& boxes() {
    static std::vector<ZolMessageBoxRecord> b;
    return b;
}

std::vector<ZolDialogRecord>& dialogs() {
    static std::vector<ZolDialogRecord> d;
    return d;
}

void pressCancel(HWND dialog, int, DLGPROC proc, void*) {
    proc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

ZolDialogDriver g_driver = pressCancel;
void* g_driverContext = nullptr;
ZolMessageBoxDriver g_boxDriver = nullptr;
void* g_boxContext = nullptr;

HWND newWindow(HWND parent) {
    auto w = std::make_unique<Window>();
    w->parent = parent;
    uint32_t h = ZolHandleAdd(ZolKind_Window, w.get());
    if (!h) return nullptr;
    w.release();
    return FieldToHandle<HWND>(h);
}

}  // namespace

const std::vector<ZolMessageBoxRecord>& ZolMessageBoxes() { return boxes(); }
void ZolClearMessageBoxes() { boxes().clear(); }
const std::vector<ZolDialogRecord>& ZolDialogs() { return dialogs(); }
void ZolClearDialogs() { dialogs().clear(); }

void ZolSetDialogDriver(ZolDialogDriver driver, void* context) {
    g_driver = driver ? driver : pressCancel;
    g_driverContext = driver ? context : nullptr;
}

ZolDialogDriver ZolGetDialogDriver(void** context) {
    if (context) *context = g_driverContext;
    return g_driver == pressCancel ? nullptr : g_driver;
}

void ZolSetMessageBoxDriver(ZolMessageBoxDriver driver, void* context) {
    g_boxDriver = driver;
    g_boxContext = driver ? context : nullptr;
}

ZolMessageBoxDriver ZolGetMessageBoxDriver(void** context) {
    if (context) *context = g_boxContext;
    return g_boxDriver;
}

ZOLAPI HWND ZolHostMainWindow() {
    // Lives as long as the process, like the host's own main window.
    static Window mainWindow{.permanent = true};
    static HWND main = FieldToHandle<HWND>(ZolHandleAdd(ZolKind_Window, &mainWindow));
    return main;
}

ZOLAPI BOOL IsWindow(HWND window) { return byHandle(window) != nullptr; }

ZOLAPI int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    try {
        const char* c = caption ? caption : "Error";
        const char* t = text ? text : "";
        std::fprintf(stderr, "%s: %s\n", c, t);
        boxes().push_back({owner, t, c, type});
    } catch (...) {
        // A box that cannot be recorded has still been shown.
    }
    int answer = g_boxDriver ? g_boxDriver(owner, text ? text : "", caption ? caption : "Error", type, g_boxContext) : 0;
    return answer ? answer : IDOK;
}

ZOLAPI INT_PTR DialogBoxParamA(HINSTANCE module, int id, HWND parent, DLGPROC proc, LPARAM init) {
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    HWND dialog = newWindow(parent);
    if (!dialog) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    proc(dialog, WM_INITDIALOG, 0, init);
    Window* w = byHandle(dialog);
    if (w && !w->dialogEnded) g_driver(dialog, id, proc, g_driverContext);
    w = byHandle(dialog);
    INT_PTR result = (w && w->dialogEnded) ? w->dialogResult : INT_PTR{IDCANCEL};
    proc(dialog, WM_DESTROY, 0, 0);
    delete static_cast<Window*>(ZolHandleRemove(ZolKind_Window, HandleToField(dialog)));
    try {
        dialogs().push_back({module, id, parent, result});
    } catch (...) {
    }
    return result;
}

ZOLAPI BOOL EndDialog(HWND dialog, INT_PTR result) {
    Window* w = byHandle(dialog);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    w->dialogEnded = true;
    w->dialogResult = result;
    return TRUE;
}

ZOLAPI BOOL ZolRegisterWindowClass(const char* className, WNDPROC proc) {
    try {
        if (!className || !proc) return FALSE;
        classes()[className] = proc;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI HWND CreateWindowExA(DWORD, const char* className, const char*, DWORD, int x, int y,
                            int width, int height, HWND parent, void* menu, HINSTANCE, void* param) {
    try {
        auto it = className ? classes().find(className) : classes().end();
        if (it == classes().end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        HWND h = newWindow(parent);
        Window* w = byHandle(h);
        if (!w) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        w->proc = it->second;
        w->rect = {x, y, x + (width > 0 ? width : 0), y + (height > 0 ? height : 0)};
        w->id = reinterpret_cast<intptr_t>(menu);
        if (w->proc(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
            DestroyWindow(h);
            return nullptr;
        }
        return h;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI BOOL DestroyWindow(HWND window) {
    Window* w = byHandle(window);
    if (!w || w->destroying || w->permanent) return FALSE;
    w->destroying = true;
    if (w->proc) {
        w->proc(window, WM_DESTROY, 0, 0);
        w->proc(window, WM_NCDESTROY, 0, 0);
    }
    delete static_cast<Window*>(ZolHandleRemove(ZolKind_Window, HandleToField(window)));
    return TRUE;
}

ZOLAPI LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* w = byHandle(window);
    if (!w || !w->proc) return 0;
    return w->proc(window, message, wparam, lparam);
}

ZOLAPI intptr_t GetWindowLongPtrA(HWND window, int index) {
    Window* w = byHandle(window);
    if (!w) return 0;
    if (index == GWLP_USERDATA) return w->userData;
    if (index == GWLP_ID) return w->id;
    return 0;
}

ZOLAPI intptr_t SetWindowLongPtrA(HWND window, int index, intptr_t value) {
    Window* w = byHandle(window);
    if (!w) return 0;
    intptr_t* field = index == GWLP_USERDATA ? &w->userData : index == GWLP_ID ? &w->id : nullptr;
    if (!field) return 0;
    intptr_t old = *field;
    *field = value;
    return old;
}

ZOLAPI HWND GetParent(HWND window) {
    Window* w = byHandle(window);
    return w ? w->parent : nullptr;
}

ZOLAPI BOOL GetClientRect(HWND window, RECT* rect) {
    Window* w = byHandle(window);
    if (!w || !rect) return FALSE;
    *rect = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

ZOLAPI BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    Window* w = byHandle(window);
    if (!w) return FALSE;
    w->rect = {x, y, x + (width > 0 ? width : 0), y + (height > 0 ? height : 0)};
    return TRUE;
}
