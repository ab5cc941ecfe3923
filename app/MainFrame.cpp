#include "app/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMetaObject>
#include <QScreen>

#include "app/GameView.h"
#include "app/HighScoreEntryDlg.h"
#include "app/HighScoreTableDlg.h"
#include "game/Game.h"
#include "game/Globals.h"
#include "game/HighScores.h"
#include "game/PendingHighScore.h"
#include "platform/InputSystem.h"
#include "platform/PlatformInstance.h"
#include "platform/Surface.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/desktop/DesktopInputSystem.h"
#include "render/Display.h"

namespace {
// The frame whose game runs, for HaltOnExit. Recursive: an exit() that Qt calls inside the
// close path, on the window thread, must find the frame gone rather than wait for itself.
std::recursive_mutex g_runningLock;
CMainFrame* g_pRunningFrame = nullptr;

constexpr QSize kOuterSize(640, 480);
constexpr int kCommandHighScoreTable = 32771;
constexpr int kCommandExit = 57665;
constexpr int kCommandAbout = 57664;
}  // namespace

CMainFrame::CMainFrame(const PlatformInstance* instance, DisplayDevices devices,
                       CDesktopInputSystem* input)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_pInstance(instance), m_displayDevices(std::move(devices)), m_pInputSystem(input),
      m_pView(new CGameView(this)),
      m_modalDialogs(this, [this] { return m_bClosing.load(); }, [this] { return m_bDestroyed; })
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vantor"));
    setCentralWidget(m_pView);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_pView, &CGameView::PaintRequested, this, &CMainFrame::OnPaint);
    connect(m_pView, &CGameView::Resized, this, &CMainFrame::FitDisplay);
    // Key releases from anywhere in the application: one that went to an open menu or a
    // dialog must still let the key go, or it would read as held until pressed again.
    qApp->installEventFilter(this);
    CreateMenu();
    CreateAccelerators();
    FitOuterSize();
}

bool CMainFrame::StartGame()
{
    m_pDisplay = new CDisplay(m_displayDevices);
    if (!m_pDisplay->Init(this)) return false;
    m_pGame = new CGame(m_pInstance, this, m_pDisplay);
    m_pGame->Start();
    // Input start-up that failed has shown its message and destroyed the window.
    if (m_bDestroyed) return false;
    m_bGameStarted = true;
    {
        const std::lock_guard<std::recursive_mutex> hold(g_runningLock);
        g_pRunningFrame = this;
    }
    FitDisplay();
    return true;
}

void CMainFrame::UpdateWindow()
{
    m_pView->repaint();
}

CMainFrame::~CMainFrame()
{
    if (m_pGame != nullptr || m_pDisplay != nullptr) OnClose();
}

void CMainFrame::FitOuterSize()
{
    if (m_bFullScreen) return;
    // The outer size counts the decorations wherever the window system reports them.
    const QSize decorations = frameGeometry().size() - geometry().size();
    if (size() != kOuterSize - decorations) setFixedSize(kOuterSize - decorations);
}

void CMainFrame::FitDisplay()
{
    // A window manager decorates the frame after the display was made, and the outer size
    // then leaves less room: the picture must fill what is left, centred on it.
    // In full screen the game area keeps its windowed size, and the view magnifies it. On
    // a high-resolution screen the back buffer has the screen's pixels.
    if (!m_bGameStarted || m_bFullScreen) return;
    const RECT area = GetClientRectOnScreen();
    const float scale = GetPixelScale();
    if (scale != m_pDisplay->m_fScale) m_pDisplay->SetScale(scale);
    const int32_t width = ScaledSize(area.Width(), scale), height = ScaledSize(area.Height(), scale);
    if (width == m_pDisplay->m_nWidth && height == m_pDisplay->m_nHeight) return;
    if (m_pGame->ResizeDisplay(width, height)) InvalidateRect();
}

void CMainFrame::OnPaint()
{
    if (!m_bGameStarted) return;
    m_bRepaintPending = false;
    m_pGame->Paint();
    // In the screen's own pixels, as the back buffer is.
    const RECT client = GetClientRectOnScreen();
    const float scale = GetPixelScale();
    const int32_t left = ScaledSize(client.left, scale), top = ScaledSize(client.top, scale);
    RECT dst{left, top, left + ScaledSize(client.Width(), scale), top + ScaledSize(client.Height(), scale)};
    RECT src;
    GetSurfaceSize(m_pDisplay->m_pddsBack, &src.right, &src.bottom);
    m_pDisplay->Present(m_pDisplay->m_pddsBack, &src, &dst);
}

