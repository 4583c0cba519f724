#include "messages/progress.h"

#include "messages/string_loader.h"

namespace Tavex {

bool Progress::Show(const CKZString& text) {
    if (dialog_ == nullptr)
        return true;
    dialog_->ShowStep(text);
    return !dialog_->IsCancelled();
}

bool Progress::Stage(int id) {
    return Show(CStringL(id));
}

bool Progress::Stage(int id, unsigned number) {
    CKZString text;
    text.Format(L"%s %u", CStringL(id).c_str(), number);
    return Show(text);
}

} // namespace Tavex
