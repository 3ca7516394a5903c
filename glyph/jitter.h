// Per-character wobble of position, rotation, colour and size. Each result
// depends only on the jitter settings, the character's line and index, the
// image width, the whole part of the character's x and the frame index, so
// any frame can be rendered on its own. The random types reseed the
// process-wide run-time generator, so the order of calls is part of the
// result.
#pragma once

#include "platform/gdi/gdi.h"

namespace glyph {

struct JitterOffset {
    float dx = 0.0f;
    float dy = 0.0f;
};

JitterOffset offsetJitter(int line, int index, int width, int xi);
// Degrees, added to the character's angle.
float rotationJitter(int line, int index, int width, int xi);
void colorJitter(COLORREF& colour, int line, int index, int width, int xi);
float scaleJitter(int line, int index, int width, int xi);

}  // namespace glyph
