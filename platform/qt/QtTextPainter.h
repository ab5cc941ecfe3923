#pragma once
// Text drawn with Qt straight into a surface's pixels: the surface memory is wrapped, not
// copied. One font for the game's life, "DejaVu Sans" at 13 pixels, drawn without
// antialiasing so the HUD stays crisp over the 3D scene like the desktop's default font.
//
// Needs a QGuiApplication for the fonts, created before the painter. Window thread only.
#include <QFont>

#include "platform/TextPainter.h"

class QtTextPainter final : public ITextPainter {
public:
    QtTextPainter();

    // (x, y) is the top-left corner of the text's cell; no background is drawn.
    HRESULT TextOut(CSurface& surface, int32_t x, int32_t y, const char* text, uint32_t color) override;
    void GetTextExtent(const char* text, int32_t* width, int32_t* height) override;

    const QFont& Font() const { return m_font; }

private:
    QFont m_font;
    int m_nAscent;
};
