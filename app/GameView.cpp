#include "app/GameView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/FramePresenter.h"
#include "platform/Surface.h"
#include "platform/x11/X11ShmPresenter.h"

namespace {

// Each pixel of srcRect becomes a scale x scale block of dst, from (x, y); the caller
// makes sure the blocks fit.
void CopyMagnified(const CSurface& src, const RECT& srcRect, CSurface& dst, int32_t scale, int32_t x, int32_t y)
{
    const int32_t width = srcRect.Width() * scale;
    uint32_t* const pixels = dst.Pixels();
    for (int32_t row = srcRect.top; row < srcRect.bottom; ++row) {
        const uint32_t* const in = src.Pixels() + size_t(row) * src.Width() + srcRect.left;
        uint32_t* const first = pixels + size_t(y + (row - srcRect.top) * scale) * dst.Width() + x;
        for (int32_t i = 0; i < width; ++i) first[i] = in[i / scale];
        for (int32_t copy = 1; copy < scale; ++copy) {
            std::copy(first, first + width, first + size_t(copy) * dst.Width());
        }
    }
}

}  // namespace

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

void CGameView::PaintNow()
{
    if (m_pPresenter) {
        repaint();
    } else {
        update();
    }
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
    if (m_bZoomed) return BltZoomed(src, srcRect);
    const float scale = PixelScale();  // dst is in screen pixels
    const QPoint topLeft(qRound(float(dst.left) / scale), qRound(float(dst.top) / scale));
    return Show(src, srcRect, mapFromGlobal(topLeft), devicePixelRatioF());
}

float CGameView::PixelScale() const
{
    return std::clamp(float(devicePixelRatioF()), 1.0f, 8.0f);
}

void CGameView::SetZoomed(bool zoomed)
{
    m_bZoomed = zoomed;
    m_pZoomed.reset();
}

HRESULT CGameView::BltZoomed(const CSurface& src, const RECT& srcRect)
{
    const qreal ratio = devicePixelRatioF();
    const int32_t width = qRound(this->width() * ratio), height = qRound(this->height() * ratio);
    if (srcRect.Width() < 1 || srcRect.Height() < 1 || width < 1 || height < 1) return E_FAIL;
    if (!m_pZoomed || m_pZoomed->Width() != width || m_pZoomed->Height() != height) {
        // The border stays black; shared with the window system where it can be.
        std::shared_ptr<uint32_t> shown = m_pPresenter ? m_pPresenter->AllocatePixels(width, height) : nullptr;
        m_pZoomed = shown ? std::make_unique<CSurface>(width, height, std::move(shown))
                          : std::make_unique<CSurface>(width, height);
        m_pZoomed->Fill(0xFF000000u);  // opaque, for a compositor that reads the top byte
    }
    const int32_t scale = std::max(1, std::min(width / srcRect.Width(), height / srcRect.Height()));
    RECT part = srcRect;
    part.right = part.left + std::min(srcRect.Width(), width);
    part.bottom = part.top + std::min(srcRect.Height(), height);
    const int32_t x = (width - part.Width() * scale) / 2, y = (height - part.Height() * scale) / 2;
    if (m_pPresenter) m_pPresenter->WaitUntilShown();  // the last frame may still be read
    CopyMagnified(src, part, *m_pZoomed, scale, x, y);
    return Show(*m_pZoomed, {0, 0, width, height}, QPoint(0, 0), ratio);
}

HRESULT CGameView::Show(const CSurface& src, const RECT& srcRect, QPoint topLeft, qreal ratio)
{
    if (m_pPresenter) {
        const qreal window = devicePixelRatioF();  // the window's pixels per view unit
        const int32_t x = qRound(topLeft.x() * window), y = qRound(topLeft.y() * window);
        return m_pPresenter->Show(src, srcRect, x, y) ? DD_OK : E_FAIL;
    }
    if (m_pPainter == nullptr) return E_FAIL;
    QImage image(reinterpret_cast<const uchar*>(src.Pixels()), src.Width(), src.Height(),
                 src.Width() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    m_pPainter->drawImage(QPointF(topLeft), image,
                          QRectF(srcRect.left, srcRect.top, srcRect.Width(), srcRect.Height()));
    return DD_OK;
}
