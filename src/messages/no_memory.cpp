#include "messages/no_memory.h"

#include "messages/string_loader.h"

namespace Tavex {

int ReportNoMemory(MessageLog& log, int code, int structureId) {
    CKZString text;
    text.Format(L"%s %s", CStringL(code).c_str(), CStringL(structureId).c_str());
    log.AddMessage(code, MSG_ERROR, REF_NONE, text);
    return 0;
}

} // namespace Tavex
