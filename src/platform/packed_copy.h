// Copying arrays out of byte-packed boundary records. Their fields sit at
// offsets that need not suit their type's alignment, so they are copied as
// bytes and never bound to references or read through typed pointers.
#ifndef TAVEX_PLATFORM_PACKED_COPY_H
#define TAVEX_PLATFORM_PACKED_COPY_H

#include <cstddef>
#include <cstring>

namespace Tavex {

template <class T, std::size_t N>
void CopyFromPacked(T (&destination)[N], const void* source) {
    std::memcpy(destination, source, sizeof destination);
}

template <class T, std::size_t N>
void CopyToPacked(void* destination, const T (&source)[N]) {
    std::memcpy(destination, source, sizeof source);
}

} // namespace Tavex

#endif
