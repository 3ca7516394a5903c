#include "host/core/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zolhost {

namespace {

// Points and angles travel as 16.16 fixed point; beyond this a value wraps.
constexpr double kFixedLimit = 32767.0;

std::string number(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::to_string(v);
}

std::string quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool parseInt(std::string_view s, int64_t& out) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool parseDouble(std::string_view s, double& out) {
    std::string t = trim(s);
    std::string_view v = t;
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    if (v.empty()) return false;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    return ec == std::errc() && end == v.data() + v.size() && std::isfinite(out);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parseColor(std::string_view s, bool alphaAllowed, PF_Pixel& out) {
    if (s.size() != 7 && !(alphaAllowed && s.size() == 9)) return false;
    if (s[0] != '#') return false;
    uint8_t bytes[4] = {0, 0, 0, 255};
    for (size_t k = 0; k + 1 < s.size(); k += 2) {
        int hi = hexDigit(s[k + 1]), lo = hexDigit(s[k + 2]);
        if (hi < 0 || lo < 0) return false;
        bytes[k / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
    out.red = bytes[0];
    out.green = bytes[1];
    out.blue = bytes[2];
    out.alpha = bytes[3];
    return true;
}

PF_Fixed toFixed(double v) { return static_cast<PF_Fixed>(std::llround(v * 65536.0)); }

void checkFixedRange(double v, const char* what) {
    if (!(std::fabs(v) <= kFixedLimit))
        throw ValueError(number(v) + " is out of range for " + what + " (-32767 to 32767)");
}

template <class T>
T lerp(T a, T b, double t) {
    return static_cast<T>(std::llround(static_cast<double>(a) + (static_cast<double>(b) - a) * t));
}

Value mix(Kind kind, const Value& a, const Value& b, double t) {
    Value v = a;
    switch (kind) {
        case Kind::Slider: v.i = lerp(a.i, b.i, t); break;
        case Kind::FloatSlider: v.d = a.d + (b.d - a.d) * t; break;
        case Kind::Angle: v.fixed = lerp(a.fixed, b.fixed, t); break;
        case Kind::Point:
            v.x = lerp(a.x, b.x, t);
            v.y = lerp(a.y, b.y, t);
            break;
        case Kind::Color:
            v.color.alpha = lerp(a.color.alpha, b.color.alpha, t);
            v.color.red = lerp(a.color.red, b.color.red, t);
            v.color.green = lerp(a.color.green, b.color.green, t);
            v.color.blue = lerp(a.color.blue, b.color.blue, t);
            break;
        default: break;
    }
    return v;
}

std::string choiceList(const std::vector<std::string>& choices) {
    std::string s;
    for (size_t k = 0; k < choices.size(); ++k) {
        if (k) s += ", ";
        s += quote(choices[k]);
    }
    return s;
}

int findChoice(const std::vector<std::string>& choices, std::string_view text) {
    for (size_t k = 0; k < choices.size(); ++k)
        if (choices[k] == text) return static_cast<int>(k) + 1;
    int64_t n = 0;
    if (parseInt(trim(text), n)) return n >= 1 && n <= static_cast<int64_t>(choices.size()) ? static_cast<int>(n) : -1;
    // Some choices carry a space next to their separator; a user who leaves
    // it out, or writes another case, still means that choice when no other
    // one fits as well.
    for (auto fold : {false, true}) {
        std::string want = fold ? lower(trim(text)) : trim(text);
        int found = 0, count = 0;
        for (size_t k = 0; k < choices.size(); ++k) {
            std::string have = fold ? lower(trim(choices[k])) : trim(choices[k]);
            if (have == want) {
                found = static_cast<int>(k) + 1;
                ++count;
            }
        }
        if (count == 1) return found;
        if (count > 1) return 0;
    }
    return 0;
}

}  // namespace

bool operator==(const PF_Pixel& a, const PF_Pixel& b) {
    return a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

Kind kindOf(PF_ParamType type) {
    switch (type) {
        case PF_Param_LAYER: return Kind::Layer;
        case PF_Param_SLIDER: return Kind::Slider;
        case PF_Param_FIX_SLIDER: return Kind::Unknown;
        case PF_Param_ANGLE: return Kind::Angle;
        case PF_Param_CHECKBOX: return Kind::Checkbox;
        case PF_Param_COLOR: return Kind::Color;
        case PF_Param_POINT: return Kind::Point;
        case PF_Param_POPUP: return Kind::Popup;
        case PF_Param_CUSTOM: return Kind::Custom;
        case PF_Param_NO_DATA: return Kind::NoData;
        case PF_Param_FLOAT_SLIDER: return Kind::FloatSlider;
        case PF_Param_GROUP_START: return Kind::GroupStart;
        case PF_Param_GROUP_END: return Kind::GroupEnd;
        default: return Kind::Unknown;
    }
}

Kind kindOf(const PF_ParamDef& def) { return kindOf(def.param_type); }

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Layer: return "layer";
        case Kind::NoData: return "no_data";
        case Kind::Popup: return "popup";
        case Kind::Checkbox: return "checkbox";
        case Kind::Slider: return "slider";
        case Kind::FloatSlider: return "float_slider";
        case Kind::Angle: return "angle";
        case Kind::Point: return "point";
        case Kind::Color: return "color";
        case Kind::GroupStart: return "group_start";
        case Kind::GroupEnd: return "group_end";
        case Kind::Custom: return "custom";
        case Kind::Unknown: break;
    }
    return "unknown";
}

bool hasValue(Kind kind) {
    switch (kind) {
        case Kind::Popup:
        case Kind::Checkbox:
        case Kind::Slider:
        case Kind::FloatSlider:
        case Kind::Angle:
        case Kind::Point:
        case Kind::Color: return true;
        default: return false;
    }
}

bool interpolates(Kind kind) {
    return kind == Kind::Slider || kind == Kind::FloatSlider || kind == Kind::Angle || kind == Kind::Point ||
           kind == Kind::Color;
}

Value readValue(const PF_ParamDef& def) {
    Value v;
    switch (kindOf(def)) {
        case Kind::Popup: v.i = def.u.pd.value; break;
        case Kind::Checkbox: v.i = def.u.bd.value; break;
        case Kind::Slider: v.i = def.u.sd.value; break;
        case Kind::FloatSlider: v.d = def.u.fs_d.value; break;
        case Kind::Angle: v.fixed = def.u.ad.value; break;
        case Kind::Point:
            v.x = def.u.td.x_value;
            v.y = def.u.td.y_value;
            break;
        case Kind::Color: v.color = def.u.cd.value; break;
        default: break;
    }
    return v;
}

void writeValue(PF_ParamDef& def, const Value& v) {
    switch (kindOf(def)) {
        case Kind::Popup: def.u.pd.value = v.i; break;
        case Kind::Checkbox: def.u.bd.value = v.i; break;
        case Kind::Slider: def.u.sd.value = v.i; break;
        case Kind::FloatSlider: def.u.fs_d.value = v.d; break;
        case Kind::Angle: def.u.ad.value = v.fixed; break;
        case Kind::Point:
            def.u.td.x_value = v.x;
            def.u.td.y_value = v.y;
            break;
        case Kind::Color: def.u.cd.value = v.color; break;
        default: break;
    }
}

void setKeyframe(std::vector<Keyframe>& keys, int32_t frame, const Value& v) {
    auto it = std::lower_bound(keys.begin(), keys.end(), frame,
                               [](const Keyframe& k, int32_t f) { return k.frame < f; });
    if (it != keys.end() && it->frame == frame)
        it->value = v;
    else
        keys.insert(it, Keyframe{frame, v});
}

Value valueAt(Kind kind, const Value& staticValue, const std::vector<Keyframe>& keys, double frame) {
    if (keys.empty()) return staticValue;
    if (!(frame > keys.front().frame)) return keys.front().value;
    if (frame >= keys.back().frame) return keys.back().value;
    auto next = std::upper_bound(keys.begin(), keys.end(), frame,
                                 [](double f, const Keyframe& k) { return f < k.frame; });
    auto prev = next - 1;
    if (!interpolates(kind)) return prev->value;
    double t = (frame - prev->frame) / static_cast<double>(next->frame - prev->frame);
    return mix(kind, prev->value, next->value, t);
}

std::vector<std::string> splitChoices(const char* choices) {
    std::vector<std::string> out;
    if (!choices) return out;
    std::string_view s(choices);
    size_t start = 0;
    while (true) {
        size_t bar = s.find('|', start);
        out.emplace_back(s.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

double floatDecimal(float f) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f);
    double d = f;
    if (ec == std::errc()) std::from_chars(buf, end, d);
    return d;
}

double fixedToDouble(PF_Fixed f) { return f / 65536.0; }

std::string colorText(const PF_Pixel& c, bool withAlpha) {
    char buf[16];
    if (withAlpha)
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X%02X", c.red, c.green, c.blue, c.alpha);
    else
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.red, c.green, c.blue);
    return buf;
}

nlohmann::json defaultJson(const PF_ParamDef& def) {
    switch (kindOf(def)) {
        case Kind::Popup: return def.u.pd.dflt;
        case Kind::Checkbox: return def.u.bd.dflt != 0;
        case Kind::Slider: return def.u.sd.dflt;
        case Kind::FloatSlider: return def.u.fs_d.dflt;
        case Kind::Angle: return fixedToDouble(def.u.ad.dflt);
        case Kind::Point:
            return nlohmann::json::array({fixedToDouble(def.u.td.x_dflt), fixedToDouble(def.u.td.y_dflt)});
        case Kind::Color: return colorText(def.u.cd.dflt);
        default: return nullptr;
    }
}

nlohmann::json valueJson(const PF_ParamDef& def, const Value& v) {
    switch (kindOf(def)) {
        case Kind::Popup: return v.i;
        case Kind::Checkbox: return v.i != 0;
        case Kind::Slider: return v.i;
        case Kind::FloatSlider: return v.d;
        case Kind::Angle: return fixedToDouble(v.fixed);
        case Kind::Point: return nlohmann::json::array({fixedToDouble(v.x), fixedToDouble(v.y)});
        case Kind::Color: return colorText(v.color);
        default: return nullptr;
    }
}

nlohmann::json storedValueJson(const PF_ParamDef& def, const Value& v) {
    if (kindOf(def) == Kind::Color) return colorText(v.color, v.color.alpha != 255);
    return valueJson(def, v);
}

void checkRange(const PF_ParamDef& def, const Value& v) {
    switch (kindOf(def)) {
        case Kind::Popup:
            if (v.i < 1 || v.i > def.u.pd.num_choices)
                throw ValueError("choice " + std::to_string(v.i) + " is out of range (1 to " +
                                 std::to_string(def.u.pd.num_choices) + ")");
            break;
        case Kind::Checkbox:
            if (v.i != 0 && v.i != 1) throw ValueError("a checkbox is on or off");
            break;
        case Kind::Slider:
            if (v.i < def.u.sd.valid_min || v.i > def.u.sd.valid_max)
                throw ValueError(std::to_string(v.i) + " is out of range (" + std::to_string(def.u.sd.valid_min) +
                                 " to " + std::to_string(def.u.sd.valid_max) + ")");
            break;
        case Kind::FloatSlider: {
            double lo = floatDecimal(def.u.fs_d.valid_min), hi = floatDecimal(def.u.fs_d.valid_max);
            if (!std::isfinite(v.d) || v.d < lo || v.d > hi)
                throw ValueError(number(v.d) + " is out of range (" + number(lo) + " to " + number(hi) + ")");
            break;
        }
        case Kind::Angle: checkFixedRange(fixedToDouble(v.fixed), "an angle"); break;
        case Kind::Point:
            checkFixedRange(fixedToDouble(v.x), "a point");
            checkFixedRange(fixedToDouble(v.y), "a point");
            break;
        default: break;
    }
}

Value valueFromJson(const PF_ParamDef& def, const nlohmann::json& j) {
    Value v = readValue(def);
    Kind kind = kindOf(def);
    auto wholeNumber = [&](const char* what) {
        if (!j.is_number_integer()) throw ValueError(std::string("expected ") + what + ", not " + j.dump());
        int64_t n = j.get<int64_t>();
        if (n < INT32_MIN || n > INT32_MAX) throw ValueError(j.dump() + " is out of range");
        return static_cast<int32_t>(n);
    };
    auto anyNumber = [&](const nlohmann::json& e) {
        if (!e.is_number()) throw ValueError("expected a number, not " + e.dump());
        return e.get<double>();
    };
    switch (kind) {
        case Kind::Popup: v.i = wholeNumber("a choice number"); break;
        case Kind::Checkbox:
            if (!j.is_boolean()) throw ValueError("expected true or false, not " + j.dump());
            v.i = j.get<bool>() ? 1 : 0;
            break;
        case Kind::Slider: v.i = wholeNumber("a whole number"); break;
        case Kind::FloatSlider: v.d = anyNumber(j); break;
        case Kind::Angle: {
            double deg = anyNumber(j);
            checkFixedRange(deg, "an angle");
            v.fixed = toFixed(deg);
            break;
        }
        case Kind::Point: {
            if (!j.is_array() || j.size() != 2) throw ValueError("expected [x, y], not " + j.dump());
            double x = anyNumber(j[0]), y = anyNumber(j[1]);
            checkFixedRange(x, "a point");
            checkFixedRange(y, "a point");
            v.x = toFixed(x);
            v.y = toFixed(y);
            break;
        }
        case Kind::Color:
            if (!j.is_string() || !parseColor(j.get<std::string>(), true, v.color))
                throw ValueError("expected a colour \"#RRGGBB\", not " + j.dump());
            break;
        default: throw ValueError(std::string("a ") + kindName(kind) + " takes no value");
    }
    checkRange(def, v);
    return v;
}

Value parseValueText(const PF_ParamDef& def, std::string_view text) {
    Value v = readValue(def);
    Kind kind = kindOf(def);
    switch (kind) {
        case Kind::Popup: {
            auto choices = splitChoices(def.u.pd.choices);
            int n = findChoice(choices, text);
            if (n < 0)
                throw ValueError("choice " + std::string(trim(text)) + " is out of range (1 to " +
                                 std::to_string(choices.size()) + ")");
            if (n == 0) throw ValueError("no choice " + quote(text) + " (choices: " + choiceList(choices) + ")");
            v.i = n;
            break;
        }
        case Kind::Checkbox: {
            std::string t = lower(trim(text));
            if (t == "on" || t == "true" || t == "1")
                v.i = 1;
            else if (t == "off" || t == "false" || t == "0")
                v.i = 0;
            else
                throw ValueError("expected on or off, not " + quote(text));
            break;
        }
        case Kind::Slider: {
            int64_t n = 0;
            if (!parseInt(trim(text), n)) throw ValueError("expected a whole number, not " + quote(text));
            if (n < def.u.sd.valid_min || n > def.u.sd.valid_max)
                throw ValueError(std::to_string(n) + " is out of range (" + std::to_string(def.u.sd.valid_min) +
                                 " to " + std::to_string(def.u.sd.valid_max) + ")");
            v.i = static_cast<int32_t>(n);
            break;
        }
        case Kind::FloatSlider:
            if (!parseDouble(text, v.d)) throw ValueError("expected a number, not " + quote(text));
            break;
        case Kind::Angle: {
            double deg = 0;
            if (!parseDouble(text, deg)) throw ValueError("expected an angle in degrees, not " + quote(text));
            checkFixedRange(deg, "an angle");
            v.fixed = toFixed(deg);
            break;
        }
        case Kind::Point: {
            size_t comma = text.find(',');
            double x = 0, y = 0;
            if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos ||
                !parseDouble(text.substr(0, comma), x) || !parseDouble(text.substr(comma + 1), y))
                throw ValueError("expected a point X,Y in layer pixels, not " + quote(text));
            checkFixedRange(x, "a point");
            checkFixedRange(y, "a point");
            v.x = toFixed(x);
            v.y = toFixed(y);
            break;
        }
        case Kind::Color:
            if (!parseColor(trim(text), false, v.color))
                throw ValueError("expected a colour #RRGGBB, not " + quote(text));
            break;
        default: throw ValueError(std::string("a ") + kindName(kind) + " takes no value");
    }
    checkRange(def, v);
    return v;
}

}  // namespace zolhost
