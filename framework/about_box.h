// The about box, the same in all three plug-ins: dialog resource 7771 of the
// plug-in's own module, modal over the host's main window.
#pragma once

#include "platform/effect_api/effect_api.h"
#include "platform/win/winapi.h"

inline constexpr int kAboutDialogId = 7771;
inline constexpr int kAboutSiteButton = 7774;
inline constexpr int kAboutPictureId = 102;
// Where the site button leads.
inline constexpr char kMakerSite[] = "https://quillarine.example.org/";

PF_Err ShowAboutBox(PF_InData* in_data, HINSTANCE module);

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