void CMainFrame::InvalidateRect()
{
    // Paints that fall behind the ticks merge into one, as the window system's would.
    if (m_bRepaintPending.exchange(true)) return;
    QMetaObject::invokeMethod(m_pView, &CGameView::PaintNow, Qt::QueuedConnection);
}

intptr_t CMainFrame::SendMessage(uint32_t message)
{
    std::unique_lock<std::mutex> lock(m_sendLock);
    if (m_bClosing) return 0;
    const uint64_t ticket = m_nMessagesHandled + 1;
    QMetaObject::invokeMethod(this, [this, message] {
        WindowProc(message);
        std::lock_guard<std::mutex> done(m_sendLock);
        ++m_nMessagesHandled;
        m_sendDone.notify_all();
    }, Qt::QueuedConnection);
    m_sendDone.wait(lock, [&] { return m_nMessagesHandled >= ticket || m_bClosing; });
    return 0;
}

intptr_t CMainFrame::WindowProc(uint32_t message)
{
    // A close under way has shut the game down: no name entry opens over it.
    if (message == WM_USER && !m_bDestroyed && !m_bClosing) CheckHighScore();
    return 0;
}

void CMainFrame::CheckHighScore()
{
    if (!IsHighScore(g_nScore)) return;
    m_modalDialogs.WaitForOpen();
    if (m_bClosing) return;
    CHighScoreEntryDlg dialog(this);
    RunModal(dialog);
}

void CMainFrame::OnHighScoreTable()
{
    CHighScoreTableDlg dialog(this);
    RunModal(dialog);
}

void CMainFrame::MessageBox(const char* text, const char* caption)
{
    ShowMessageBox(isVisible() ? this : nullptr, text, caption);
}

void CMainFrame::DestroyWindow()
{
    m_bDestroyed = true;
    hide();
}

RECT CMainFrame::GetClientRectOnScreen() const
{
    const QPoint topLeft = m_pView->mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), topLeft.x() + m_pView->width(), topLeft.y() + m_pView->height()};
}

bool CMainFrame::IsForeground() const
{
    return isActiveWindow();
}

int32_t CMainFrame::GetScreenBitsPerPixel() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 0;
}

IPrimarySurface* CMainFrame::GetPrimarySurface()
{
    return m_pView;
}

float CMainFrame::GetPixelScale() const
{
    return m_pView->PixelScale();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        FitOuterSize();
        OnActivate(true);
    }
    if (event->type() == QEvent::WindowDeactivate) OnActivate(false);
    return QMainWindow::event(event);
}

void CMainFrame::OnActivate(bool active)
{
    if (m_pGame == nullptr) return;
    if (!active) {
        m_pGame->m_bActive = false;
        InvalidateRect();  // for the "Paused" a frozen run shows
        // Keys and sticks are read only while the game's window is in front.
        if (m_pInstance->pInputSystem != nullptr) m_pInstance->pInputSystem->OnForegroundLost();
        return;
    }
    InvalidateRect();
    AcquireInput();
    m_pGame->m_bActive = true;
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QMainWindow::focusInEvent(event);
    OnSetFocus();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The decorations are known only once the window is up (a Wayland window draws its own
    // just after this), and a window manager may report them later still: fit again
    // then, and at each activation.
    FitOuterSize();
    QMetaObject::invokeMethod(this, &CMainFrame::FitOuterSize, Qt::QueuedConnection);
    // A window manager gives a new window the focus; without one nobody would, and the
    // game would wait for an activation that never comes. Asked once the window is mapped.
    QMetaObject::invokeMethod(this, [this] { m_modalDialogs.Reactivate(); }, Qt::QueuedConnection);
}

void CMainFrame::OnSetFocus()
{
    InvalidateRect();
    if (m_pGame != nullptr) AcquireInput();
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    if (m_pInputSystem != nullptr) m_pInputSystem->KeyEvent(*event);
    const auto shortcutModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool plain = !(event->modifiers() & shortcutModifiers) && !event->isAutoRepeat();
    if (event->key() == Qt::Key_P && plain && m_pGame != nullptr) m_pGame->TogglePause();
    if (event->key() == Qt::Key_F11 && plain) ToggleFullScreen();
    // Full screen hides the menu bar, and with it what a player looks for to get out:
    // Escape, which has no other use in the game, leaves, and Alt+G opens the Game menu
    // over the picture as the bar would.
    if (m_bFullScreen && event->key() == Qt::Key_Escape && plain) ToggleFullScreen();
    if (m_bFullScreen && event->key() == Qt::Key_G && event->modifiers() == Qt::AltModifier)
        m_pGameMenu->popup(m_pView->mapToGlobal(QPoint(0, 0)));
    QMainWindow::keyPressEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && m_pInputSystem != nullptr)
        m_pInputSystem->KeyEvent(*static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The game first: its shutdown confirms a name being typed, which the dialogs'
    // dismissal below would otherwise cancel.
    OnClose();
    m_modalDialogs.EndOpen();
    event->accept();
}

void CMainFrame::ToggleFullScreen()
{
    // Asked of the window manager, and done here as well, for an X server without one
    // (whose window state then never says full screen).
    if (m_bFullScreen) {
        showNormal();
        // Exactly the size it had: the decorations come back only later. The game area
        // is back at its size before the display is fitted again.
        setFixedSize(m_windowedGeometry.size());
        setGeometry(m_windowedGeometry);
        menuBar()->show();
        m_bFullScreen = false;
        m_pView->SetZoomed(false);
        FitDisplay();
        return;
    }
    m_bFullScreen = true;
    m_windowedGeometry = geometry();
    menuBar()->hide();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_pView->SetZoomed(true);
    showFullScreen();
    if (screen() != nullptr) setGeometry(screen()->geometry());
}

void CMainFrame::CloseFromOutside()
{
    close();
}

void CMainFrame::EndGameNow()
{
    OnClose();
    m_modalDialogs.EndOpen();
}

void CMainFrame::HaltOnExit()
{
    const std::lock_guard<std::recursive_mutex> hold(g_runningLock);
    CMainFrame* const frame = g_pRunningFrame;
    if (frame != nullptr) {
        frame->ReleaseWaitingTick();
        frame->m_pGame->Halt();
    }
    g_pendingHighScore.Confirm();
}

void CMainFrame::ReleaseWaitingTick()
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    m_bClosing = true;
    m_sendDone.notify_all();
}

