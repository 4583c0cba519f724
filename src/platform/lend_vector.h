// Access to a std::vector that a packed boundary record holds at an offset
// that is not a multiple of its alignment.
//
// The binary interface places the shared vectors of _SETTINGS and
// _LOOP_RESULT where the host's record puts them, which on this platform is
// usually 4 bytes off an 8-byte boundary. Calling member functions on a
// misaligned object is undefined behaviour, so the kernel never does: it
// moves the vector's bytes into aligned storage, works there, and moves them
// back. std::vector with the standard allocator holds only pointers, so the
// bytes are the whole object and the move is exact.
#ifndef TAVEX_PLATFORM_LEND_VECTOR_H
#define TAVEX_PLATFORM_LEND_VECTOR_H

#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

namespace Tavex {

template <class T>
class LendVector {
    using Vector = std::vector<T>;
    static_assert(std::is_same_v<typename Vector::allocator_type, std::allocator<T>>);

public:
    // slot: the address of the vector inside the record, aligned or not.
    explicit LendVector(void* slot) : slot_(slot) {
        std::memcpy(static_cast<void*>(storage_), slot_, sizeof(Vector));
    }
    ~LendVector() { std::memcpy(slot_, static_cast<const void*>(storage_), sizeof(Vector)); }
    LendVector(const LendVector&) = delete;
    LendVector& operator=(const LendVector&) = delete;

    Vector& get() { return *std::launder(reinterpret_cast<Vector*>(storage_)); }
    Vector* operator->() { return &get(); }

private:
    void* slot_;
    alignas(Vector) unsigned char storage_[sizeof(Vector)];
};

} // namespace Tavex

#endif
