// How computations report their stage: show the stage text in the run's
// progress dialog (when there is one) and ask whether the run was cancelled.
#ifndef TAVEX_MESSAGES_PROGRESS_H
#define TAVEX_MESSAGES_PROGRESS_H

#include "messages/progress_dialog.h"

namespace Tavex {

class Progress {
public:
    explicit Progress(CProgressDialog* dialog = nullptr) : dialog_(dialog) {}

    // Shows stage text id; returns false when the run was cancelled and the
    // computation must stop with failure.
    bool Stage(int id);
    // Shows stage text id followed by a number ("%s %u"), as the iteration
    // stage does.
    bool Stage(int id, unsigned number);

private:
    bool Show(const CKZString& text);

    CProgressDialog* dialog_;
};

} // namespace Tavex

#endif