void CMainFrame::OnClose()
{
    const std::lock_guard<std::recursive_mutex> hold(g_runningLock);
    if (g_pRunningFrame == this) g_pRunningFrame = nullptr;
    // A tick waiting for the end-of-run message must not keep Shutdown waiting for it.
    ReleaseWaitingTick();
    m_bGameStarted = false;
    if (m_pGame != nullptr) {
        m_pGame->Shutdown();
        delete m_pGame;
        m_pGame = nullptr;
    }
    if (m_pDisplay != nullptr) {
        m_pDisplay->ReleaseObjects();
        delete m_pDisplay;
        m_pDisplay = nullptr;
    }
}

void CMainFrame::CreateMenu()
{
    QMenu* const game = m_pGameMenu = menuBar()->addMenu(QStringLiteral("&Game"));
    QAction* table = game->addAction(QStringLiteral("High &Score Table"), this, &CMainFrame::OnHighScoreTable);
    table->setObjectName(QStringLiteral("ID_GAME_HIGHSCORETABLE"));
    table->setData(kCommandHighScoreTable);
    game->addSeparator();
    QAction* exit = game->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("ID_APP_EXIT"));
    exit->setData(kCommandExit);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    QAction* about = help->addAction(QStringLiteral("&About"), this, &CMainFrame::AboutRequested);
    about->setObjectName(QStringLiteral("ID_APP_ABOUT"));
    about->setData(kCommandAbout);
}

void CMainFrame::CreateAccelerators()
{
    // The keys a document application would answer; here they reach nothing and change
    // nothing, but they exist so that they never reach the game either.
    static const struct {
        QKeyCombination keys;
        int command;
    } kAccelerators[] = {
        {Qt::CTRL | Qt::Key_N, 57600},     {Qt::CTRL | Qt::Key_O, 57601},
        {Qt::CTRL | Qt::Key_S, 57603},     {Qt::CTRL | Qt::Key_Z, 57643},
        {Qt::CTRL | Qt::Key_X, 57635},     {Qt::CTRL | Qt::Key_C, 57634},
        {Qt::CTRL | Qt::Key_V, 57637},     {Qt::ALT | Qt::Key_Backspace, 57643},
        {Qt::SHIFT | Qt::Key_Delete, 57635}, {Qt::CTRL | Qt::Key_Insert, 57634},
        {Qt::SHIFT | Qt::Key_Insert, 57637}, {QKeyCombination(Qt::Key_F6), 57680},
        {Qt::SHIFT | Qt::Key_F6, 57681},
    };
    for (const auto& accelerator : kAccelerators) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(accelerator.keys));
        action->setData(accelerator.command);
        action->setObjectName(QStringLiteral("accelerator"));
        addAction(action);
    }
}
