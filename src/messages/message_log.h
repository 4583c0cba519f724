// The message list: every error and warning of the kernel, kept for the
// host and written to the message file as it arrives.
#ifndef TAVEX_MESSAGES_MESSAGE_LOG_H
#define TAVEX_MESSAGES_MESSAGE_LOG_H

#include "geodesy/kz_string.h"
#include "platform/typed_ptr_array.h"

#include <cstdint>
#include <vector>

namespace Tavex {

class CTavexOut;

// Message classes.
enum MessageClass : int { MSG_ERROR = 1, MSG_WARNING = 2 };

// What the attached numbers of a message are.
enum MessageRefKind : int { REF_NONE = 1, REF_STATIONS = 2, REF_OBSERVATIONS = 3 };

// One message.
class CMessageHandler : public CObject {
public:
    int Code = 0;            // string-table number of the main text
    int Class = MSG_WARNING; // MSG_ERROR, anything else is a warning
    int RefKind = REF_NONE;
    CKZString Text;                  // the whole text as composed by the caller
    std::vector<std::uint32_t> Refs; // at most two attached numbers
};

class CMessageHandlerPtrArray : public CTypedPtrArray<CMessageHandler> {};

class MessageLog {
public:
    // Adds a message, attaching ref1 and then ref2 when they are nonzero,
    // writes its line "class word: text." to the message file, and returns
    // its index in the list.
    int AddMessage(int code, int messageClass, int refKind, const CKZString& text,
                   std::uint32_t ref1 = 0, std::uint32_t ref2 = 0);
    // Deletes every message.
    void RemoveAll() { messages_.RemoveAll(); }

    const CMessageHandlerPtrArray& Messages() const { return messages_; }
    int Count() const { return messages_.GetSize(); }
    // The number of error messages since index first.
    int ErrorsSince(int first) const;

    // The message file that receives each new line; null while no run has
    // one open. The log does not own it.
    void SetMessageFile(CTavexOut* file) { file_ = file; }

private:
    CMessageHandlerPtrArray messages_;
    CTavexOut* file_ = nullptr;
};

} // namespace Tavex

#endif
