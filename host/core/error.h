// Failures of the host core. Everything the core refuses (a project it cannot
// read, a plug-in that does not load, an assignment it does not accept) is
// an Error whose text is one line meant for the user.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/effect_api/effect_api.h"

namespace zolhost {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "error -108 (out of memory)" for the codes the host knows by name.
std::string describeError(PF_Err err);

}  // namespace zolhost
