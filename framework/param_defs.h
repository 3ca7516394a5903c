// Registration of an effect's parameter list. Each add fills a cleared
// definition and appends it with the host's add_param; the first error ends
// the list, every later add is skipped, and that error is the result.
#pragma once

#include <cstdint>

#include "platform/effect_api/effect_api.h"

struct FloatSliderRow {
    const char* name;
    float validMin, validMax;
    float sliderMin, sliderMax;
    double dflt;
    int16_t precision;
    bool percent = false;
};

struct SliderRow {
    const char* name;
    int32_t validMin, validMax;
    int32_t sliderMin, sliderMax;
    int32_t dflt;
};

class ParamRegistrar {
public:
    explicit ParamRegistrar(PF_InData* in_data) : in_(in_data) {}

    // A no-data parameter whose control area the effect draws itself.
    ParamRegistrar& customControl(const char* name, int16_t width, int16_t height);
    // Choices are one string, separated by '|'; their count is taken from it.
    ParamRegistrar& popup(const char* name, const char* choices, int16_t dflt);
    ParamRegistrar& checkbox(const char* name, bool on);
    ParamRegistrar& slider(const SliderRow& row);
    ParamRegistrar& floatSlider(const FloatSliderRow& row);
    ParamRegistrar& angle(const char* name, int32_t degrees);
    // The default in percent of the layer's size; the host turns it into
    // layer pixels.
    ParamRegistrar& point(const char* name, int32_t xPercent, int32_t yPercent);
    ParamRegistrar& color(const char* name, PF_Pixel dflt);
    ParamRegistrar& groupStart(const char* name);
    // Group ends carry no name; the host shows none.
    ParamRegistrar& groupEnd();

    PF_Err result() const { return err_; }

    // Number of choices in a '|'-separated list.
    static int16_t CountChoices(const char* choices);

private:
    bool begin(PF_ParamDef& def, PF_ParamType type, const char* name);
    void add(PF_ParamDef& def);

    PF_InData* in_;
    PF_Err err_ = PF_Err_NONE;
};
