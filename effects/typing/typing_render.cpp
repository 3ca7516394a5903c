// The typing effect's render driver: parameters at the frame's time, the
// instance's cached layout document, a cleared frame, and the animation of
// the chosen effect type.
#include <cmath>
#include <cstring>

#include "effects/typing/typing.h"
#include "effects/typing/typing_render.h"
#include "framework/interchange.h"
#include "framework/plugin_globals.h"
#include "framework/sequence_data.h"
#include "glyph/blend.h"
#include "glyph/coverage.h"

namespace {

const PF_ParamDefUnion& param(PF_ParamList params, int32_t index) { return params[index]->u; }
int32_t popupValue(PF_ParamList params, int32_t index) { return param(params, index).pd.value; }
int32_t checkboxValue(PF_ParamList params, int32_t index) { return param(params, index).bd.value; }
int32_t sliderValue(PF_ParamList params, int32_t index) { return param(params, index).sd.value; }
double floatValue(PF_ParamList params, int32_t index) { return param(params, index).fs_d.value; }
float floatValueF(PF_ParamList params, int32_t index) { return static_cast<float>(floatValue(params, index)); }
// The whole part of a 16.16 value, truncated toward zero.
int32_t fixedWhole(PF_Fixed v) { return v / PF_FIXED_ONE; }

int32_t frameIndexOf(const PF_InData* in_data) {
    return in_data->local_time_step != 0 ? in_data->current_time / in_data->local_time_step : 0;
}

// A layer width of 0 would divide by zero; such a layer is drawn at scale 1.
double renderScaleFor(int32_t outputWidth, int32_t layerWidth) {
    if (layerWidth <= 0 || outputWidth == layerWidth) return 1.0;
    return static_cast<double>(outputWidth) / layerWidth;
}

// "By Speed": the speed integrated over the frames before this one, each
// checked out at its own time so that keyframes count.
PF_Err scrollDistance(PF_InData* in_data, int32_t frameIndex, double renderScale, float& sum) {
    PF_Err result = PF_Err_NONE;
    sum = 0.0f;
    if (!in_data->inter.checkout_param) return result;
    for (int32_t k = 0; k < frameIndex; ++k) {
        PF_ParamDef def{};
        result = in_data->inter.checkout_param(in_data->effect_ref, kSpeedPixsPerFrame,
                                               k * in_data->local_time_step, in_data->local_time_step,
                                               in_data->time_scale, &def);
        const float v = static_cast<float>(def.u.fs_d.value);
        if (in_data->inter.checkin_param) in_data->inter.checkin_param(in_data->effect_ref, &def);
        sum += v * static_cast<float>(renderScale);
    }
    return result;
}

void loadJitters(PF_ParamList params, int32_t frameIndex, glyph::JitterSettings& j) {
    j.frameIndex = frameIndex;
    j.speed = floatValueF(params, kSpeedOfJitters);
    j.frequency = floatValueF(params, kFrequencyOfJitters);
    j.seed = sliderValue(params, kJitterSeed);
    j.offsetType = popupValue(params, kOffsetJitterType);
    j.offsetValue = floatValueF(params, kOffsetValue);
    j.scaleType = popupValue(params, kScaleJitterType);
    j.scaleValue = floatValueF(params, kScaleValue);
    j.scaleWithoutMove = checkboxValue(params, kScaleWithoutMove);
    j.colorType = popupValue(params, kColorJitterType);
    j.colorValue = floatValueF(params, kColorValue);
    j.rotationType = popupValue(params, kRotationJitterType);
    j.rotationAmount = floatValueF(params, kRotationAmount);
}

TypingFrame frameValues(PF_ParamList params, const PF_LayerDef& output) {
    TypingFrame f;
    f.imageWidth = output.width;
    f.imageHeight = output.height;
    f.pixelsPerRow = output.rowbytes / 4;
    f.pixels = reinterpret_cast<uint8_t*>(output.data);
    f.effectType = popupValue(params, kEffectType);
    f.scrollControl = popupValue(params, kScrollingControl);
    f.phase = floatValueF(params, kPhase);
    f.leading = floatValue(params, kLeading) * 0.01;
    if (f.leading == 0.0) f.leading = 1.0;
    f.randomInvertMode = popupValue(params, kRandomInvert) - 1;
    f.density = floatValue(params, kInvertDensity);
    f.invertParagraph = checkboxValue(params, kInvertParagraph);
    f.invertHeadline = checkboxValue(params, kInvertHeadline);
    f.firstEffect = popupValue(params, kFirstScrollingEffect);
    f.secondEffect = popupValue(params, kSecondScrollingEffect);
    f.firstSpeed = floatValueF(params, kSpeedOfFirstEffect);
    f.secondSpeed = floatValueF(params, kSpeedOfSecondEffect);
    const PF_PointDef& first = param(params, kFirstPoint).td;
    const PF_PointDef& second = param(params, kSecondPoint).td;
    f.firstPointX = fixedWhole(first.x_value) - f.imageWidth / 2;
    f.secondPointX = fixedWhole(second.x_value) - f.imageWidth / 2;
    f.firstPointY = fixedWhole(first.y_value);
    f.secondPointY = fixedWhole(second.y_value);
    f.perspectiveLines = sliderValue(params, kNumbersOfLines);
    f.perspective = floatValueF(params, kPerspective);
    f.addScale = floatValueF(params, kAddScale);
    f.parabola = checkboxValue(params, kParabola);
    f.transparencyZone = floatValueF(params, kTransparencyZone);
    f.runningEffect = popupValue(params, kRunningEffect);
    f.spacePx = static_cast<float>(floatValue(params, kSpaceSize) * 0.01 * f.imageWidth);
    f.delayPx = static_cast<float>(floatValue(params, kDelay) * 0.01 * f.imageWidth);
    f.effectSpeed = floatValueF(params, kSpeedOfEffect);
    f.effectStrength = floatValueF(params, kStrengthOfEffect);
    f.typingEffect = popupValue(params, kTypingEffects);
    f.rotationSpeed = floatValueF(params, kRotationSpeed);
    f.perspectiveScale = floatValueF(params, kPerspectiveScale);
    f.printSize = floatValueF(params, kPrintSize);
    return f;
}

void clearFrame(const TypingFrame& f) {
    for (int32_t row = 0; row < f.imageHeight; ++row)
        std::memset(f.pixels + 4 * static_cast<int64_t>(row) * f.pixelsPerRow, 0,
                    4 * static_cast<size_t>(f.pixelsPerRow));
}

// The input layer shown instead of the text when the text cannot reach the
// library.
void showInputLayer(PF_ParamList params, const PF_LayerDef& output) {
    const PF_LayerDef& input = param(params, kInputLayer).ld;
    if (!input.data || !output.data) return;
    const int w = input.width < output.width ? input.width : output.width;
    const int h = input.height < output.height ? input.height : output.height;
    glyph::copyImage(reinterpret_cast<uint8_t*>(output.data), reinterpret_cast<const uint8_t*>(input.data),
                     w, h, output.rowbytes, input.rowbytes);
}

// Cached: kept in the instance record. Uncached: the record cannot hold it,
// so it lives for this frame only.
enum class DocumentState { Cached, Uncached, NoFile };

// Reuses the instance's document while the output width and "Wrap" are
// those it was laid out for; otherwise lays the text out anew at the
// layer's full-resolution size.
DocumentState currentDocument(PF_InData* in_data, const TypingFrame& f, int32_t wrap, int32_t seed,
                              HideRichDocument& document) {
    const LibraryFunctions& lib = g_plugin.library;
    {
        LockedRecord record(in_data, in_data->sequence_data);
        const int32_t cachedWidth = record.load32(offsetof(TypingInstanceRecord, cachedWidth));
        const int32_t cachedWrap = record.load32(offsetof(TypingInstanceRecord, cachedWrap));
        document = static_cast<HideRichDocument>(record.load32(offsetof(TypingInstanceRecord, document)));
        if (cachedWidth == f.imageWidth && cachedWrap == wrap && cachedWidth != 0) return DocumentState::Cached;
    }
    const double scale = renderScaleFor(f.imageWidth, in_data->width);
    glyph::glyphSettings().renderScale = scale;
    if (!WriteTypingInterchange(in_data, g_plugin.module)) {
        ShowEffectWarning(kQuillarineBreak,
                          "You have a problem with creation file 'stream.tmp' at After Effect's folder");
        return DocumentState::NoFile;
    }
    LockedRecord record(in_data, in_data->sequence_data);
    if (document && lib.DeleteHideRich) lib.DeleteHideRich(document);
    document = 0;
    if (lib.CreateHideRich) {
        const double inverse = 1.0 / scale;
        document = lib.CreateHideRich(nullptr, static_cast<int32_t>(f.imageWidth * inverse),
                                      static_cast<int32_t>(f.imageHeight * inverse), wrap, scale, 1.0,
                                      f.density, f.randomInvertMode, seed);
    }
    // A record too short for the cache fields (a damaged project) keeps
    // nothing.
    if (record.size() < sizeof(TypingInstanceRecord)) return DocumentState::Uncached;
    record.store32(offsetof(TypingInstanceRecord, document), static_cast<int32_t>(document));
    record.store32(offsetof(TypingInstanceRecord, cachedWidth), f.imageWidth);
    record.store32(offsetof(TypingInstanceRecord, cachedWrap), wrap);
    return DocumentState::Cached;
}

void animate(const TypingFrame& f, const TypingScene& scene) {
    switch (f.effectType) {
        case kStaticText:
        case kScrolling: DrawStaticOrScrolling(f, scene); break;
        case kVerticalLine: DrawVerticalLine(f, scene); break;
        default: break;  // the other effect types arrive with their animations
    }
}

}  // namespace

