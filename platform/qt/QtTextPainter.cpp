#include "platform/qt/QtTextPainter.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "platform/Surface.h"

QtTextPainter::QtTextPainter() : m_font(QStringLiteral("DejaVu Sans"))
{
    m_font.setPixelSize(13);
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_nAscent = QFontMetrics(m_font).ascent();
}

HRESULT QtTextPainter::TextOut(CSurface& surface, int32_t x, int32_t y, const char* text, uint32_t color)
{
    if (text == nullptr) return E_INVALIDARG;
    QImage image(reinterpret_cast<uchar*>(surface.Pixels()), surface.Width(), surface.Height(),
                 qsizetype(surface.Width()) * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    if (!painter.isActive()) return E_FAIL;
    painter.setFont(m_font);
    painter.setPen(QColor::fromRgb(color & 0x00FFFFFFu));
    // Names typed into the high-score table are Latin-1, like every other game text.
    painter.drawText(x, y + m_nAscent, QString::fromLatin1(text));
    return S_OK;
}

void QtTextPainter::GetTextExtent(const char* text, int32_t* width, int32_t* height)
{
    const QFontMetrics metrics(m_font);
    *width = metrics.horizontalAdvance(QString::fromLatin1(text != nullptr ? text : ""));
    *height = metrics.height();
}
