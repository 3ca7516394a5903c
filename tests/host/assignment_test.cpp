#include "host/core/assignment.h"

#include <gtest/gtest.h>

#include "host/core/error.h"
#include "test_defs.h"

namespace {

using namespace testdefs;

// A parameter list with the traps of the real ones: a group end that still
// carries the previous name, a group named like a parameter, choices with
// their own spaces.
std::vector<PF_ParamDef> defs() {
    return {
        layer(),                                                                                 // 0
        noData("Information"),                                                                   // 1
        popup("Effect Type", "Static Text|Scrolling|Pages Scrolling", 3),                        // 2
        checkbox("Wrap", 1),                                                                     // 3
        floatSlider("Phase", 0.0f, 1.0f, 0.2),                                                   // 4
        groupStart("Jitters"),                                                                   // 5
        popup("First Scrolling Effect", "Static Screen|Assemble All | Assemble Direct", 3),      // 6
        color("Custom Color"),                                                                   // 7
        groupEnd("Custom Color"),                                                                // 8
        groupStart("Seed"),                                                                      // 9
        slider("Seed", 0, 1000, 10),                                                             // 10
        groupEnd("Seed"),                                                                        // 11
        point("First Point"),                                                                    // 12
        floatSlider("Leading (Interval between Lines)", 0.01f, 1000.0f, 100),                    // 13
    };
}

struct Case {
    const char* text;
    int32_t index;         // -1: refused
    int32_t frame;         // -1: a static value
    const char* reason;    // part of the message when refused
};

class Assignments : public ::testing::TestWithParam<Case> {};

TEST_P(Assignments, ParseOrRefuseNamingTheParameter) {
    const Case& c = GetParam();
    auto list = defs();
    if (c.index >= 0) {
        zolhost::Assignment a;
        ASSERT_NO_THROW(a = zolhost::parseAssignment(c.text, list, 150)) << c.text;
        EXPECT_EQ(a.index, c.index) << c.text;
        EXPECT_EQ(a.frame.has_value(), c.frame >= 0) << c.text;
        if (c.frame >= 0 && a.frame) {
            EXPECT_EQ(*a.frame, c.frame) << c.text;
        }
    } else {
        try {
            zolhost::parseAssignment(c.text, list, 150);
            ADD_FAILURE() << "\"" << c.text << "\" was accepted";
        } catch (const zolhost::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                << "message \"" << e.what() << "\" lacks \"" << c.reason << "\"";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Assignments,
    ::testing::Values(
        Case{"Effect Type=Pages Scrolling", 2, -1, ""},
        Case{"effect type=2", 2, -1, ""},
        Case{"2=Scrolling", 2, -1, ""},
        Case{"Phase@10=0.5", 4, 10, ""},
        Case{"Phase@0=0.5", 4, 0, ""},
        Case{"Phase@149=1", 4, 149, ""},
        Case{"First Scrolling Effect=Assemble Direct", 6, -1, ""},
        Case{"Custom Color=#00FF00", 7, -1, ""},
        Case{"Seed=12", 10, -1, ""},
        Case{"First Point=10,20", 12, -1, ""},
        Case{"Wrap=off", 3, -1, ""},
        // The full name of a parameter whose name field cut it to 31 characters.
        Case{"Leading (Interval between Lines)=50", 13, -1, ""},
        // Refusals name the parameter and say why.
        Case{"Phase", -1, -1, "is not an assignment"},
        Case{"=1", -1, -1, "is not an assignment"},
        Case{"Speed=1", -1, -1, "unknown parameter \"Speed\""},
        Case{"99=1", -1, -1, "unknown parameter 99"},
        Case{"Phase=2", -1, -1, "\"Phase\" (4): 2 is out of range (0 to 1)"},
        Case{"Phase=fast", -1, -1, "\"Phase\" (4): expected a number"},
        Case{"Wrap=yes please", -1, -1, "\"Wrap\" (3): expected on or off"},
        Case{"Effect Type=Spinning", -1, -1, "\"Effect Type\" (2): no choice \"Spinning\""},
        Case{"Effect Type=9", -1, -1, "\"Effect Type\" (2): choice 9 is out of range (1 to 3)"},
        Case{"Information=1", -1, -1, "\"Information\" (1) is a no_data and takes no value"},
        Case{"Jitters=1", -1, -1, "\"Jitters\" (5) is a group_start and takes no value"},
        Case{"8=1", -1, -1, "parameter 8 (group_end) is a group_end and takes no value"},
        Case{"0=1", -1, -1, "is a layer and takes no value"},
        Case{"Phase@150=1", -1, -1, "\"Phase\" (4): frame 150 lies outside the composition (frames 0 to 149)"},
        Case{"Phase@-1=1", -1, -1, "frame -1 lies outside the composition"},
        Case{"Phase@ten=1", -1, -1, "\"Phase\" (4): frame \"ten\" is not a whole number"},
        Case{"Phase@=1", -1, -1, "frame \"\" is not a whole number"},
        Case{"Custom Color=red", -1, -1, "\"Custom Color\" (7): expected a colour #RRGGBB"},
        Case{"Seed=1.5", -1, -1, "\"Seed\" (10): expected a whole number"},
        Case{"First Point=10", -1, -1, "\"First Point\" (12): expected a point X,Y"}));

TEST(FindParameter, GroupEndsAreNotFoundByTheirLeftoverName) {
    auto list = defs();
    EXPECT_EQ(zolhost::findParameter(list, "Custom Color"), 7);
}

TEST(FindParameter, ValueParameterWinsOverGroupOfTheSameName) {
    auto list = defs();
    EXPECT_EQ(zolhost::findParameter(list, "Seed"), 10);
    EXPECT_EQ(zolhost::findParameter(list, "seed"), 10);
}

TEST(FindParameter, TwoValueParametersOfOneNameAreAmbiguous) {
    auto list = defs();
    list.push_back(checkbox("Wrap"));
    try {
        zolhost::findParameter(list, "Wrap");
        ADD_FAILURE() << "an ambiguous name was taken";
    } catch (const zolhost::Error& e) {
        EXPECT_NE(std::string(e.what()).find("ambiguous"), std::string::npos) << e.what();
    }
    EXPECT_EQ(zolhost::findParameter(list, "13"), 13);
}

}  // namespace
