#include "project/setter_failure.h"

#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

int RefuseRecordCount(ProjectState& p, unsigned n, unsigned limit) {
    CKZString text;
    text.Format(CStringL(STR_TOO_MANY_RECORDS).c_str(), n, limit);
    p.Messages.AddMessage(STR_TOO_MANY_RECORDS, MSG_ERROR, REF_NONE, text);
    p.SetupFailed = true;
    return 0;
}

int RefuseForMemory(ProjectState& p, int structureId) {
    p.SetupFailed = true;
    return ReportNoMemory(p.Messages, STR_NO_MEMORY_ALLOCATE, structureId);
}

} // namespace Tavex
