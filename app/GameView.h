#pragma once
// The frame's client area, where the game is shown. It is the primary surface: a present
// during its paint copies the back buffer into it, one pixel to one screen pixel, or
// magnified in full screen (SetZoomed).
//
// On X11 with shared memory the back buffer lives in memory the X server maps too, and a
// present sends it straight to the view's own window, bypassing Qt's backing store; on
// any other platform (Wayland, offscreen) the paint draws the frame through Qt.
#include <QWidget>
#include <memory>

#include "platform/PrimarySurface.h"
#include "render/FrameDamage.h"
#include "render/MagnifiedFrame.h"

class IFramePresenter;
class QPainter;

class CGameView final : public QWidget, public IPrimarySurface {
    Q_OBJECT
public:
    explicit CGameView(QWidget* parent);
    ~CGameView() override;

    // Window thread, only inside the paint that the frame runs through OnPaint. dst is in
    // the screen's pixels (PixelScale per view unit), and so is src: one to one.
    HRESULT Blt(const RECT& dst, const CSurface& src, const RECT& srcRect) override;
    // Full screen: each present shows the frame magnified by the largest whole number
    // that fits the view, centred on black, wherever it was asked for.
    void SetZoomed(bool zoomed);
    // The screen's pixels per view unit, 1..8: 1.5 on a desktop scaled by 150 %, where the
    // frame is drawn at the screen's own resolution.
    float PixelScale() const;
    // Window thread, once the frame is shown; opens the direct path on first use.
    std::shared_ptr<uint32_t> AllocatePixels(int32_t width, int32_t height) override;
    // The shared-memory path only opens on a 24-bit X visual.
    bool IgnoresAlpha() const override { return m_pPresenter != nullptr; }
    QPaintEngine* paintEngine() const override;
    // Window thread: a paint of the whole view. On the direct path it runs at once, since
    // Qt has nothing of its own to merge it with; Qt's update would post one more event
    // and wake its loop again for each frame. Elsewhere it is Qt's update, which follows
    // the compositor's frame pacing.
    void PaintNow();

signals:
    // Emitted from paintEvent; the frame answers with OnPaint.
    void PaintRequested();
    // The game area has a new size (the frame was decorated or refitted).
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OpenDirectPath();
    HRESULT BltZoomed(const CSurface& src, const RECT& srcRect);
    // ratio: the source's pixels per view unit; changed as IFramePresenter::Show takes it.
    HRESULT Show(const CSurface& src, const RECT& srcRect, QPoint topLeft, qreal ratio,
                 const std::vector<RECT>* changed);
    // The next present sends the whole frame.
    void ForgetShownFrame();
    // Full screen magnified by the display server; false where it cannot, nothing sent.
    bool ShowServerMagnified(const CSurface& src, const CMagnifiedFrame::Placement& place);

    QPainter* m_pPainter = nullptr;  // set only while paintEvent runs, on Qt's path
    std::unique_ptr<IFramePresenter> m_pPresenter;  // null: Qt's path
    bool m_bTriedDirect = false;
    bool m_bZoomed = false;
    bool m_bTickPaint = false;  // the paint PaintNow asked for, not the window system
    // On the direct path, what changed since the last frame shown; the whole view in full
    // screen, in its device pixels.
    CFrameDamage m_damage;
    std::unique_ptr<CMagnifiedFrame> m_pMagnified;  // where we magnify
    std::unique_ptr<CMagnifiedFrame> m_pShown;      // where the server does, at scale 1
    bool m_bBorderOwed = true;                      // the black around the picture
    bool m_bServerCannotMagnify = false;
};
