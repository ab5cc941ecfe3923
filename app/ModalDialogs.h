#pragma once
// How the frame's modal dialogs take turns: one at a time, never over an open menu, never
// once the frame has begun to close, and the frame in front again after each. Without a
// window manager nothing else would hand the front back, and a second dialog stacked on a
// first could hide it for good.
//
// "Open dialogs" are whatever application-modal QDialog is up, run here or not: a message
// box counts too.
//
// Call order: Run for each dialog the frame opens; WaitForOpen before a dialog that must
// follow an open one rather than be refused (the name entry at the end of a run); EndOpen
// once the frame's game has shut down, never before, so that a name being typed has been
// confirmed before its dialog is cancelled; Reactivate whenever the frame should take
// the front (once it is mapped).
//
// Window thread only, the two queries included.
#include <functional>

class QWidget;

class CModalDialogs {
public:
    // owner: the frame, which owns this. closing: whether the frame has
    // begun to close; destroyed: whether its window was destroyed (a failed start-up).
    // Both are asked afresh at every step, since either may turn while a dialog is open.
    CModalDialogs(QWidget* owner, std::function<bool()> closing, std::function<bool()> destroyed);

    // Runs dialog (its DoModal) unless a modal dialog is open already or the frame is
    // closing or destroyed, closing an open menu first either way; then gives the front
    // back. The caller owns the dialog.
    template <typename Dialog>
    void Run(Dialog& dialog)
    {
        if (!ReadyForOne()) return;
        dialog.DoModal();
        Reactivate();
    }
    // Returns once no modal dialog is open, or as soon as the frame begins to close.
    // Events are handled meanwhile; the caller's own work stays on hold.
    void WaitForOpen() const;
    // Cancels every open modal dialog, the innermost first; one that will not close ends
    // the attempt there.
    void EndOpen() const;
    // Activates and raises the open modal dialog, else the frame; nothing once the frame
    // is closing or destroyed.
    void Reactivate() const;

private:
    bool ReadyForOne() const;

    QWidget* const m_pOwner;
    const std::function<bool()> m_closing;
    const std::function<bool()> m_destroyed;
};
