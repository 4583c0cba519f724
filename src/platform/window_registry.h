// The windows the kernel may draw into. A host registers its window with a
// rectangle and a sink; a handle is only ever used after the registry has
// confirmed that it is live, so a stale or invented handle is simply "not a
// window".
#ifndef TAVEX_PLATFORM_WINDOW_REGISTRY_H
#define TAVEX_PLATFORM_WINDOW_REGISTRY_H

#include "tavex/tavex.h"

namespace Tavex {

struct HostWindow {
    WindowRect rect;
    WindowSink* sink;
};

HWND RegisterHostWindow(const WindowRect& rect, WindowSink* sink);
void UnregisterHostWindow(HWND window);
bool IsRegisteredWindow(HWND window);
// The registered window behind a handle, or false when the handle is not a
// live window.
bool LookupHostWindow(HWND window, HostWindow& out);

} // namespace Tavex

#endif
