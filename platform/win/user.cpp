// Windows, modal dialogs and message boxes while no display is available:
// boxes go to standard error, dialogs to the current dialog driver.
#include <cstdio>
#include <memory>

#include "platform/win/internal.h"
#include "platform/win/testhooks.h"

namespace {

struct Window {
    HWND parent = nullptr;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
};

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

ZOLAPI HWND ZolHostMainWindow() {
    // Lives as long as the process, like the host's own main window.
    static Window mainWindow;
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
    return IDOK;
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
