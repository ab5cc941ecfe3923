#include "app/GameView.h"

#include <QImage>
#include <QPainter>

#include "platform/Surface.h"

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

void CGameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_pPainter = &painter;
    emit PaintRequested();
    m_pPainter = nullptr;
}

HRESULT CGameView::Blt(const RECT& dst, const CSurface& src, const RECT& srcRect)
{
    if (m_bZoomed) return BltZoomed(src, srcRect);
    return Show(src, srcRect, mapFromGlobal(QPoint(dst.left, dst.top)), 1.0);
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
        m_pZoomed = std::make_unique<CSurface>(width, height);  // black, and the border stays so
    }
    const int32_t scale = std::max(1, std::min(width / srcRect.Width(), height / srcRect.Height()));
    RECT part = srcRect;
    part.right = part.left + std::min(srcRect.Width(), width);
    part.bottom = part.top + std::min(srcRect.Height(), height);
    const int32_t x = (width - part.Width() * scale) / 2, y = (height - part.Height() * scale) / 2;
    CopyMagnified(src, part, *m_pZoomed, scale, x, y);
    return Show(*m_pZoomed, {0, 0, width, height}, QPoint(0, 0), ratio);
}

HRESULT CGameView::Show(const CSurface& src, const RECT& srcRect, QPoint topLeft, qreal ratio)
{
    if (m_pPainter == nullptr) return E_FAIL;
    QImage image(reinterpret_cast<const uchar*>(src.Pixels()), src.Width(), src.Height(),
                 src.Width() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    m_pPainter->drawImage(QPointF(topLeft), image,
                          QRectF(srcRect.left, srcRect.top, srcRect.Width(), srcRect.Height()));
    return DD_OK;
}
