#include "glyph/jitter.h"

#include <cmath>

#include "glyph/internal.h"
#include "glyph/settings.h"
#include "platform/win/winapi.h"

namespace glyph {

namespace {

using detail::trunc;

// The laws evaluated with intermediates of type Real: double in the typing
// effect, float in the morphing effect.
template <class Real>
struct Laws {
    const JitterSettings& j;
    int line, index, width, xi;

    // Seeds wrap around like the generator's own unsigned arithmetic.
    unsigned chaosSeed() const {
        int64_t s = static_cast<int64_t>(line) + index;
        if (j.speed != 0.0f)
            s += trunc(static_cast<Real>(j.frameIndex) * static_cast<Real>(j.speed));
        return static_cast<unsigned>(s);
    }
    void swingStart() const {
        crt::srand(static_cast<unsigned>(static_cast<int64_t>(j.seed) + line + index));
        crt::rand();
    }
    // Radians; the direction of travel depends on the first draw's parity.
    Real swingAngle() const {
        const int r1 = crt::rand();
        const int sign = (r1 & 1) ? 1 : -1;
        const int r2 = crt::rand();
        const float travel = static_cast<float>(sign) * static_cast<float>(j.frameIndex) * j.speed;
        return static_cast<Real>(r2 % 1000 - 500) + static_cast<Real>(travel);
    }
    Real wavePhase() const {
        return static_cast<Real>(xi) / static_cast<Real>(width) * static_cast<Real>(j.frequency) +
               static_cast<Real>(j.frameIndex) * static_cast<Real>(j.speed) +
               static_cast<Real>(j.seed);
    }
    Real chaosWavePhase() const {
        return static_cast<Real>(j.frameIndex) * static_cast<Real>(j.speed) +
               static_cast<Real>(index) * static_cast<Real>(j.frequency) * static_cast<Real>(0.1) +
               static_cast<Real>(j.seed);
    }
    Real running() const {
        const Real v = std::sin(static_cast<Real>(static_cast<int64_t>(line) + index) * static_cast<Real>(j.frequency) *
                                    static_cast<Real>(0.1) +
                                static_cast<Real>(j.frameIndex) * static_cast<Real>(j.speed) +
                                static_cast<Real>(j.seed));
        return v > 0 ? v : Real(0);
    }
    // A draw spread over -10000..9999, scaled.
    static Real spread(Real scale) {
        return static_cast<Real>(crt::rand() % 20000 - 10000) * scale;
    }

    JitterOffset offset() const {
        const Real A = static_cast<Real>(width) * static_cast<Real>(j.offsetValue) *
                       static_cast<Real>(0.01);
        JitterOffset o;
        switch (j.offsetType) {
        case 2: {
            crt::srand(chaosSeed());
            const Real f = static_cast<Real>(width) * static_cast<Real>(j.offsetValue) *
                           static_cast<Real>(0.00001);
            const int r1 = crt::rand();
            o.dx = static_cast<float>(f * static_cast<Real>(r1 % 2000 - 1000));
            const int r2 = crt::rand();
            o.dy = static_cast<float>(f * static_cast<Real>(r2 % 2000 - 1000));
            break;
        }
        case 3: {
            swingStart();
            const Real t = swingAngle();
            o.dx = static_cast<float>(A * std::cos(t));
            o.dy = static_cast<float>(A * std::sin(t));
            break;
        }
        case 4: {
            swingStart();
            const Real t = swingAngle();
            o.dy = static_cast<float>(A * std::sin(t));
            break;
        }
        case 5:
            o.dy = static_cast<float>(A * std::sin(wavePhase()));
            break;
        case 6:
            o.dy = static_cast<float>(A * std::sin(chaosWavePhase()));
            break;
        default:
            break;
        }
        return o;
    }

    float rotation() const {
        const Real amount = static_cast<Real>(j.rotationAmount);
        switch (j.rotationType) {
        case 2:
            crt::srand(chaosSeed());
            crt::rand();
            return static_cast<float>(spread(static_cast<Real>(0.0001)) * amount);
        case 3: {
            swingStart();
            const Real t = swingAngle();
            return static_cast<float>(std::cos(t) * amount);
        }
        case 4:
            return static_cast<float>(std::cos(wavePhase()) * amount);
        case 5:
            return static_cast<float>(std::cos(chaosWavePhase()) * amount);
        case 6:
            return static_cast<float>(running() * amount);
        default:
            return 0.0f;
        }
    }

    static int channel(Real v) {
        const int c = trunc(v);
        return c < 0 ? 0 : (c > 255 ? 255 : c);
    }

    void colour(COLORREF& c) const {
        const Real value = static_cast<Real>(j.colorValue);
        Real r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        Real k = 0;
        switch (j.colorType) {
        case 2:
            crt::srand(chaosSeed());
            crt::rand();
            r += spread(static_cast<Real>(0.0001)) * value;
            g += spread(static_cast<Real>(0.0001)) * value;
            b += spread(static_cast<Real>(0.0001)) * value;
            break;
        case 3:
            swingStart();
            r += std::cos(swingAngle()) * value;
            g += std::cos(swingAngle()) * value;
            b += std::cos(swingAngle()) * value;
            break;
        case 4:
            k = std::cos(wavePhase()) * value;
            break;
        case 5:
            k = std::cos(chaosWavePhase()) * value;
            break;
        case 6:
            k = running() * value;
            break;
        default:
            return;
        }
        if (j.colorType >= 4) {
            r += k;
            g -= k;
            b += std::fabs(k * static_cast<Real>(0.5));
        }
        c = RGB(static_cast<BYTE>(channel(r)), static_cast<BYTE>(channel(g)),
                static_cast<BYTE>(channel(b)));
    }

    float scale() const {
        const Real value = static_cast<Real>(j.scaleValue);
        const Real tenth = static_cast<Real>(0.1);
        switch (j.scaleType) {
        case 2:
            crt::srand(chaosSeed());
            crt::rand();
            return static_cast<float>(1 + spread(static_cast<Real>(0.00001)) * value);
        case 3: {
            swingStart();
            const Real t = swingAngle();
            return static_cast<float>(1 + std::cos(t) * value * tenth);
        }
        case 4:
            return static_cast<float>(1 + std::cos(wavePhase()) * value * tenth);
        case 5:
            return static_cast<float>(1 + std::cos(chaosWavePhase()) * value * tenth);
        case 6:
            return static_cast<float>(1 + running() * value * tenth);
        default:
            return 1.0f;
        }
    }
};

template <class F>
auto withLaws(int line, int index, int width, int xi, F&& f) {
    const GlyphRenderSettings& s = glyphSettings();
    if (s.rules == EngineRules::Morphing)
        return f(Laws<float>{s.jitter, line, index, width, xi});
    return f(Laws<double>{s.jitter, line, index, width, xi});
}

}  // namespace

JitterOffset offsetJitter(int line, int index, int width, int xi) {
    return withLaws(line, index, width, xi, [](const auto& l) { return l.offset(); });
}

float rotationJitter(int line, int index, int width, int xi) {
    return withLaws(line, index, width, xi, [](const auto& l) { return l.rotation(); });
}

void colorJitter(COLORREF& colour, int line, int index, int width, int xi) {
    withLaws(line, index, width, xi, [&](const auto& l) {
        l.colour(colour);
        return 0;
    });
}

float scaleJitter(int line, int index, int width, int xi) {
    return withLaws(line, index, width, xi, [](const auto& l) { return l.scale(); });
}

}  // namespace glyph
