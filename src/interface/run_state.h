// The state of the run that is executing: its progress dialog, its message
// file, the host-file mode, and the engine's per-run tables. Nothing of it
// outlives the run except what the run hands back.
#ifndef TAVEX_INTERFACE_RUN_STATE_H
#define TAVEX_INTERFACE_RUN_STATE_H

#include "cogo/cogo_result.h"
#include "engine/engine_state.h"
#include "messages/progress_dialog.h"
#include "messages/tavex_out.h"

#include <memory>

namespace Tavex {

// Host-file modes: 0 creates output files on disk, 1 wraps a stream that the
// host hands in (the runs hand in none, so such a target discards writes).
inline constexpr int kHostFileModeDisk = 0;
inline constexpr int kHostFileModeHost = 1;

struct RunState {
    bool Running = false;
    std::unique_ptr<CProgressDialog> CurrentDialog;
    int HostFileMode = kHostFileModeHost;
    std::unique_ptr<CTavexDllFile> MessageFile;
    EngineState Engine;
    // The approximate coordinates between their computation and the
    // hand-back.
    CogoResults Cogo;
};

} // namespace Tavex

#endif
