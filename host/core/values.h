// Parameter values as the host keeps them, keyframes, and the text and JSON
// forms in which users and projects write them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/effect_api/effect_api.h"

namespace zolhost {

enum class Kind {
    Layer,
    NoData,
    Popup,
    Checkbox,
    Slider,
    FloatSlider,
    Angle,
    Point,
    Color,
    GroupStart,
    GroupEnd,
    Custom,
    Unknown,
};

Kind kindOf(PF_ParamType type);
Kind kindOf(const PF_ParamDef& def);
// The type names of the command line and of projects ("float_slider", ...).
const char* kindName(Kind kind);
// Kinds whose definitions carry a value the user can set and keyframe.
bool hasValue(Kind kind);
// Numbers, angles, points and colours glide between keyframes; popups and
// checkboxes hold until the next one.
bool interpolates(Kind kind);

// One value of any kind; only the fields of the parameter's kind are used.
struct Value {
    int32_t i = 0;       // slider, popup (1-based), checkbox (0 or 1)
    double d = 0.0;      // float slider
    PF_Fixed fixed = 0;  // angle, degrees in 16.16
    PF_Fixed x = 0, y = 0;  // point, layer pixels in 16.16
    PF_Pixel color{};

    bool operator==(const Value&) const = default;
};
bool operator==(const PF_Pixel& a, const PF_Pixel& b);

Value readValue(const PF_ParamDef& def);
void writeValue(PF_ParamDef& def, const Value& v);

struct Keyframe {
    int32_t frame = 0;
    Value value;
    bool operator==(const Keyframe&) const = default;
};

// Keeps the keys sorted by frame; a key at an existing frame replaces it.
void setKeyframe(std::vector<Keyframe>& keys, int32_t frame, const Value& v);
// The value at `frame` (fractions allowed): the static value without keys;
// before the first key its value, after the last key its value.
Value valueAt(Kind kind, const Value& staticValue, const std::vector<Keyframe>& keys, double frame);

// The popup's choices, split at "|" with every choice's own spaces kept.
std::vector<std::string> splitChoices(const char* choices);
// A float limit as its shortest decimal (0.01f is 0.01, not 0.0099999998),
// so that a user who types the limit gets it.
double floatDecimal(float f);
double fixedToDouble(PF_Fixed f);

// Why a value is refused; the caller adds the parameter it was meant for.
struct ValueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The forms of `zolhost info` (defaults) and `show` (values): popup its
// number, checkbox true/false, sliders and angles numbers, point [x, y],
// colour "#RRGGBB"; null for kinds without a value.
nlohmann::json defaultJson(const PF_ParamDef& def);
nlohmann::json valueJson(const PF_ParamDef& def, const Value& v);
// Projects keep a colour's alpha when it is not opaque ("#RRGGBBAA").
nlohmann::json storedValueJson(const PF_ParamDef& def, const Value& v);
// Reads a value in the JSON forms above; throws ValueError.
Value valueFromJson(const PF_ParamDef& def, const nlohmann::json& j);
// Reads a value as a user types it: a popup's choice text or its number,
// on/off, a number, degrees, "X,Y" in layer pixels, "#RRGGBB"; throws
// ValueError for the wrong kind or a value outside the valid range.
Value parseValueText(const PF_ParamDef& def, std::string_view text);
// Throws ValueError when `v` lies outside the definition's valid range.
void checkRange(const PF_ParamDef& def, const Value& v);

std::string colorText(const PF_Pixel& c, bool withAlpha = false);

}  // namespace zolhost
