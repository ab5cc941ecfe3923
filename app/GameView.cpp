#include "app/GameView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/FramePresenter.h"
#include "platform/Surface.h"
#include "platform/x11/X11ShmPresenter.h"

CGameView::CGameView(QWidget* parent) : QWidget(parent)
{
    // The game draws every pixel it owns itself; Qt must not clear them first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

CGameView::~CGameView() = default;

void CGameView::OpenDirectPath()
{
    m_bTriedDirect = true;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    // A window of the view's own, so nothing Qt flushes for the frame covers the game.
    setAttribute(Qt::WA_NativeWindow);
    m_pPresenter = CX11ShmPresenter::Open(winId());
    if (m_pPresenter == nullptr) return;
    // Qt must not paint this window at all: its paints arrive with no painter.
    setAttribute(Qt::WA_PaintOnScreen);
}

std::shared_ptr<uint32_t> CGameView::AllocatePixels(int32_t width, int32_t height)
{
    if (!m_bTriedDirect) OpenDirectPath();
    return m_pPresenter ? m_pPresenter->AllocatePixels(width, height) : nullptr;
}

QPaintEngine* CGameView::paintEngine() const
{
    return m_pPresenter ? nullptr : QWidget::paintEngine();
}

void CGameView::paintEvent(QPaintEvent*)
{
    if (m_pPresenter) {
        m_pPresenter->WaitUntilShown();  // the paint draws over the last frame's pixels
        emit PaintRequested();
        return;
    }
    QPainter painter(this);
    m_pPainter = &painter;
    emit PaintRequested();
    m_pPainter = nullptr;
}

void CGameView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit Resized();
}

HRESULT CGameView::Blt(const RECT& dst, const CSurface& src, const RECT& srcRect)
{
    const QPoint topLeft = mapFromGlobal(QPoint(dst.left, dst.top));
    if (m_pPresenter) return m_pPresenter->Show(src, srcRect, topLeft.x(), topLeft.y()) ? DD_OK : E_FAIL;
    if (m_pPainter == nullptr) return E_FAIL;
    const QImage image(reinterpret_cast<const uchar*>(src.Pixels()), src.Width(), src.Height(),
                       src.Width() * 4, QImage::Format_RGB32);
    m_pPainter->drawImage(topLeft, image,
                          QRect(srcRect.left, srcRect.top, srcRect.Width(), srcRect.Height()));
    return DD_OK;
}
