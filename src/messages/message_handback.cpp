#include "messages/message_handback.h"

#include "geodesy/text_encoding.h"
#include "platform/lend_vector.h"

#include <cstring>

namespace Tavex {

_MESSAGE MakeMessageRecord(const CMessageHandler& message) {
    _MESSAGE record;
    std::memset(&record, 0, sizeof record);
    record.Code = message.Code;
    record.Class = message.Class;
    record.RefKind = message.RefKind;
    CopyToFixedField(message.Text.Utf8(), record.Text, sizeof record.Text);
    record.Ref = message.Refs.empty() ? 0 : static_cast<int>(message.Refs.front());
    return record;
}

void HandBackMessages(const MessageLog& log, _SETTINGS& settings) {
    LendVector<_MESSAGE> messages(&settings.Messages);
    messages->clear();
    const CMessageHandlerPtrArray& list = log.Messages();
    messages->reserve(static_cast<std::size_t>(list.GetSize()));
    for (int i = 0; i < list.GetSize(); ++i)
        messages->push_back(MakeMessageRecord(*list.GetAt(i)));
}

} // namespace Tavex
