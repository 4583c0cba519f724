#include "interface/kernel.h"

namespace Tavex {

Kernel& TheKernel() {
    static Kernel kernel;
    return kernel;
}

void ReleaseKernel(Kernel& kernel) {
    kernel.run.Engine.Free();
    ResetProject(kernel.project);
}

} // namespace Tavex
