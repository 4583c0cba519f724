// No exception crosses the exported interface. Every exported function runs
// its work through CatchAtBoundary: running out of memory becomes error 401
// (not enough memory for the computation), any other failure error 738 with
// what failed, and the function returns 0 instead of terminating the host.
#ifndef TAVEX_INTERFACE_BOUNDARY_GUARD_H
#define TAVEX_INTERFACE_BOUNDARY_GUARD_H

#include "messages/message_log.h"

#include <exception>
#include <new>
#include <type_traits>

namespace Tavex {

// Logs the failure; never throws (a log that cannot grow stays as it is).
void ReportCaughtFailure(MessageLog& log, const std::exception* failure, bool outOfMemory) noexcept;

template <class Work>
auto CatchAtBoundary(MessageLog& log, Work&& work) noexcept -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc& e) {
        ReportCaughtFailure(log, &e, true);
    } catch (const std::exception& e) {
        ReportCaughtFailure(log, &e, false);
    } catch (...) {
        ReportCaughtFailure(log, nullptr, false);
    }
    if constexpr (!std::is_void_v<decltype(work())>)
        return {};
}

} // namespace Tavex

#endif
