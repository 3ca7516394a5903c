#include "host/core/edit.h"

#include "host/core/error.h"
#include "platform/forms/script.h"

namespace zolhost {

EditOutcome editWithScript(Session& s, const std::string& scriptPath) {
    Instance& inst = *s.instance;
    const std::vector<uint8_t> before = inst.sequenceBytes();
    PF_Err err = PF_Err_NONE;
    const zol::forms::TScriptResult outcome =
        zol::forms::RunScriptFile(scriptPath, [&] { err = inst.send(PF_Cmd_DO_DIALOG); });
    checkResult(err, *s.plugin, PF_Cmd_DO_DIALOG, &inst);
    if (!outcome) throw Error(scriptPath + ": " + outcome.message);
    EditOutcome o;
    o.changed = inst.sequenceBytes() != before;
    return o;
}

}  // namespace zolhost
