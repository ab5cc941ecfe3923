#include "app/MainFrame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>

#include "app/GameView.h"
#include "game/Game.h"
#include "game/Globals.h"
#include "game/HighScores.h"
#include "platform/qt/QtMessageBox.h"
#include "render/Display.h"

namespace {
constexpr QSize kOuterSize(640, 480);
}

CMainFrame::CMainFrame(const PlatformInstance* instance)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_pInstance(instance), m_pView(new CGameView(this))
{
    setWindowTitle(QStringLiteral("Vantor"));
    setCentralWidget(m_pView);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_pView, &CGameView::PaintRequested, this, &CMainFrame::OnPaint);
    FitOuterSize();
}

CMainFrame::~CMainFrame()
{
    if (m_pGame != nullptr || m_pDisplay != nullptr) OnClose();
}

void CMainFrame::FitOuterSize()
{
    // The outer size counts the decorations wherever the window system reports them.
    const QSize decorations = frameGeometry().size() - geometry().size();
    setFixedSize(kOuterSize - decorations);
}

void CMainFrame::OnPaint()
{
    if (!m_bGameStarted) return;
    m_bRepaintPending = false;
    m_pGame->Paint();
    RECT dst = GetClientRectOnScreen();
    RECT src{0, 0, m_pDisplay->m_pddsBack->Width(), m_pDisplay->m_pddsBack->Height()};
    m_pDisplay->Present(m_pDisplay->m_pddsBack, &src, &dst);
}

void CMainFrame::InvalidateRect()
{
    // Paints that fall behind the ticks merge into one, as the window system's would.
    if (m_bRepaintPending.exchange(true)) return;
    QMetaObject::invokeMethod(m_pView, qOverload<>(&QWidget::update), Qt::QueuedConnection);
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
    if (message == WM_USER && !m_bDestroyed) CheckHighScore();
    return 0;
}

void CMainFrame::CheckHighScore()
{
    if (!IsHighScore(g_nScore)) return;
    // The name entry comes with the high-score dialogs.
}

void CMainFrame::OnHighScoreTable() {}

void CMainFrame::Reactivate()
{
    if (m_bDestroyed) return;
    activateWindow();
    raise();
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

int32_t CMainFrame::GetScreenBitsPerPixel() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 0;
}

IPrimarySurface* CMainFrame::GetPrimarySurface()
{
    return m_pView;
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) OnActivate(true);
    if (event->type() == QEvent::WindowDeactivate) OnActivate(false);
    return QMainWindow::event(event);
}

void CMainFrame::OnActivate(bool active)
{
    if (m_pGame == nullptr) return;
    if (!active) {
        m_pGame->m_bActive = false;
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

void CMainFrame::OnSetFocus()
{
    InvalidateRect();
    if (m_pGame != nullptr) AcquireInput();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    OnClose();
    event->accept();
}

void CMainFrame::ReleaseWaitingTick()
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    m_bClosing = true;
    m_sendDone.notify_all();
}

void CMainFrame::OnClose()
{
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
