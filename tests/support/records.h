// Helpers for tests that lay out boundary records the way a host does.
#ifndef TAVEX_TESTS_SUPPORT_RECORDS_H
#define TAVEX_TESTS_SUPPORT_RECORDS_H

#include "tavex/tavex.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace TavexTest {

// A _SETTINGS record placed 4 bytes past an 8-byte boundary, so that its
// Messages vector (at offset 1372) is aligned and the test itself can use it
// directly under the alignment sanitizer.
class SettingsRecord {
public:
    SettingsRecord() { record_ = new (storage_ + 4) Tavex::_SETTINGS(); }
    ~SettingsRecord() { record_->~_SETTINGS(); }
    SettingsRecord(const SettingsRecord&) = delete;
    SettingsRecord& operator=(const SettingsRecord&) = delete;

    Tavex::_SETTINGS& operator*() { return *record_; }
    Tavex::_SETTINGS* operator->() { return record_; }
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(record_); }

private:
    alignas(8) unsigned char storage_[sizeof(Tavex::_SETTINGS) + 8];
    Tavex::_SETTINGS* record_;
};

// Writes a value at a byte offset of a record, as a host in another language
// would.
template <class T>
void Put(void* record, std::size_t offset, T value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

template <class T>
T Get(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

inline void PutText(void* record, std::size_t offset, const std::string& text) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, text.data(), text.size());
}

// Default settings the way a typical host fills them: the kernel's defaults,
// no map projection, an output form that writes nothing.
void FillDefaultSettings(Tavex::_SETTINGS& s);

} // namespace TavexTest

#endif
