#include "platform/qt/QtTextPainter.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>

#include "platform/Surface.h"

namespace {
// Room around the cell for glyphs that reach past their advance or above the ascent.
constexpr int kMargin = 16;
}  // namespace

QtTextPainter::QtTextPainter() : m_font(QStringLiteral("DejaVu Sans"))
{
    m_font.setPixelSize(13);
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_nAscent = QFontMetrics(m_font).ascent();
}

void QtTextPainter::SetScale(float scale)
{
    m_font.setPixelSize(std::max(1, int(std::lround(13.0f * std::clamp(scale, 1.0f, 8.0f)))));
    m_nAscent = QFontMetrics(m_font).ascent();
    m_kept.clear();  // rasterised at the old size
}

HRESULT QtTextPainter::TextOut(CSurface& surface, int32_t x, int32_t y, const char* text, uint32_t color)
{
    if (text == nullptr) return E_INVALIDARG;
    // What Qt writes into an opaque image: the colour with a full top byte.
    const uint32_t pixel = 0xFF000000u | (color & 0x00FFFFFFu);
    uint32_t* const pixels = surface.PixelsCallerMarks();
    for (const Run& run : Find(text, color).runs) {
        const int32_t row = y + run.dy;
        const int32_t x0 = std::max(x + run.dx0, 0), x1 = std::min(x + run.dx1, surface.Width());
        if (row < 0 || row >= surface.Height() || x0 >= x1) continue;
        std::fill(pixels + size_t(row) * surface.Width() + x0, pixels + size_t(row) * surface.Width() + x1, pixel);
        surface.MarkWritten(row, x0, x1 - 1);
    }
    return S_OK;
}

void QtTextPainter::GetTextExtent(const char* text, int32_t* width, int32_t* height)
{
    const QFontMetrics metrics(m_font);
    *width = metrics.horizontalAdvance(QString::fromLatin1(text != nullptr ? text : ""));
    *height = metrics.height();
}

const QtTextPainter::Rendered& QtTextPainter::Find(const char* text, uint32_t color)
{
    auto found = std::find_if(m_kept.begin(), m_kept.end(),
                              [&](const Rendered& r) { return r.color == color && r.text == text; });
    if (found == m_kept.end()) {
        if (m_kept.size() == kKept) m_kept.pop_back();
        m_kept.insert(m_kept.begin(), Render(text, color));
    } else {
        std::rotate(m_kept.begin(), found, found + 1);
    }
    return m_kept.front();
}

QtTextPainter::Rendered QtTextPainter::Render(const char* text, uint32_t color) const
{
    // Names typed into the high-score table are Latin-1, like every other game text.
    const QString string = QString::fromLatin1(text);
    const QFontMetrics metrics(m_font);
    QImage image(metrics.horizontalAdvance(string) + 2 * kMargin, metrics.height() + 2 * kMargin,
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(m_font);
        painter.setPen(QColor::fromRgb(color & 0x00FFFFFFu));
        painter.drawText(kMargin, kMargin + m_nAscent, string);
    }
    Rendered rendered{text, color, {}};
    for (int y = 0; y < image.height(); ++y) {
        const auto* const row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (qAlpha(row[x]) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && qAlpha(row[x]) != 0) ++x;
            rendered.runs.push_back({y - kMargin, start - kMargin, x - kMargin});
        }
    }
    return rendered;
}
