#include "settings_record.h"

#include <cstring>
#include <new>

namespace TavexCli {

namespace {

using MessageVector = std::vector<Tavex::_MESSAGE>;
static_assert(std::is_same_v<MessageVector::allocator_type, std::allocator<Tavex::_MESSAGE>>,
              "only a vector of pointers can be moved by its bytes");

// Aligned room for the vector's bytes while it is used as an object.
struct AlignedVector {
    alignas(MessageVector) unsigned char bytes[sizeof(MessageVector)];
    MessageVector& get() { return *std::launder(reinterpret_cast<MessageVector*>(bytes)); }
};

void* Slot(Tavex::_SETTINGS* record) {
    return reinterpret_cast<unsigned char*>(record) + offsetof(Tavex::_SETTINGS, Messages);
}

} // namespace

SettingsRecord::SettingsRecord() : bytes_(new unsigned char[sizeof(Tavex::_SETTINGS)]()) {
    record_ = reinterpret_cast<Tavex::_SETTINGS*>(bytes_.get());
    // An empty vector made in aligned room, then moved into the record by
    // its bytes (the aligned one is not destroyed: the record owns it now).
    AlignedVector room;
    new (room.bytes) MessageVector();
    std::memcpy(Slot(record_), room.bytes, sizeof room.bytes);
}

SettingsRecord::~SettingsRecord() {
    if (!bytes_)
        return; // moved from
    // Moved out by its bytes and destroyed where it is aligned, which frees
    // what the kernel appended.
    AlignedVector room;
    std::memcpy(room.bytes, Slot(record_), sizeof room.bytes);
    room.get().~MessageVector();
}

std::vector<Tavex::_MESSAGE> SettingsRecord::Messages() const {
    // A bitwise view of the record's vector in aligned room, only read: it
    // is neither changed nor destroyed, so the record keeps its ownership.
    AlignedVector room;
    std::memcpy(room.bytes, Slot(record_), sizeof room.bytes);
    return MessageVector(room.get());
}

} // namespace TavexCli
