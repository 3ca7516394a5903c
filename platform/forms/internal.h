// Helpers shared by the framework's sources.
#pragma once

namespace zol::forms {

// a * b / c rounded to nearest (halves away from zero); -1 when c is 0.
int MulDivRound(int a, int b, int c);
// The screen's pixels per logical inch.
int ScreenPixelsPerInch();

}  // namespace zol::forms
