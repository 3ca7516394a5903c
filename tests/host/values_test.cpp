#include "host/core/values.h"

#include <gtest/gtest.h>

#include "test_defs.h"

namespace zolhost {
// Lets failing expectations print a value.
std::ostream& operator<<(std::ostream& os, const Value& v) {
    return os << "{i=" << v.i << " d=" << v.d << " fixed=" << v.fixed << " x=" << v.x << " y=" << v.y
              << " argb=" << int(v.color.alpha) << "," << int(v.color.red) << "," << int(v.color.green) << ","
              << int(v.color.blue) << "}";
}
}  // namespace zolhost

using zolhost::Keyframe;
using zolhost::Kind;
using zolhost::Value;

namespace {

Value num(double d) {
    Value v;
    v.d = d;
    return v;
}
Value whole(int32_t i) {
    Value v;
    v.i = i;
    return v;
}
Value deg(double d) {
    Value v;
    v.fixed = static_cast<PF_Fixed>(d * 65536.0);
    return v;
}
Value pt(double x, double y) {
    Value v;
    v.x = static_cast<PF_Fixed>(x * 65536.0);
    v.y = static_cast<PF_Fixed>(y * 65536.0);
    return v;
}
Value rgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    Value v;
    v.color = PF_Pixel{a, r, g, b};
    return v;
}


struct InterpCase {
    const char* what;
    Kind kind;
    std::vector<Keyframe> keys;
    double frame;
    Value expected;
};

class Interpolation : public ::testing::TestWithParam<InterpCase> {};

TEST_P(Interpolation, GivesTheValueAtTheFrame) {
    const InterpCase& c = GetParam();
    Value statik = num(-77);
    statik.i = -77;
    Value got = zolhost::valueAt(c.kind, statik, c.keys, c.frame);
    EXPECT_EQ(got, c.expected) << c.what << ": got " << got;
}

const std::vector<Keyframe> kRamp = {{0, num(0)}, {10, num(1)}};

INSTANTIATE_TEST_SUITE_P(
    Table, Interpolation,
    ::testing::Values(
        InterpCase{"float midway", Kind::FloatSlider, kRamp, 5, num(0.5)},
        InterpCase{"float quarter", Kind::FloatSlider, kRamp, 2.5, num(0.25)},
        InterpCase{"float on a key", Kind::FloatSlider, kRamp, 10, num(1)},
        InterpCase{"before the first key holds it", Kind::FloatSlider, {{4, num(2)}, {8, num(6)}}, 1, num(2)},
        InterpCase{"after the last key holds it", Kind::FloatSlider, kRamp, 400, num(1)},
        InterpCase{"one key is constant", Kind::FloatSlider, {{7, num(0.3)}}, 0, num(0.3)},
        InterpCase{"second segment of three keys", Kind::FloatSlider,
                   {{0, num(0)}, {10, num(1)}, {20, num(-1)}}, 15, num(0)},
        InterpCase{"slider rounds to nearest", Kind::Slider, {{0, whole(0)}, {3, whole(10)}}, 2, whole(7)},
        InterpCase{"slider rounds down below half", Kind::Slider, {{0, whole(0)}, {3, whole(10)}}, 1, whole(3)},
        InterpCase{"negative slider", Kind::Slider, {{0, whole(-10)}, {4, whole(10)}}, 1, whole(-5)},
        InterpCase{"angle", Kind::Angle, {{0, deg(0)}, {10, deg(90)}}, 5, deg(45)},
        InterpCase{"point per axis", Kind::Point, {{0, pt(0, 0)}, {4, pt(100, -40)}}, 1, pt(25, -10)},
        InterpCase{"colour per channel, alpha too", Kind::Color,
                   {{0, rgb(0, 255, 0, 0)}, {2, rgb(255, 255, 100, 0)}}, 1, rgb(128, 255, 50, 0)},
        InterpCase{"popup holds until the next key", Kind::Popup, {{0, whole(1)}, {10, whole(3)}}, 9.99,
                   whole(1)},
        InterpCase{"popup takes the key on its frame", Kind::Popup, {{0, whole(1)}, {10, whole(3)}}, 10,
                   whole(3)},
        InterpCase{"checkbox holds", Kind::Checkbox, {{0, whole(1)}, {5, whole(0)}}, 4, whole(1)},
        InterpCase{"checkbox switches on its key", Kind::Checkbox, {{0, whole(1)}, {5, whole(0)}}, 5,
                   whole(0)}));

TEST(Keyframes, StaticValueWithoutKeys) {
    Value statik = num(0.7);
    EXPECT_EQ(zolhost::valueAt(Kind::FloatSlider, statik, {}, 12), statik);
}

TEST(Keyframes, SetKeyframeKeepsOrderAndReplacesSameFrame) {
    std::vector<Keyframe> keys;
    zolhost::setKeyframe(keys, 20, num(2));
    zolhost::setKeyframe(keys, 0, num(0));
    zolhost::setKeyframe(keys, 10, num(1));
    zolhost::setKeyframe(keys, 10, num(5));
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].frame, 0);
    EXPECT_EQ(keys[1].frame, 10);
    EXPECT_EQ(keys[1].value, num(5));
    EXPECT_EQ(keys[2].frame, 20);
}

