// What the stand-ins record of the calls that would show something to a
// user, so tests (and the host's batch drivers) can read and answer them.
#pragma once

#include <string>
#include <vector>

#include "platform/win/winapi.h"

#define ZOLHOOK __attribute__((visibility("default")))

struct ZolMessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
ZOLHOOK const std::vector<ZolMessageBoxRecord>& ZolMessageBoxes();
ZOLHOOK void ZolClearMessageBoxes();

struct ZolDialogRecord {
    HINSTANCE module;
    int id;
    HWND parent;
    INT_PTR result;
};
ZOLHOOK const std::vector<ZolDialogRecord>& ZolDialogs();
ZOLHOOK void ZolClearDialogs();

// Decides how a modal dialog is answered while no display is available: it
// may send messages to `proc` for `dialog`; when it returns without the
// dialog having been ended, the dialog ends with IDCANCEL. Null restores the
// default driver, which presses Cancel (control 2).
typedef void (*ZolDialogDriver)(HWND dialog, int id, DLGPROC proc, void* context);
ZOLHOOK void ZolSetDialogDriver(ZolDialogDriver driver, void* context);
// The driver currently installed (null for the default) and its context, so
// one installed for a while can put the previous one back.
ZOLHOOK ZolDialogDriver ZolGetDialogDriver(void** context);

// Decides how a message box is answered while no display is available:
// returns the id of the button pressed; 0 lets the box answer as it does
// without a driver (IDOK). The box is recorded either way. Null restores
// the default.
typedef int (*ZolMessageBoxDriver)(HWND owner, const char* text, const char* caption, UINT type,
                                   void* context);
ZOLHOOK void ZolSetMessageBoxDriver(ZolMessageBoxDriver driver, void* context);
ZOLHOOK ZolMessageBoxDriver ZolGetMessageBoxDriver(void** context);

// The documents the shell was asked to open, in order.
struct ZolShellRecord {
    HWND owner;
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int show;
};
ZOLHOOK const std::vector<ZolShellRecord>& ZolShellCalls();
ZOLHOOK void ZolClearShellCalls();
// While on, calls are only recorded and answer SE_ERR_SHELL_OK. It starts on
// when ZOL_SHELL_RECORD_ONLY is 1.
ZOLHOOK void ZolSetShellRecordOnly(bool recordOnly);
