// Rendering an instance's frames to files: one PNG, a numbered PNG sequence,
// or a video encoded by the ffmpeg program. Every frame is one render
// command of its own with the parameters at that frame, into a cleared
// output world, so frames come out the same whatever range they are part of.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/core/composition.h"
#include "host/core/session.h"

namespace zolhost {

struct FrameRange {
    int32_t first = 0;
    int32_t last = 0;  // inclusive
    int32_t count() const { return last - first + 1; }
};

// "A-B" or "A"; an empty text is the whole duration. Throws Error when the
// text is malformed or leaves 0 .. duration-1.
FrameRange parseFrameRange(const std::string& text, int32_t duration);

enum class OutputKind { Still, Sequence, Video };

// What an output name asks for. A sequence pattern holds one printf-style
// frame number (%d, %4d, %04d; %% is a plain %).
struct OutputTarget {
    OutputKind kind = OutputKind::Still;
    std::string path;
    std::string extension;  // lower case, with the dot: ".png", ".mp4", ...
    // Sequence patterns: the text around the number and its formatting.
    std::string prefix, suffix;
    int width = 0;
    bool zeroPad = false;

    std::string frameName(int32_t frame) const;
};

// Throws Error for a name that is neither a PNG, a pattern ending in .png,
// nor .mp4, .mov, .webm or .gif.
OutputTarget parseOutputTarget(const std::string& path);

struct RenderOptions {
    std::string output;
    std::string frames;  // empty: the whole duration
    bool half = false;
    PF_Quality quality = PF_Quality_HI;
    std::string input;  // an image or video for the input layer; empty: transparent
};

struct RenderSummary {
    int32_t frames = 0;
    double seconds = 0;
    std::string output;  // what was written: the file, or the pattern
};

// Called after every frame with the number done and the total.
using RenderProgress = std::function<void(int32_t done, int32_t total, double seconds)>;

// Throws Error with one line for the user; a failure leaves no
// half-written file under the output's name.
RenderSummary renderProject(Session& s, const RenderOptions& opts, const RenderProgress& progress = {});

// The output size: the composition's, or half of it (integer halving, at
// least 1 pixel) with --half.
int32_t renderSide(int32_t side, bool half);

}  // namespace zolhost
