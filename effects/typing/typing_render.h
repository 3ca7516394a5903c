// The typing effect's frame: what the render driver hands to the animation
// of each effect type, built anew for every frame.
#pragma once

#include <cstdint>

#include "framework/library_binding.h"
#include "glyph/settings.h"
#include "platform/effect_api/effect_api.h"

struct TypingFrame {
    int32_t imageWidth = 0, imageHeight = 0;
    int32_t pixelsPerRow = 0;
    uint8_t* pixels = nullptr;
    int32_t lineCount = 0;
    int32_t effectType = 0;
    int32_t scrollControl = 0;
    float phase = 0.0f;
    float scrollSum = 0.0f;  // distance travelled "By Speed"
    double leading = 1.0;
    int32_t randomInvertMode = 0;  // 0 none, 1 letters, 2 words
    double density = 0.0;
    int32_t invertParagraph = 0;
    int32_t invertHeadline = 0;
    int32_t firstEffect = 0, secondEffect = 0;
    float firstSpeed = 0.0f, secondSpeed = 0.0f;
    int32_t firstPointX = 0, secondPointX = 0;  // from the frame's horizontal centre
    int32_t firstPointY = 0, secondPointY = 0;
    int32_t perspectiveLines = 0;
    float perspective = 0.0f;
    float addScale = 0.0f;
    int32_t parabola = 0;
    float transparencyZone = 0.0f;
    int32_t runningEffect = 0;
    float spacePx = 0.0f;
    float delayPx = 0.0f;
    float effectSpeed = 0.0f;
    float effectStrength = 0.0f;
    int32_t typingEffect = 0;
    float rotationSpeed = 0.0f;
    float perspectiveScale = 0.0f;
    float printSize = 0.0f;
};

// What an animation draws with: the frame's document, its layout window and
// the line table it fills.
struct TypingScene {
    PF_InData* in_data = nullptr;
    const LibraryFunctions* library = nullptr;
    HideRichDocument document = 0;
    HWND layoutWindow = nullptr;
    glyph::LineEntry* lineTable = nullptr;
};

// PF_Cmd_RENDER of the typing effect.
PF_Err RenderTyping(PF_InData* in_data, PF_OutData* out_data, PF_ParamList params, PF_LayerDef* output);

// "Static Text" and "Scrolling".
void DrawStaticOrScrolling(const TypingFrame& frame, const TypingScene& scene);
// "Vertical Line": one character per line, the column scrolling up.
void DrawVerticalLine(const TypingFrame& frame, const TypingScene& scene);