// ---------------------------------------------------------------- typed values

struct TextCase {
    const char* what;
    PF_ParamDef def;
    const char* text;
    bool ok;
    Value expected;      // when ok
    const char* reason;  // part of the message when refused
};

class ValueText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueText, ParsesOrRefusesWithReason) {
    const TextCase& c = GetParam();
    if (c.ok) {
        Value got;
        ASSERT_NO_THROW(got = zolhost::parseValueText(c.def, c.text)) << c.what;
        // Only the fields of the parameter's kind count.
        PF_ParamDef d = c.def;
        zolhost::writeValue(d, c.expected);
        Value want = zolhost::readValue(d);
        EXPECT_EQ(got, want) << c.what << ": got " << got;
    } else {
        try {
            zolhost::parseValueText(c.def, c.text);
            ADD_FAILURE() << c.what << ": \"" << c.text << "\" was accepted";
        } catch (const zolhost::ValueError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                << c.what << ": message \"" << e.what() << "\" lacks \"" << c.reason << "\"";
        }
    }
}

using namespace testdefs;
const PF_ParamDef kType = popup("Effect Type", "Static Text|Scrolling|Pages Scrolling", 3);
const PF_ParamDef kSpaced = popup("First", "Assemble All | Assemble Direct|Assemble Turn Direct", 3);
const PF_ParamDef kNumbered = popup("Numbered", "5|10|15", 3);
const PF_ParamDef kWrap = checkbox("Wrap");
const PF_ParamDef kSeed = slider("Random Seed", 0, 1000);
const PF_ParamDef kLeading = floatSlider("Leading", 0.01f, 1000.0f);
const PF_ParamDef kPrint = floatSlider("Print Size", 0.1f, 1.0f);
const PF_ParamDef kDir = angle("Direction");
const PF_ParamDef kPoint = point("First Point");
const PF_ParamDef kColor = color("Custom Color");

INSTANTIATE_TEST_SUITE_P(
    Table, ValueText,
    ::testing::Values(
        TextCase{"popup by text", kType, "Pages Scrolling", true, whole(3), ""},
        TextCase{"popup by number", kType, "2", true, whole(2), ""},
        TextCase{"popup without regard to case", kType, "scrolling", true, whole(2), ""},
        TextCase{"popup number too large", kType, "4", false, {}, "out of range (1 to 3)"},
        TextCase{"popup number zero", kType, "0", false, {}, "out of range (1 to 3)"},
        TextCase{"popup unknown text", kType, "Spinning", false, {}, "no choice \"Spinning\""},
        TextCase{"choice with its own leading space", kSpaced, " Assemble Direct", true, whole(2), ""},
        TextCase{"choice without its leading space", kSpaced, "Assemble Direct", true, whole(2), ""},
        TextCase{"choice without its trailing space", kSpaced, "Assemble All", true, whole(1), ""},
        TextCase{"choice text wins over a number", kNumbered, "10", true, whole(2), ""},
        TextCase{"number when no choice has that text", kNumbered, "3", true, whole(3), ""},
        TextCase{"checkbox on", kWrap, "on", true, whole(1), ""},
        TextCase{"checkbox OFF", kWrap, "OFF", true, whole(0), ""},
        TextCase{"checkbox nonsense", kWrap, "maybe", false, {}, "expected on or off"},
        TextCase{"slider", kSeed, "12", true, whole(12), ""},
        TextCase{"slider at its maximum", kSeed, "1000", true, whole(1000), ""},
        TextCase{"slider above range", kSeed, "1001", false, {}, "out of range (0 to 1000)"},
        TextCase{"slider below range", kSeed, "-1", false, {}, "out of range (0 to 1000)"},
        TextCase{"slider fraction", kSeed, "12.5", false, {}, "expected a whole number"},
        TextCase{"slider empty", kSeed, "", false, {}, "expected a whole number"},
        TextCase{"float at its single-precision minimum", kLeading, "0.01", true, num(0.01), ""},
        TextCase{"float at a minimum above its float", kPrint, "0.1", true, num(0.1), ""},
        TextCase{"float exponent", kLeading, "1e3", true, num(1000), ""},
        TextCase{"float below range", kLeading, "0.009", false, {}, "out of range (0.01 to 1000)"},
        TextCase{"float not a number", kLeading, "nan", false, {}, "expected a number"},
        TextCase{"float infinite", kLeading, "inf", false, {}, "expected a number"},
        TextCase{"float words", kLeading, "ten", false, {}, "expected a number"},
        TextCase{"angle", kDir, "30", true, deg(30), ""},
        TextCase{"negative fractional angle", kDir, "-12.5", true, deg(-12.5), ""},
        TextCase{"angle beyond fixed point", kDir, "40000", false, {}, "out of range"},
        TextCase{"point", kPoint, "640,360", true, pt(640, 360), ""},
        TextCase{"point with spaces and fractions", kPoint, " 1.5 , -2 ", true, pt(1.5, -2), ""},
        TextCase{"point with one number", kPoint, "640", false, {}, "expected a point X,Y"},
        TextCase{"point with three numbers", kPoint, "1,2,3", false, {}, "expected a point X,Y"},
        TextCase{"point beyond fixed point", kPoint, "40000,1", false, {}, "out of range"},
        TextCase{"colour", kColor, "#FF8000", true, rgb(255, 255, 128, 0), ""},
        TextCase{"colour in lower case", kColor, "#ff8000", true, rgb(255, 255, 128, 0), ""},
        TextCase{"colour without hash", kColor, "FF8000", false, {}, "expected a colour #RRGGBB"},
        TextCase{"colour too short", kColor, "#FF80", false, {}, "expected a colour #RRGGBB"},
        TextCase{"colour not hex", kColor, "#GG0000", false, {}, "expected a colour #RRGGBB"},
        TextCase{"colour with alpha", kColor, "#FF800080", false, {}, "expected a colour #RRGGBB"},
        TextCase{"no data", noData("Information"), "1", false, {}, "takes no value"}));

