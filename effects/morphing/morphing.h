// The morphing effect "ZOL Morphing": its parameter indices.
#pragma once

#include "platform/effect_api/effect_api.h"

enum MorphingParam : int32_t {
    kInputLayer = 0,
    kInformation = 1,
    kEffectType = 2,
    kScrollingControl = 3,
    kPhase = 4,
    kSpeedPixsPerFrame = 5,
    kCommonTextGroup = 6,
    kWrap = 7,
    kKerningType = 8,
    kFixedLeaving = 9,
    kLeading = 10,
    kScrollingSpeed = 11,
    kMorphAndRotate = 12,
    kScaleEffect = 13,
    kMorphingColor = 14,
    kCustomColor = 15,
    kCommonTextEnd = 16,
    kJittersGroup = 17,
    kSpeedOfJitters = 18,
    kFrequencyOfJitters = 19,
    kJitterSeed = 20,
    kOffsetJitterType = 21,
    kOffsetValue = 22,
    kScaleJitterType = 23,
    kScaleValue = 24,
    kScaleWithoutMove = 25,
    kColorJitterType = 26,
    kColorValue = 27,
    kRotationJitterType = 28,
    kRotationValue = 29,
    kJittersEnd = 30,
    kMorphingParamCount = 31,
};

// "Effect Type" values.
enum MorphingEffectType : int32_t {
    kNoEffect = 1,
    kScrollingType = 2,
    kOrderedScrolling = 3,
    kLinesScrolling = 4,
    kLinesOrderedScrolling = 5,
    kScrollingAll = 6,
    kOrderedScrollingAll = 7,
    kMorphing = 8,
    kLinesMorphing = 9,
    kMorphingAll = 10,
};

PF_Err RegisterMorphingParams(PF_InData* in_data, PF_OutData* out_data);

// Only "Effect Type" decides anything: it greys out "Scrolling Speed" and
// "Morph & Rotate" where they do not apply.
PF_Err MorphingInterplay(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, int32_t index);
