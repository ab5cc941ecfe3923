#include "app/GameView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "platform/FramePresenter.h"
#include "platform/Surface.h"
#include "platform/x11/X11ShmPresenter.h"
#include "render/MagnifiedFrame.h"

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
        m_bTickPaint = true;
        repaint();
        m_bTickPaint = false;
    } else {
        update();
    }
}

void CGameView::paintEvent(QPaintEvent*)
{
    if (m_pPresenter) {
        // Any paint but the game's own (an expose, a new size) may find the window showing
        // something else than the last frame.
        if (!m_bTickPaint) ForgetShownFrame();
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
    ForgetShownFrame();
    emit Resized();
}

HRESULT CGameView::Blt(const RECT& dst, const CSurface& src, const RECT& srcRect)
{
    if (m_bZoomed) return BltZoomed(src, srcRect);
    const float scale = PixelScale();  // dst is in screen pixels
    const QPoint topLeft(qRound(float(dst.left) / scale), qRound(float(dst.top) / scale));
    if (!m_pPresenter) return Show(src, srcRect, mapFromGlobal(topLeft), devicePixelRatioF(), nullptr);
    CDamageRects changed;
    m_damage.Collect(src, [&](int32_t y, int32_t x0, int32_t x1) {
        x0 = std::max(x0, srcRect.left), x1 = std::min(x1, srcRect.right);
        if (y >= srcRect.top && y < srcRect.bottom && x0 < x1) changed.Add(y, x0, x1);
    });
    const std::vector<RECT> rects = changed.Take();
    return Show(src, srcRect, mapFromGlobal(topLeft), devicePixelRatioF(), &rects);
}

void CGameView::ForgetShownFrame()
{
    m_damage.Forget();
    if (m_pMagnified) m_pMagnified->Forget();
    if (m_pShown) m_pShown->Forget();
    m_bBorderOwed = true;
}

// The frame as last shown is kept unmagnified (a scale-1 CMagnifiedFrame), so the server
// is sent only the pixels that changed, however often the game drew them again.
bool CGameView::ShowServerMagnified(const CSurface& src, const CMagnifiedFrame::Placement& place)
{
    if (!m_pPresenter || m_bServerCannotMagnify) return false;
    const RECT& part = place.part;
    if (!m_pShown || m_pShown->View().Width() != part.Width() || m_pShown->View().Height() != part.Height()) {
        m_pShown = std::make_unique<CMagnifiedFrame>(std::make_unique<CSurface>(part.Width(), part.Height()));
    }
    std::vector<RECT> changed = m_pShown->Update(src, part);
    for (RECT& rect : changed) rect = {rect.left + part.left, rect.top + part.top, rect.right + part.left,
                                       rect.bottom + part.top};
    const bool whole = std::exchange(m_bBorderOwed, false);
    if (m_pPresenter->ShowMagnified(src, part, place.scale, place.x, place.y, whole ? nullptr : &changed)) return true;
    m_bServerCannotMagnify = true;
    m_pShown.reset();
    return false;
}

float CGameView::PixelScale() const
{
    return std::clamp(float(devicePixelRatioF()), 1.0f, 8.0f);
}

void CGameView::SetZoomed(bool zoomed)
{
    m_bZoomed = zoomed;
    m_pMagnified.reset();
    m_pShown.reset();
    m_damage.Forget();
    m_bBorderOwed = true;
}

HRESULT CGameView::BltZoomed(const CSurface& src, const RECT& srcRect)
{
    const qreal ratio = devicePixelRatioF();
    const int32_t width = qRound(this->width() * ratio), height = qRound(this->height() * ratio);
    if (srcRect.Width() < 1 || srcRect.Height() < 1 || width < 1 || height < 1) return E_FAIL;
    if (ShowServerMagnified(src, CMagnifiedFrame::Place(width, height, srcRect))) return DD_OK;
    const CSurface* view = m_pMagnified ? &m_pMagnified->View() : nullptr;
    if (view == nullptr || view->Width() != width || view->Height() != height) {
        // Shared with the window system where it can be.
        std::shared_ptr<uint32_t> shown = m_pPresenter ? m_pPresenter->AllocatePixels(width, height) : nullptr;
        m_pMagnified = std::make_unique<CMagnifiedFrame>(
            shown ? std::make_unique<CSurface>(width, height, std::move(shown)) : std::make_unique<CSurface>(width, height));
    }
    if (m_pPresenter) m_pPresenter->WaitUntilShown();  // the last frame may still be read
    const std::vector<RECT> changed = m_pMagnified->Update(src, srcRect);
    return Show(m_pMagnified->View(), {0, 0, width, height}, QPoint(0, 0), ratio, &changed);
}

HRESULT CGameView::Show(const CSurface& src, const RECT& srcRect, QPoint topLeft, qreal ratio,
                        const std::vector<RECT>* changed)
{
    if (m_pPresenter) {
        const qreal window = devicePixelRatioF();  // the window's pixels per view unit
        const int32_t x = qRound(topLeft.x() * window), y = qRound(topLeft.y() * window);
        if (m_pPresenter->Show(src, srcRect, x, y, changed)) return DD_OK;
        ForgetShownFrame();
        return E_FAIL;
    }
    if (m_pPainter == nullptr) return E_FAIL;
    QImage image(reinterpret_cast<const uchar*>(src.Pixels()), src.Width(), src.Height(),
                 src.Width() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    m_pPainter->drawImage(QPointF(topLeft), image,
                          QRectF(srcRect.left, srcRect.top, srcRect.Width(), srcRect.Height()));
    return DD_OK;
}
