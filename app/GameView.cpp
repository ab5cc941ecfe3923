#include "app/GameView.h"

#include <QImage>
#include <QPainter>

#include "platform/Surface.h"

CGameView::CGameView(QWidget* parent) : QWidget(parent)
{
    // The game draws every pixel it owns itself; Qt must not clear them first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void CGameView::paintEvent(QPaintEvent*)
{
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
    if (m_pPainter == nullptr) return E_FAIL;
    const QImage image(reinterpret_cast<const uchar*>(src.Pixels()), src.Width(), src.Height(),
                       src.Width() * 4, QImage::Format_RGB32);
    const QPoint topLeft = mapFromGlobal(QPoint(dst.left, dst.top));
    m_pPainter->drawImage(topLeft, image,
                          QRect(srcRect.left, srcRect.top, srcRect.Width(), srcRect.Height()));
    return DD_OK;
}
