// The modeless progress dialog of a run. It draws through the owner window's
// sink (see the window layer of the public header): a caption, a stage text
// and a stepping progress bar. With a null or unknown owner it exists but
// shows nothing.
#ifndef TAVEX_MESSAGES_PROGRESS_DIALOG_H
#define TAVEX_MESSAGES_PROGRESS_DIALOG_H

#include "geodesy/kz_string.h"
#include "platform/window_registry.h"
#include "resources/progress_window.h"

namespace Tavex {

class CProgressDialog {
public:
    // Creates the dialog from the given template, owned by owner, centred on
    // the owner's rectangle, with the bar's range 0..100 and step 10.
    explicit CProgressDialog(HWND owner, const DialogTemplate& layout = kCompactProgressDialog);
    virtual ~CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;

    bool IsShown() const { return shown_; }
    void SetWindowText(const CKZString& title);
    // Shows the stage text and advances the bar by one step; past the upper
    // end the bar starts over from the lower end.
    virtual void ShowStep(const CKZString& text);
    // This dialog has no cancel control: never cancelled.
    virtual bool IsCancelled() { return false; }

    int Position() const { return position_; }
    const WindowRect& Rect() const { return rect_; }

private:
    // The sink of the owner, or null when the owner has gone away since.
    WindowSink* LiveSink() const;

    HWND owner_ = nullptr;
    bool shown_ = false;
    WindowRect rect_{0, 0, 0, 0};
    int position_ = kProgressLower;
};

// The larger variant; shown whenever it exists, the runs never create it.
class CProgressDialogLarge : public CProgressDialog {
public:
    explicit CProgressDialogLarge(HWND owner) : CProgressDialog(owner, kLargeProgressDialog) {}
};

// Centres a rectangle of the given size on the parent's rectangle.
WindowRect CentreOn(const WindowRect& parent, int width, int height);

} // namespace Tavex

#endif
