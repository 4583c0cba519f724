#include "platform/window_registry.h"

#include <cstdint>
#include <map>

namespace Tavex {

namespace {

// The registry stands in for the window manager of a desktop platform, which
// is process-wide by nature. Handles are serial numbers, never addresses, so
// a handle cannot be dereferenced by mistake and is not reused.
struct Registry {
    std::map<std::uintptr_t, HostWindow> windows;
    std::uintptr_t next = 1;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::uintptr_t Key(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

} // namespace

HWND RegisterHostWindow(const WindowRect& rect, WindowSink* sink) {
    Registry& registry = TheRegistry();
    const std::uintptr_t key = registry.next++;
    registry.windows[key] = HostWindow{rect, sink};
    return reinterpret_cast<HWND>(key);
}

void UnregisterHostWindow(HWND window) {
    TheRegistry().windows.erase(Key(window));
}

bool IsRegisteredWindow(HWND window) {
    return window != nullptr && TheRegistry().windows.count(Key(window)) != 0;
}

bool LookupHostWindow(HWND window, HostWindow& out) {
    if (window == nullptr)
        return false;
    const auto& windows = TheRegistry().windows;
    const auto at = windows.find(Key(window));
    if (at == windows.end())
        return false;
    out = at->second;
    return true;
}

WindowSink::~WindowSink() = default;
void WindowSink::DialogShown(const WindowRect&) {}
void WindowSink::DialogTitle(const char*) {}
void WindowSink::DialogText(const char*) {}
void WindowSink::DialogProgress(int, int, int) {}
void WindowSink::DialogClosed() {}

} // namespace Tavex
