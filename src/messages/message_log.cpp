#include "messages/message_log.h"

#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "resources/string_ids.h"

namespace Tavex {

int MessageLog::AddMessage(int code, int messageClass, int refKind, const CKZString& text,
                           std::uint32_t ref1, std::uint32_t ref2) {
    auto* message = new CMessageHandler;
    message->Code = code;
    message->Class = messageClass;
    message->RefKind = refKind;
    message->Text = text;
    if (ref1 != 0)
        message->Refs.push_back(ref1);
    if (ref2 != 0)
        message->Refs.push_back(ref2);
    const CStringL classWord(messageClass == MSG_ERROR ? STR_CLASS_ERROR : STR_CLASS_WARNING);
    Print(file_, L"%s: %s.\n", classWord.c_str(), message->Text.c_str());
    return messages_.Add(message);
}

int MessageLog::ErrorsSince(int first) const {
    int errors = 0;
    for (int i = first < 0 ? 0 : first; i < messages_.GetSize(); ++i)
        if (messages_.GetAt(i)->Class == MSG_ERROR)
            ++errors;
    return errors;
}

} // namespace Tavex
