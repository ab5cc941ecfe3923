#pragma once
// The game's one frame window: a fixed 640 x 480 window titled "Vantor" whose client area
// shows the game. It owns the display and the controller and turns window events into
// calls on them: paint renders and presents, activation resumes and pauses, closing tears
// down in a fixed order, and the end-of-run message opens the high-score name entry.
//
// Threads: everything here runs on the window thread except InvalidateRect and
// SendMessage, which the controller calls from the timer thread.
#include <QMainWindow>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/ModalDialogs.h"
#include "platform/DisplayDevices.h"
#include "platform/Window.h"

class CDesktopInputSystem;
class CDisplay;
class CGame;
class CGameView;
class QMenu;
struct PlatformInstance;

class CMainFrame final : public QMainWindow, public IWindow {
    Q_OBJECT
public:
    // instance, the devices and the input system must outlive the frame; the input system
    // may be null (no keyboard).
    CMainFrame(const PlatformInstance* instance, DisplayDevices devices, CDesktopInputSystem* input);
    ~CMainFrame() override;

    // Creates and starts the display and the controller; false when start-up failed and
    // the window is gone (the reason has been shown).
    bool StartGame();
    bool IsDestroyed() const { return m_bDestroyed; }
    // Paints now, before the event loop runs.
    void UpdateWindow();
    // A close from outside the window (a termination signal): as the close box, also
    // while a dialog is open; a name being entered is kept, not thrown away.
    void CloseFromOutside();
    // F11: the game area alone on the whole screen, magnified by the largest whole
    // number that fits, centred on black; again, or Escape, the window as it was. The
    // menu bar is hidden meanwhile, so nothing but the game shows; Alt+G still opens its
    // Game menu, over the picture.
    void ToggleFullScreen();
    // The event loop ended with the frame still open (Qt 6.11 quits it when its display
    // connection breaks): ends the game as a close does, name entry confirmed.
    void EndGameNow();
    // The process is ending inside the event loop (exit(), as Qt 6.4 and 6.8 call it when
    // the display connection breaks): stops the running game's timer and confirms an
    // open name entry with what has been typed. Touches no widget: any thread may call it.
    static void HaltOnExit();

    void InvalidateRect() override;
    intptr_t SendMessage(uint32_t message) override;
    void MessageBox(const char* text, const char* caption) override;
    void DestroyWindow() override;
    RECT GetClientRectOnScreen() const override;
    bool IsForeground() const override;
    int32_t GetScreenBitsPerPixel() const override;
    IPrimarySurface* GetPrimarySurface() override;
    float GetPixelScale() const override;

    void CheckHighScore();
    void OnHighScoreTable();
    // Runs a modal dialog of the frame's in its turn (see ModalDialogs.h).
    template <typename Dialog>
    void RunModal(Dialog& dialog)
    {
        m_modalDialogs.Run(dialog);
    }

signals:
    void AboutRequested();

public:
    bool m_bGameStarted = false;
    CGame* m_pGame = nullptr;
    CDisplay* m_pDisplay = nullptr;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPaint();
    void OnClose();
    void OnActivate(bool active);
    void OnSetFocus();
    intptr_t WindowProc(uint32_t message);
    void FitOuterSize();
    void FitDisplay();
    void CreateMenu();
    void CreateAccelerators();
    void ReleaseWaitingTick();

    const PlatformInstance* m_pInstance;
    DisplayDevices m_displayDevices;
    CDesktopInputSystem* m_pInputSystem;
    CGameView* m_pView;
    QMenu* m_pGameMenu = nullptr;  // owned by the menu bar
    std::atomic<bool> m_bRepaintPending{false};
    bool m_bDestroyed = false;
    bool m_bFullScreen = false;
    QRect m_windowedGeometry;  // the window's place before full screen

    // The end-of-run message: the timer thread waits until the window thread has handled
    // it, or until the frame starts to close.
    std::mutex m_sendLock;
    std::condition_variable m_sendDone;
    uint64_t m_nMessagesHandled = 0;
    std::atomic<bool> m_bClosing{false};  // also set by HaltOnExit, from any thread

    CModalDialogs m_modalDialogs;
};
