// The digitalizer effect "ZOL Digitalizer": its parameter indices.
#pragma once

#include "platform/effect_api/effect_api.h"
#include "platform/gdi/gdi.h"

enum DigitalizerParam : int32_t {
    kInputLayer = 0,
    kInformation = 1,
    kScaleFonts = 2,
    kOffset = 3,
    kLeaving = 4,
    kTracking = 5,
    kMistakeIntensive = 6,
    kExcitationMatrixIntensive = 7,
    kMistakeColor = 8,
    kExcitationMatrixColor = 9,
    kDigitalizerParamCount = 10,
};

PF_Err RegisterDigitalizerParams(PF_InData* in_data, PF_OutData* out_data);

// A new instance's symbol set: a space and a "0" in 14-pixel Arial.
PF_Err SetupSymbolSetSequence(PF_InData* in_data, PF_OutData* out_data);

struct SymbolMetrics {
    int32_t width = 0;   // text extent of the one character, pixels
    int32_t height = 0;
    float coverage = 0;  // relative ink coverage, 0 to 1
};

// The text extent of one character in `font`, on a memory DC.
SymbolMetrics MeasureSymbol(HDC dc, const LOGFONTA& font, char symbol);

// The fraction of a width x height cell that the character inks, drawn
// black on white at the cell's top-left on a one-bit bitmap of the memory
// DC `dc`; 0 for an empty cell.
float SymbolInkCoverage(HDC dc, const LOGFONTA& font, char symbol, int32_t width, int32_t height);

struct LibraryFunctions;
// The "options" command: the symbol-set dialog, then the record rebuilt
// from what it returned.
PF_Err EditSymbolSet(PF_InData* in_data, PF_OutData* out_data, const LibraryFunctions& library);
