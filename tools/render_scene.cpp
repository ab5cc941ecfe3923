// Renders the busiest game frame through the real device, display, text painter and
// bitmap loader, with a colour-keyed test picture over it, and saves it as a PNG to look
// at: render_scene [out.png]
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/Surface.h"
#include "platform/qt/QtBitmapLoader.h"
#include "platform/qt/QtTextPainter.h"
#include "tools/scene/BusyScene.h"

namespace {

// A black picture (transparent when keyed) holding a framed yellow disc.
QString WriteTestPicture(const QTemporaryDir& dir)
{
    QImage image(300, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawRect(4, 4, 291, 91);
    painter.setBrush(Qt::yellow);
    painter.drawEllipse(QPoint(150, 50), 35, 35);
    painter.end();
    const QString path = dir.filePath("keyed.bmp");
    image.save(path, "BMP");
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("scene.png");
    QTemporaryDir dir;
    QtTextPainter painter;
    QtBitmapLoader loader;
    DisplayDevices devices;
    devices.pTextPainter = &painter;
    devices.pBitmapLoader = &loader;
    CBusyScene scene(devices);
    CDisplay& display = scene.Display();
    CSurface* picture = nullptr;
    if (!display.LoadBitmapSurface(picture, WriteTestPicture(dir).toLocal8Bit().constData())) return 1;
    scene.Paint();
    display.BltBitmap(picture, display.m_pddsBack, DDBLTFAST_SRCCOLORKEY, 170, 20);
    const CSurface& back = *display.m_pddsBack;
    const QImage image(reinterpret_cast<const uchar*>(back.Pixels()), back.Width(), back.Height(),
                       qsizetype(back.Width()) * 4, QImage::Format_RGB32);
    if (!image.save(out, "PNG")) return 1;
    std::printf("%s\n", QDir::toNativeSeparators(out).toLocal8Bit().constData());
    return 0;
}
