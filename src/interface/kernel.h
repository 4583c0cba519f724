// The one home of the kernel's process-wide state: the project and the run.
// The exported functions reach it through TheKernel(); everything below them
// takes the parts it needs by reference.
#ifndef TAVEX_INTERFACE_KERNEL_H
#define TAVEX_INTERFACE_KERNEL_H

#include "interface/run_state.h"
#include "project/project_state.h"

namespace Tavex {

struct Kernel {
    Kernel() { ResetProject(project); }
    ProjectState project;
    RunState run;
};

Kernel& TheKernel();

// The global reset: the engine's per-run tables, then the project.
void ReleaseKernel(Kernel& kernel);

} // namespace Tavex

#endif
