// The text-engine exports of ZOLQuillarine.DLL, for callers that look them
// up by name. C calling convention; a document is a 32-bit handle of the
// platform's table, 0 for none.
#pragma once

#include <cstdint>

#include "platform/win/winapi.h"

typedef uint32_t HideRichDocument;

extern "C" {
typedef HideRichDocument (*CreateHideRichFn)(HWND parent, int32_t width, int32_t height, int32_t wrap,
                                             double scale, double reserved, double invertChance,
                                             int32_t invertMode, int32_t randomBase);
typedef int32_t (*ReloadHideRichFn)(HideRichDocument document, int32_t wrap, int32_t width, int32_t height);
typedef int32_t (*DeleteHideRichFn)(HideRichDocument document);
typedef int32_t (*GetCountHideRichFn)(HideRichDocument document);
// GetWidthLineHideRich, GetHeightLineHideRich, GetAllHeightLineHideRich,
// GetTopLineHideRich, GetLeftLineHideRich, GetJustifyLineHideRich,
// GetLengthLineHideRich.
typedef int32_t (*LineQueryFn)(HideRichDocument document, int32_t line);
// GetHeightCharHideRich, GetWidthCharHideRich.
typedef int32_t (*CharQueryFn)(HideRichDocument document, int32_t line, int32_t index);
typedef HWND (*GetWNDHideRichFn)(HideRichDocument document);
typedef HWND (*GetWNDHideRich2Fn)();
typedef int32_t (*DrawCharHideRichFn)(HideRichDocument document, int32_t line, int32_t index,
                                      uint32_t* pixels, int32_t width, int32_t height, int32_t ignored,
                                      int32_t invert);
// DrawLineHideRich, GetLineWidthHideRich.
typedef int32_t (*DrawLineHideRichFn)(HideRichDocument document, int32_t line, uint32_t* pixels,
                                      int32_t width, int32_t height, int32_t offset,
                                      int32_t invertAfterTab, int32_t invertAll, double sizeFactor);
}
