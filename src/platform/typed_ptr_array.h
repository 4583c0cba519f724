// Owning arrays of pointers with the member functions of the framework
// arrays the kernel was written against (GetAt, SetAtGrow, Add, InsertAt,
// ...). A CTypedPtrArray owns its elements: removing or replacing an element
// deletes it, and the array deletes what it still holds when it dies.
//
// Indexing is 0-based as in the framework; the kernel's own tables keep an
// empty element 0 where they are 1-based. Out-of-range reads return null
// instead of faulting.
#ifndef TAVEX_PLATFORM_TYPED_PTR_ARRAY_H
#define TAVEX_PLATFORM_TYPED_PTR_ARRAY_H

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace Tavex {

// Root of the classes kept in the owning arrays.
class CObject {
public:
    virtual ~CObject() = default;
};

template <class T>
class CTypedPtrArray {
public:
    CTypedPtrArray() = default;
    CTypedPtrArray(const CTypedPtrArray&) = delete;
    CTypedPtrArray& operator=(const CTypedPtrArray&) = delete;
    CTypedPtrArray(CTypedPtrArray&&) noexcept = default;
    CTypedPtrArray& operator=(CTypedPtrArray&&) noexcept = default;
    virtual ~CTypedPtrArray() = default;

    int GetSize() const { return static_cast<int>(items_.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return items_.empty(); }

    T* GetAt(int i) const {
        return InRange(i) ? items_[static_cast<std::size_t>(i)].get() : nullptr;
    }
    T* operator[](int i) const { return GetAt(i); }

    // Appends and takes ownership; returns the new element's index.
    int Add(T* item) {
        items_.emplace_back(item);
        return GetSize() - 1;
    }
    // Replaces element i (deleting the old one); out of range does nothing
    // and deletes the item, so ownership is never lost.
    void SetAt(int i, T* item) {
        if (InRange(i))
            items_[static_cast<std::size_t>(i)].reset(item);
        else
            delete item;
    }
    // Like SetAt, but grows the array with null elements to reach i.
    void SetAtGrow(int i, T* item) {
        if (i < 0) {
            delete item;
            return;
        }
        if (i >= GetSize())
            items_.resize(static_cast<std::size_t>(i) + 1);
        items_[static_cast<std::size_t>(i)].reset(item);
    }
    // Inserts the item before element i; i past the end appends.
    void InsertAt(int i, T* item) {
        const std::size_t at = i < 0 ? 0 : std::min<std::size_t>(i, items_.size());
        items_.emplace(items_.begin() + static_cast<std::ptrdiff_t>(at), item);
    }
    // Deletes element i and closes the gap.
    void RemoveAt(int i) {
        if (InRange(i))
            items_.erase(items_.begin() + i);
    }
    // Deletes every element.
    void RemoveAll() { items_.clear(); }
    // Makes room for n elements in all, so that the next Adds up to n do
    // not allocate (and cannot fail).
    void Reserve(std::size_t n) { items_.reserve(n); }
    // Gives up ownership of element i, leaving a null slot.
    T* Detach(int i) {
        return InRange(i) ? items_[static_cast<std::size_t>(i)].release() : nullptr;
    }

private:
    bool InRange(int i) const { return i >= 0 && static_cast<std::size_t>(i) < items_.size(); }

    std::vector<std::unique_ptr<T>> items_;
};

} // namespace Tavex

#endif
