#include "interface/boundary_guard.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

void ReportCaughtFailure(MessageLog& log, const std::exception* failure,
                         bool outOfMemory) noexcept {
    try {
        if (outOfMemory) {
            log.AddMessage(STR_NO_MEMORY_COMPUTE, MSG_ERROR, REF_NONE,
                           CStringL(STR_NO_MEMORY_COMPUTE));
            return;
        }
        CKZString text;
        text.Format(CStringL(STR_INTERNAL_ERROR).c_str(),
                    failure != nullptr ? failure->what() : "unknown exception");
        log.AddMessage(STR_INTERNAL_ERROR, MSG_ERROR, REF_NONE, text);
    } catch (...) {
        // Nothing more can be said without memory.
    }
}

} // namespace Tavex
