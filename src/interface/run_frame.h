// The frame every run shares: message file, progress dialog, computation,
// hand-back of results and messages, clean-up.
#ifndef TAVEX_INTERFACE_RUN_FRAME_H
#define TAVEX_INTERFACE_RUN_FRAME_H

#include "interface/kernel.h"
#include "messages/progress.h"

#include <functional>

namespace Tavex {

struct RunDescription {
    // String number of the dialog title, 0 for none.
    int titleId = 0;
    // Whether the engine's per-run tables are freed at the end.
    bool freesEngineTables = false;
    // The computation; returns nonzero on success. It runs with host-file
    // mode 0, so the files it opens are created on disk.
    std::function<int(Progress&)> compute;
    // The hand-back after a successful computation; its result becomes the
    // run's result. May be empty.
    std::function<int(int result)> handBack;
};

// Runs the frame. A run started while another is executing is refused with
// result 0 and leaves the state as it is, but for the message that says so.
int RunFrame(Kernel& kernel, HWND owner, const RunDescription& run);

// Whether a project-changing call must be refused because a run executes;
// logs message 722 when it must.
bool RefuseDuringRun(Kernel& kernel);

} // namespace Tavex

#endif
