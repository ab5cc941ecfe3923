#pragma once
// The application: brings up Qt and the platform devices, creates the frame and runs the
// event loop. There is one, made by main().
//
// It owns, and keeps alive until the frame has shut the game down: the timer, the input
// and sound systems, the text painter and the bitmap loader.
#include <QApplication>
#include <QPointer>
#include <memory>

#include "platform/DisplayDevices.h"
#include "platform/PlatformInstance.h"

class CDesktopInputSystem;
class CMainFrame;
class CThreadTimer;
class ISoundSystem;
class QSocketNotifier;
class QtBitmapLoader;
class QtTextPainter;

class CGameApp {
public:
    // From here on SIGTERM, SIGINT and SIGHUP close the frame through its close path as
    // soon as the frame runs (InitInstance); one that comes while a start-up message box
    // waits answers the box first. SIGPIPE is ignored. Call first in main.
    static void CatchTerminationSignals();

    CGameApp(int& argc, char** argv);
    ~CGameApp();
    CGameApp(const CGameApp&) = delete;
    CGameApp& operator=(const CGameApp&) = delete;

    // Creates and shows the frame and starts the game; false ends the program.
    bool InitInstance();
    int Run();
    void OnAppAbout();

private:
    void OpenDevices();
    void CloseOnTerminationSignals();
    static void EndGameOnExit();

    QApplication m_application;
    std::unique_ptr<CThreadTimer> m_pTimer;
    std::unique_ptr<CDesktopInputSystem> m_pInputSystem;
    std::unique_ptr<ISoundSystem> m_pSoundSystem;
    std::unique_ptr<QtTextPainter> m_pTextPainter;
    std::unique_ptr<QtBitmapLoader> m_pBitmapLoader;
    PlatformInstance m_instance;
    DisplayDevices m_displayDevices;
    QPointer<CMainFrame> m_pMainWnd;  // deleted by Qt when its window closes
    QSocketNotifier* m_pSignalNotifier = nullptr;
    bool m_bStarted = false;  // the game stands: a termination signal closes the frame
};
