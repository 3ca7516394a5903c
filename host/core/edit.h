// The effect's "options" command, worked through by a script of steps
// instead of a user: the editor the effect opens is driven headless.
#pragma once

#include <string>

#include "host/core/session.h"

namespace zolhost {

struct EditOutcome {
    bool changed = false;  // the instance's sequence data differs afterwards
};

// Sends PF_Cmd_DO_DIALOG with the script of `scriptPath` in charge of every
// form, dialog and message box. Throws Error for a script that cannot be
// read or parsed, a step that fails (naming it), or a failing command.
EditOutcome editWithScript(Session& s, const std::string& scriptPath);

}  // namespace zolhost
