// The composition an instance lives in: its layer is the composition's size,
// and its time runs in frames of the composition's rate.
#pragma once

#include <cmath>
#include <cstdint>

namespace zolhost {

inline constexpr int32_t kMaxCompositionSide = 16384;
inline constexpr int32_t kMaxDuration = 1000000;
inline constexpr double kMaxFps = 1000.0;

struct Composition {
    int32_t width = 1280;
    int32_t height = 720;
    double fps = 30.0;
    int32_t duration = 150;  // frames

    // Time travels to plug-ins as (time, step, scale): frame k is at time
    // k * step of a clock of `scale` ticks per second. A whole rate counts
    // frames directly; any other rate counts thousandths of a frame so the
    // step stays a whole number.
    bool wholeRate() const { return fps == std::floor(fps); }
    uint32_t timeScale() const {
        return wholeRate() ? static_cast<uint32_t>(fps) : static_cast<uint32_t>(std::lround(fps * 1000.0));
    }
    int32_t timeStep() const { return wholeRate() ? 1 : 1000; }
    int32_t timeOf(int32_t frame) const { return frame * timeStep(); }
};

}  // namespace zolhost
