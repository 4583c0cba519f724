#include "messages/progress_dialog.h"

namespace Tavex {

WindowRect CentreOn(const WindowRect& parent, int width, int height) {
    const int parentWidth = parent.right - parent.left;
    const int parentHeight = parent.bottom - parent.top;
    const int left = parent.left + parentWidth / 2 - width / 2;
    const int top = parent.top + parentHeight / 2 - height / 2;
    return WindowRect{left, top, left + width, top + height};
}

CProgressDialog::CProgressDialog(HWND owner, const DialogTemplate& layout) {
    HostWindow window;
    if (!LookupHostWindow(owner, window))
        return; // not a window: the dialog exists but shows nothing
    owner_ = owner;
    shown_ = true;
    rect_ = CentreOn(window.rect, layout.width, layout.height);
    if (window.sink != nullptr) {
        window.sink->DialogShown(rect_);
        window.sink->DialogText(layout.text.initialText);
        window.sink->DialogProgress(position_, kProgressLower, kProgressUpper);
    }
}

CProgressDialog::~CProgressDialog() {
    if (WindowSink* sink = LiveSink())
        sink->DialogClosed();
}

WindowSink* CProgressDialog::LiveSink() const {
    HostWindow window;
    if (!shown_ || !LookupHostWindow(owner_, window))
        return nullptr;
    return window.sink;
}

void CProgressDialog::SetWindowText(const CKZString& title) {
    if (WindowSink* sink = LiveSink())
        sink->DialogTitle(title.Utf8().c_str());
}

void CProgressDialog::ShowStep(const CKZString& text) {
    if (!shown_)
        return;
    position_ += kProgressStep;
    if (position_ > kProgressUpper)
        position_ =
            kProgressLower + (position_ - kProgressUpper) % (kProgressUpper - kProgressLower);
    if (WindowSink* sink = LiveSink()) {
        sink->DialogText(text.Utf8().c_str());
        sink->DialogProgress(position_, kProgressLower, kProgressUpper);
    }
}

} // namespace Tavex
