// The host's _SETTINGS record. The record is byte-packed, so its Messages
// vector (offset 1372) sits off its alignment; calling member functions on a
// misaligned vector is undefined behaviour, and so is constructing or
// destroying it there. This owner never does: it keeps the vector's bytes in
// the record and moves them through an aligned vector object whenever the
// vector itself is needed (the way the kernel's own LendVector works; a
// std::vector with the standard allocator is nothing but its pointers, so
// moving its bytes is exact).
#ifndef TAVEX_CLI_SETTINGS_RECORD_H
#define TAVEX_CLI_SETTINGS_RECORD_H

#include <tavex/tavex.h>

#include <memory>
#include <vector>

namespace TavexCli {

class SettingsRecord {
public:
    // Every field zero, the message vector empty.
    SettingsRecord();
    ~SettingsRecord();
    SettingsRecord(const SettingsRecord&) = delete;
    SettingsRecord& operator=(const SettingsRecord&) = delete;
    // The bytes change hands, the record stays where it is.
    SettingsRecord(SettingsRecord&& other) noexcept
        : bytes_(std::move(other.bytes_)), record_(other.record_) {}
    SettingsRecord& operator=(SettingsRecord&&) = delete;

    Tavex::_SETTINGS& operator*() { return *record_; }
    const Tavex::_SETTINGS& operator*() const { return *record_; }
    Tavex::_SETTINGS* operator->() { return record_; }
    const Tavex::_SETTINGS* operator->() const { return record_; }

    // A copy of the messages the kernel left in the record.
    std::vector<Tavex::_MESSAGE> Messages() const;

private:
    std::unique_ptr<unsigned char[]> bytes_;
    Tavex::_SETTINGS* record_;
};

} // namespace TavexCli

#endif
