#pragma once
// Text drawn with Qt into a surface's pixels. One font for the game's life, "DejaVu Sans"
// at 13 pixels times the scale, drawn without antialiasing so the HUD stays crisp over the
// 3D scene like the desktop's default font. Each text is rasterised by Qt once and kept as the runs of
// pixels it sets; drawing it again writes those runs, as long as it stays among the most
// recent texts. Without antialiasing a glyph pixel is set or not, so this is exactly
// what Qt would draw at any whole-pixel position.
//
// Needs a QGuiApplication for the fonts, created before the painter. Window thread only.
#include <QFont>
#include <string>
#include <vector>

#include "platform/TextPainter.h"

class QtTextPainter final : public ITextPainter {
public:
    QtTextPainter();

    // (x, y) is the top-left corner of the text's cell; no background is drawn.
    HRESULT TextOut(CSurface& surface, int32_t x, int32_t y, const char* text, uint32_t color) override;
    void GetTextExtent(const char* text, int32_t* width, int32_t* height) override;
    void SetScale(float scale) override;

    const QFont& Font() const { return m_font; }

private:
    struct Run {
        int32_t dy, dx0, dx1;  // from the cell's corner; dx1 exclusive
    };
    struct Rendered {
        std::string text;
        uint32_t color;
        std::vector<Run> runs;
    };
    const Rendered& Find(const char* text, uint32_t color);
    Rendered Render(const char* text, uint32_t color) const;

    static constexpr size_t kKept = 16;  // the HUD, the title and a few scores in between
    QFont m_font;
    int m_nAscent;
    std::vector<Rendered> m_kept;  // the most recently drawn first
};
