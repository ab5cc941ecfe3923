#include "app/GameApp.h"

#include <QDialog>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

#include "app/AboutDlg.h"
#include "app/Icons.h"
#include "app/MainFrame.h"
#include "platform/posix/ThreadTimer.h"
#include "platform/openal/OpenAlSoundSystem.h"
#include "platform/qt/QtBitmapLoader.h"
#include "platform/qt/QtTextPainter.h"
#include "platform/desktop/DesktopInputSystem.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the window thread does the closing. The pipe does
    // not block, so a burst of signals before the frame reads it cannot hang a thread.
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[0], &byte, 1);
}

}  // namespace

void CGameApp::CatchTerminationSignals()
{
    // A server connection that breaks must fail its write, not kill the game mid-save.
    std::signal(SIGPIPE, SIG_IGN);
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

CGameApp::CGameApp(int& argc, char** argv) : m_application(argc, argv)
{
    // The profile location: named so, and never written to.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Torvelin"));
    QApplication::setWindowIcon(LoadGameIcon());
    OpenDevices();
}

CGameApp::~CGameApp()
{
    // A frame still open here has not closed through the event loop.
    delete m_pMainWnd;
}

void CGameApp::OpenDevices()
{
    m_pTimer = std::make_unique<CThreadTimer>();
    m_pInputSystem = CreateDesktopInputSystem();
    m_pSoundSystem = COpenAlSoundSystem::Create();
    m_pTextPainter = std::make_unique<QtTextPainter>();
    m_pBitmapLoader = std::make_unique<QtBitmapLoader>();
    m_instance.pTimer = m_pTimer.get();
    m_instance.pInputSystem = m_pInputSystem.get();
    m_instance.pSoundSystem = m_pSoundSystem.get();
    m_displayDevices.pTextPainter = m_pTextPainter.get();
    m_displayDevices.pBitmapLoader = m_pBitmapLoader.get();
}

bool CGameApp::InitInstance()
{
    m_pMainWnd = new CMainFrame(&m_instance, m_displayDevices, m_pInputSystem.get());
    std::atexit(EndGameOnExit);
    QObject::connect(m_pMainWnd, &CMainFrame::AboutRequested, [this] { OnAppAbout(); });
    CloseOnTerminationSignals();
    m_pMainWnd->show();
    m_pMainWnd->activateWindow();
    if (!m_pMainWnd->StartGame()) return false;
    m_bStarted = true;
    if (m_pSignalNotifier != nullptr) m_pSignalNotifier->setEnabled(true);
    m_pMainWnd->UpdateWindow();
    return true;
}

void CGameApp::EndGameOnExit()
{
    // Qt 6.4 and 6.8 end the process with exit() when the display connection breaks,
    // with the timer thread still ticking and maybe a name half typed. Nothing here
    // touches a widget: the display is gone, and exit() may come from another thread.
    CMainFrame::HaltOnExit();
}

void CGameApp::CloseOnTerminationSignals()
{
    // A signal that came during start-up waits in the pipe and closes the frame as soon as
    // the event loop runs.
    if (g_signalPipe[1] < 0) return;
    m_pSignalNotifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, m_pMainWnd);
    QObject::connect(m_pSignalNotifier, &QSocketNotifier::activated, m_pMainWnd, [this] {
        if (!m_bStarted) {
            // Only a start-up message box runs events before that: it is answered, and
            // the signal stays in the pipe for the close once the game stands.
            m_pSignalNotifier->setEnabled(false);
            if (auto* const box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
            return;
        }
        char byte = 0;
        [[maybe_unused]] const ssize_t got = read(g_signalPipe[1], &byte, 1);
        m_pMainWnd->CloseFromOutside();
    });
}

int CGameApp::Run()
{
    const int result = QApplication::exec();
    // Qt 6.11 quits the loop, rather than the process, when its display connection
    // breaks: the game still runs then, and ends here as a close would end it.
    if (m_pMainWnd) m_pMainWnd->EndGameNow();
    return result;
}

void CGameApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainWnd);
    m_pMainWnd->RunModal(dialog);
}
