// The typing effect "ZOL Quillarine": its parameter indices, fixed for good
// because the render, the interplay and the preset files address them.
#pragma once

#include "platform/effect_api/effect_api.h"

enum TypingParam : int32_t {
    kInputLayer = 0,
    kInformation = 1,
    kEffectType = 2,
    kWrap = 3,
    kScrollingControl = 4,
    kPhase = 5,
    kSpeedPixsPerFrame = 6,
    kHighQuality = 7,
    kCommonTextGroup = 8,
    kLeading = 9,
    kRandomInvert = 10,
    kInvertDensity = 11,
    kRandomSeed = 12,
    kInvertParagraph = 13,
    kInvertHeadline = 14,
    kCommonTextEnd = 15,
    kScrollingScreenGroup = 16,
    kFirstScrollingEffect = 17,
    kSecondScrollingEffect = 18,
    kSpeedOfFirstEffect = 19,
    kSpeedOfSecondEffect = 20,
    kDirection = 21,
    kScrollingScreenEnd = 22,
    kPerspectiveGroup = 23,
    kFirstPoint = 24,
    kSecondPoint = 25,
    kNumbersOfLines = 26,
    kPerspective = 27,
    kAddScale = 28,
    kParabola = 29,
    kTransparencyZone = 30,
    kPerspectiveEnd = 31,
    kRunningLineGroup = 32,
    kRunningEffect = 33,
    kSpaceSize = 34,
    kDelay = 35,
    kRunningLineEnd = 36,
    kAddEffectsGroup = 37,
    kSpeedOfEffect = 38,
    kStrengthOfEffect = 39,
    kTypingEffects = 40,
    kRotationSpeed = 41,
    kPerspectiveScale = 42,
    kPrintSize = 43,
    kAddEffectsEnd = 44,
    kJittersGroup = 45,
    kSpeedOfJitters = 46,
    kFrequencyOfJitters = 47,
    kJitterSeed = 48,
    kOffsetJitterType = 49,
    kOffsetValue = 50,
    kScaleJitterType = 51,
    kScaleValue = 52,
    kScaleWithoutMove = 53,
    kColorJitterType = 54,
    kColorValue = 55,
    kRotationJitterType = 56,
    kRotationAmount = 57,
    kJittersEnd = 58,
    kFilesPreset = 59,
    kTypingParamCount = 60,
};

// "Effect Type" values.
enum TypingEffectType : int32_t {
    kStaticText = 1,
    kScrolling = 2,
    kPagesScrolling = 3,
    kPerspectiveScrolling = 4,
    kCreepingLine = 5,
    kVerticalLine = 6,
};

PF_Err RegisterTypingParams(PF_InData* in_data, PF_OutData* out_data);

// Greys out the controls that do not apply after parameter `index` changed;
// only "Effect Type", "Scrolling Control", "Random Invert" and "Running
// Effect" decide anything.
PF_Err TypingInterplay(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, int32_t index);
