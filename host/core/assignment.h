// NAME=VALUE and NAME@FRAME=VALUE as `zolhost set` takes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/values.h"

namespace zolhost {

struct Assignment {
    int32_t index = 0;
    std::optional<int32_t> frame;  // a keyframe when present
    Value value;
};

// The index a user means by `name`: a number is an index; otherwise the
// registered name, matched exactly first and then without regard to case.
// Group ends carry no name of their own and are found only by index.
// Throws Error naming what was not found.
int32_t findParameter(const std::vector<PF_ParamDef>& defs, std::string_view name);

// "Name" (index) as messages show a parameter.
std::string parameterLabel(const std::vector<PF_ParamDef>& defs, int32_t index);

// Throws Error with a message that names the parameter and the reason.
// Keyframes lie within the composition's frames 0 to duration - 1.
Assignment parseAssignment(std::string_view text, const std::vector<PF_ParamDef>& defs, int32_t duration);

}  // namespace zolhost
