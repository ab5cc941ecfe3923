#pragma once
// The frame's client area, where the game is shown. It is the primary surface: a present
// during its paint copies the back buffer into it, one pixel to one pixel.
#include <QWidget>

#include "platform/PrimarySurface.h"

class QPainter;

class CGameView final : public QWidget, public IPrimarySurface {
    Q_OBJECT
public:
    explicit CGameView(QWidget* parent);

    // Window thread, only inside the paint that the frame runs through OnPaint.
    HRESULT Blt(const RECT& dst, const CSurface& src, const RECT& srcRect) override;

signals:
    // Emitted from paintEvent; the frame answers with OnPaint.
    void PaintRequested();
    // The game area has a new size (the frame was decorated or refitted).
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPainter* m_pPainter = nullptr;  // set only while paintEvent runs
};