TEST(ValueJson, EveryKindSurvivesItsStoredForm) {
    std::vector<std::pair<PF_ParamDef, Value>> cases = {
        {kType, whole(3)}, {kWrap, whole(1)},        {kSeed, whole(999)},
        {kLeading, num(123.456)}, {kDir, deg(-17.25)}, {kPoint, pt(-3.5, 1279.75)},
        {kColor, rgb(128, 1, 2, 3)},
    };
    for (auto& [def, v] : cases) {
        nlohmann::json j = zolhost::storedValueJson(def, v);
        Value back = zolhost::valueFromJson(def, j);
        EXPECT_EQ(back, v) << def.name << " as " << j.dump();
    }
}

TEST(ValueJson, ShownFormsAreTheCommandLineContract) {
    EXPECT_EQ(zolhost::valueJson(kType, whole(2)), nlohmann::json(2));
    EXPECT_EQ(zolhost::valueJson(kWrap, whole(1)), nlohmann::json(true));
    EXPECT_EQ(zolhost::valueJson(kDir, deg(30)), nlohmann::json(30.0));
    EXPECT_EQ(zolhost::valueJson(kPoint, pt(640, 180)), nlohmann::json::parse("[640.0, 180.0]"));
    EXPECT_EQ(zolhost::valueJson(kColor, rgb(128, 255, 0, 16)), nlohmann::json("#FF0010"));
    EXPECT_EQ(zolhost::valueJson(noData("Information"), {}), nlohmann::json(nullptr));
    PF_ParamDef p = kPoint;
    p.u.td.x_dflt = 50 * PF_FIXED_ONE;
    p.u.td.y_dflt = 25 * PF_FIXED_ONE;
    EXPECT_EQ(zolhost::defaultJson(p), nlohmann::json::parse("[50.0, 25.0]")) << "point defaults are percent";
}

struct JsonRefusal {
    PF_ParamDef def;
    const char* json;
};

class ValueJsonRefused : public ::testing::TestWithParam<JsonRefusal> {};

TEST_P(ValueJsonRefused, WrongKindOrRange) {
    EXPECT_THROW(zolhost::valueFromJson(GetParam().def, nlohmann::json::parse(GetParam().json)),
                 zolhost::ValueError)
        << GetParam().def.name << " took " << GetParam().json;
}

INSTANTIATE_TEST_SUITE_P(Table, ValueJsonRefused,
                         ::testing::Values(JsonRefusal{kType, "\"2\""}, JsonRefusal{kType, "7"},
                                           JsonRefusal{kWrap, "1"}, JsonRefusal{kSeed, "1.5"},
                                           JsonRefusal{kSeed, "5000000000"}, JsonRefusal{kLeading, "0"},
                                           JsonRefusal{kPoint, "[1]"}, JsonRefusal{kPoint, "[1, \"2\"]"},
                                           JsonRefusal{kColor, "\"red\""}, JsonRefusal{kDir, "null"}));

TEST(Choices, SplitKeepsEverySpace) {
    auto c = zolhost::splitChoices("Assemble All | Assemble Direct|Last");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0], "Assemble All ");
    EXPECT_EQ(c[1], " Assemble Direct");
    EXPECT_EQ(c[2], "Last");
    EXPECT_EQ(zolhost::splitChoices("a||b").size(), 3u);
}

TEST(FloatDecimal, LimitsPrintAsWritten) {
    EXPECT_EQ(zolhost::floatDecimal(0.01f), 0.01);
    EXPECT_EQ(zolhost::floatDecimal(0.8f), 0.8);
    EXPECT_EQ(zolhost::floatDecimal(-720.0f), -720.0);
}

}  // namespace