PF_Err RenderTyping(PF_InData* in_data, PF_OutData*, PF_ParamList params, PF_LayerDef* output) {
    if (!in_data || !params || !output || !output->data || output->width <= 0 || output->height <= 0 ||
        output->rowbytes < 4 * output->width)
        return PF_Err_BAD_CALLBACK_PARAM;

    const int32_t frameIndex = frameIndexOf(in_data);
    TypingFrame f = frameValues(params, *output);
    const double renderScale = renderScaleFor(f.imageWidth, in_data->width);

    PF_Err result = PF_Err_NONE;
    if (f.scrollControl == 2 && f.effectType != kStaticText)
        result = scrollDistance(in_data, frameIndex, renderScale, f.scrollSum);

    glyph::GlyphRenderSettings& s = glyph::glyphSettings();
    s.highQuality = in_data->quality == PF_Quality_HI;
    if (s.highQuality) glyph::buildNibbleCountTable();
    s.renderScale = renderScale;
    s.oversampling = checkboxValue(params, kHighQuality) ? 8 : 4;
    s.charScale = 1.0f;
    s.invertSeed = sliderValue(params, kRandomSeed);
    loadJitters(params, frameIndex, s.jitter);
    s.directionAngle = static_cast<float>(fixedWhole(param(params, kDirection).ad.value) + 90);
    s.lineTable = nullptr;
    s.lineCount = 0;

    clearFrame(f);

    TypingScene scene;
    scene.in_data = in_data;
    scene.library = &g_plugin.library;
    const int32_t wrap = checkboxValue(params, kWrap);
    const DocumentState state = currentDocument(in_data, f, wrap, sliderValue(params, kRandomSeed), scene.document);
    if (state == DocumentState::NoFile) {
        showInputLayer(params, *output);
        return PF_Err_NONE;
    }
    const LibraryFunctions& lib = g_plugin.library;
    struct FrameDocument {
        const LibraryFunctions& lib;
        HideRichDocument document;
        bool owned;
        ~FrameDocument() {
            if (owned && document && lib.DeleteHideRich) lib.DeleteHideRich(document);
        }
    } frameDocument{lib, scene.document, state == DocumentState::Uncached};

    if (!scene.document || !lib.GetWNDHideRich || !lib.GetCountHideRich) return PF_Err_NONE;
    scene.layoutWindow = lib.GetWNDHideRich(scene.document);
    if (!scene.layoutWindow) return PF_Err_NONE;
    f.lineCount = lib.GetCountHideRich(scene.document);

    void* table = nullptr;
    if (f.lineCount > 0) {
        table = VirtualAlloc(nullptr, static_cast<size_t>(f.lineCount) * sizeof(glyph::LineEntry),
                             MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!table) return PF_Err_NONE;
    }
    scene.lineTable = static_cast<glyph::LineEntry*>(table);
    s.lineTable = scene.lineTable;
    s.lineCount = f.lineCount;
    if (f.lineCount > 0) animate(f, scene);
    s.lineTable = nullptr;
    s.lineCount = 0;
    if (table) VirtualFree(table, 0, MEM_RELEASE);
    return result;
}
