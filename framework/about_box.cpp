#include "framework/about_box.h"

#include "framework/host_calls.h"

PF_Err ShowAboutBox(PF_InData* in_data, HINSTANCE module) {
    // The box reports nothing: whether it could be shown or how it was
    // closed does not concern the host.
    (void)DialogBoxParamA(module, kAboutDialogId, HostMainWindow(in_data), AboutDialogProc, 0);
    return PF_Err_NONE;
}

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_COMMAND: {
            WORD control = LOWORD(wparam);
            WORD notification = HIWORD(wparam);
            if ((control == IDOK || control == IDCANCEL) && notification == 0) {
                EndDialog(dialog, control);
                return TRUE;
            }
            if (control == kAboutSiteButton && notification == 0) {
                // Whether a browser came up is the desktop's business.
                (void)ShellExecuteA(dialog, "open", kMakerSite, nullptr, nullptr, SW_SHOWNORMAL);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DESTROY:
            return TRUE;
        default:
            return FALSE;
    }
}
