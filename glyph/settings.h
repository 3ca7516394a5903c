// The values a render driver sets for the glyph engine before it draws a
// frame. They are the engine's only state: every other object lives for one
// call. Each plug-in that carries the engine has its own copy.
#pragma once

#include <cstdint>

namespace glyph {

// Per-character wobble of position, rotation, colour and size.
struct JitterSettings {
    int frameIndex = 0;     // current time / local time step, 0 without a step
    float speed = 0.0f;     // phase advance per frame
    float frequency = 0.0f; // phase advance along the text
    int seed = 0;
    int offsetType = 1;     // 1 None, 2 Chaos Jump, 3 Swing, 4 Swing Vertical, 5 Wave, 6 Chaos Wave
    float offsetValue = 0.0f;
    int scaleType = 1;      // 1 None, 2 Chaos Scale, 3 Swing, 4 Wave, 5 Chaos Wave, 6 Running
    float scaleValue = 0.0f;
    int scaleWithoutMove = 0;
    int colorType = 1;      // 1 None, 2 Chaos Color, 3 Swing, 4 Wave, 5 Chaos Wave, 6 Running
    float colorValue = 0.0f;
    int rotationType = 1;   // 1 None, 2 Chaos Rotate, 3 Swing, 4 Wave, 5 Chaos Wave, 6 Running
    float rotationAmount = 0.0f;
};

// One line of the frame's line table, seven 32-bit fields as the drivers
// fill them.
struct LineEntry {
    int32_t width;
    int32_t height;
    int32_t top;
    int32_t reserved;
    int32_t justification;
    int32_t left;
    int32_t allHeight;
};
static_assert(sizeof(LineEntry) == 28);

// Which plug-in's rules the engine follows where the two differ: the
// morphing effect mixes colours of the oversampled path like the direct
// path, counts the last odd column of the 4x mask, and evaluates the
// jitters in single precision.
enum class EngineRules : uint8_t { Typing, Morphing };

struct GlyphRenderSettings {
    double renderScale = 1.0;  // output width / full-resolution layer width
    int oversampling = 4;      // samples per output pixel along each axis: 8 or 4
    bool highQuality = false;  // the oversampled path; otherwise the direct path
    float charScale = 1.0f;    // set around single draws by the animation
    int invertSeed = 0;        // random inversion of letters and words
    float directionAngle = 0.0f;  // degrees, for the direct assembling effects
    JitterSettings jitter;

    // The frame's line table; the line renderer takes each line's width and
    // height from it.
    const LineEntry* lineTable = nullptr;
    int lineCount = 0;

    // Set-bit counts of both nibbles of every byte: (high count << 8) + low
    // count. Built at the start of every frame of the oversampled path.
    uint16_t nibbleCounts[256] = {};

    EngineRules rules = EngineRules::Typing;
};

// The settings of this module (plug-in).
GlyphRenderSettings& glyphSettings();

}  // namespace glyph
