// The host's vector of loop results.
#ifndef TAVEX_INTERFACE_LOOP_HANDBACK_H
#define TAVEX_INTERFACE_LOOP_HANDBACK_H

#include "tavex/tavex.h"

#include <vector>

namespace Tavex {

// Empties the host's vector, freeing every loop's station vector.
void ClearLoopResults(std::vector<_LOOP_RESULT>& loops);

// Appends one _LOOP_RESULT per loop of results, in their order.
void HandBackLoops(const CLoopResultsPtrArray& results, std::vector<_LOOP_RESULT>& loops);

} // namespace Tavex

#endif
