#include <algorithm>
#include <array>

#include "effects/typing/typing.h"
#include "framework/host_calls.h"

namespace {

enum class Look : uint8_t { Unchanged, Enabled, Disabled };
using Looks = std::array<Look, kTypingParamCount>;

Look enabledWhen(bool condition) { return condition ? Look::Enabled : Look::Disabled; }

void setLooks(Looks& looks, int32_t first, int32_t last, Look look) {
    for (int32_t i = first; i <= last; ++i) looks[i] = look;
}

struct Choices {
    int32_t effectType;     // E
    int32_t firstEffect;    // a
    int32_t secondEffect;   // b
    int32_t runningEffect;  // v
    int32_t typingEffect;   // t
};

// "Pages Scrolling": what applies follows the larger (M) and the smaller (m)
// of the two scrolling effects; the add effects only matter from M = 4 on.
void pagesScrollingLooks(Looks& looks, const Choices& c) {
    int32_t M = std::max(c.firstEffect, c.secondEffect);
    int32_t m = std::min(c.firstEffect, c.secondEffect);
    int32_t t = c.typingEffect;
    looks[kDirection] = enabledWhen(M > 9);
    looks[kAddEffectsGroup] = enabledWhen(M > 3);
    if (M <= 3) return;

    looks[kStrengthOfEffect] = Look::Enabled;
    // 5 is "Print By Lines" in both lists.
    looks[kPrintSize] = enabledWhen(c.firstEffect == 5 || c.secondEffect == 5);
    if (M == 4 || M == 5) {
        setLooks(looks, kTypingEffects, kPerspectiveScale, Look::Disabled);
    } else if (M == 6) {
        looks[kSpeedOfEffect] = Look::Enabled;
        setLooks(looks, kTypingEffects, kPerspectiveScale, Look::Disabled);
    } else if (M == 7 && t <= 2) {
        looks[kTypingEffects] = Look::Enabled;
        looks[kRotationSpeed] = Look::Disabled;
        looks[kPerspectiveScale] = Look::Disabled;
    } else if (M == 7 || M == 8) {
        looks[kSpeedOfEffect] = Look::Enabled;
        looks[kTypingEffects] = Look::Enabled;
        looks[kRotationSpeed] = Look::Enabled;
        looks[kPerspectiveScale] = enabledWhen(t >= 3);
    } else {
        looks[kSpeedOfEffect] = enabledWhen(m < 9);
        setLooks(looks, kTypingEffects, kPerspectiveScale, Look::Enabled);
    }
}

// "Creeping Line": the add effects follow the running effect (v); "Print
// Size" is left as it is.
void creepingLineLooks(Looks& looks, const Choices& c) {
    int32_t v = c.runningEffect;
    bool flying = c.typingEffect >= 3;
    auto in = [v](int32_t lo, int32_t hi) { return v >= lo && v <= hi; };
    if (v == 1 || v == 2 || v == 11) {
        setLooks(looks, kAddEffectsGroup, kPerspectiveScale, Look::Disabled);
    } else if (in(3, 5) || in(12, 14)) {
        setLooks(looks, kAddEffectsGroup, kSpeedOfEffect, Look::Enabled);
        setLooks(looks, kStrengthOfEffect, kPerspectiveScale, Look::Disabled);
    } else if (in(6, 10) || in(15, 19)) {
        setLooks(looks, kAddEffectsGroup, kTypingEffects, Look::Enabled);
        looks[kRotationSpeed] = enabledWhen(flying);
        looks[kPerspectiveScale] = enabledWhen(flying);
    } else if (in(20, 24)) {
        setLooks(looks, kAddEffectsGroup, kStrengthOfEffect, Look::Enabled);
        looks[kTypingEffects] = Look::Disabled;
        looks[kRotationSpeed] = Look::Enabled;
        looks[kPerspectiveScale] = enabledWhen(flying);
    } else if (in(25, 26)) {
        setLooks(looks, kAddEffectsGroup, kRotationSpeed, Look::Enabled);
        looks[kPerspectiveScale] = enabledWhen(flying);
    }
}

void effectTypeLooks(Looks& looks, const Choices& c) {
    int32_t E = c.effectType;
    if (E < kStaticText || E > kVerticalLine) return;
    looks[kWrap] = enabledWhen(E != kVerticalLine);
    looks[kScrollingControl] = enabledWhen(E != kStaticText);
    looks[kCommonTextGroup] = enabledWhen(E != kPerspectiveScrolling);
    looks[kLeading] = enabledWhen(E != kPerspectiveScrolling && E != kCreepingLine);
    setLooks(looks, kScrollingScreenGroup, kSecondScrollingEffect, enabledWhen(E == kPagesScrolling));
    looks[kSpeedOfFirstEffect] = enabledWhen(E == kPagesScrolling && c.firstEffect > 1);
    looks[kSpeedOfSecondEffect] = enabledWhen(E == kPagesScrolling && c.secondEffect > 1);
    looks[kPerspectiveGroup] = enabledWhen(E == kPerspectiveScrolling);
    looks[kRunningLineGroup] = enabledWhen(E == kCreepingLine);
    looks[kRunningEffect] = enabledWhen(E == kCreepingLine);
    // With a creeping line the rule of "Running Effect" decides these two.
    if (E != kCreepingLine) {
        looks[kSpaceSize] = Look::Disabled;
        looks[kDelay] = Look::Disabled;
    }
    if (E == kPagesScrolling)
        pagesScrollingLooks(looks, c);
    else if (E == kCreepingLine)
        creepingLineLooks(looks, c);
    else
        looks[kAddEffectsGroup] = Look::Disabled;
}

void scrollingControlLooks(Looks& looks, const Choices& c, int32_t scrollingControl) {
    if (c.effectType == kStaticText) {
        looks[kPhase] = Look::Disabled;
        looks[kSpeedPixsPerFrame] = Look::Disabled;
        return;
    }
    bool byPhase = scrollingControl == 1;
    looks[kPhase] = enabledWhen(byPhase);
    looks[kSpeedPixsPerFrame] = enabledWhen(!byPhase);
}

void randomInvertLooks(Looks& looks, int32_t randomInvert) {
    bool inverting = randomInvert != 1;  // 1 is "None"
    looks[kInvertDensity] = enabledWhen(inverting);
    looks[kRandomSeed] = enabledWhen(inverting);
}

void runningEffectLooks(Looks& looks, const Choices& c) {
    bool spaced = c.effectType == kCreepingLine && c.runningEffect > 1;
    looks[kSpaceSize] = enabledWhen(spaced);
    looks[kDelay] = enabledWhen(spaced);
}

bool decidesAnything(int32_t index) {
    return index == kEffectType || index == kScrollingControl || index == kRandomInvert ||
           index == kRunningEffect;
}

int32_t popupValue(PF_ParamList params, int32_t index) { return params[index]->u.pd.value; }

bool hasDeciders(PF_ParamList params) {
    if (!params) return false;
    for (int32_t i : {kEffectType, kScrollingControl, kRandomInvert, kFirstScrollingEffect,
                      kSecondScrollingEffect, kRunningEffect, kTypingEffects})
        if (!params[i]) return false;
    return true;
}

}  // namespace

PF_Err TypingInterplay(PF_InData* in_data, PF_OutData*, PF_ParamList params, int32_t index) {
    if (!decidesAnything(index)) return PF_Err_NONE;
    ParamUtilsSuite suite(in_data);
    if (!suite.get() || !hasDeciders(params)) return PF_Err_NONE;

    Choices c{popupValue(params, kEffectType), popupValue(params, kFirstScrollingEffect),
              popupValue(params, kSecondScrollingEffect), popupValue(params, kRunningEffect),
              popupValue(params, kTypingEffects)};
    Looks looks{};
    switch (index) {
        case kEffectType: effectTypeLooks(looks, c); break;
        case kScrollingControl: scrollingControlLooks(looks, c, popupValue(params, kScrollingControl)); break;
        case kRandomInvert: randomInvertLooks(looks, popupValue(params, kRandomInvert)); break;
        case kRunningEffect: runningEffectLooks(looks, c); break;
        default: break;
    }
    for (int32_t i = 0; i < kTypingParamCount; ++i)
        if (looks[i] != Look::Unchanged)
            SetControlEnabled(in_data, params, *suite.get(), i, looks[i] == Look::Enabled);
    return PF_Err_NONE;
}
