// The floor the game is measured against: a bare Qt window that repaints a still
// 640 x 461 picture (the game's area under its menu) every 16 ms, the least any Qt program
// showing such a frame at the game's rate can cost. tools/measure_game.sh runs it beside
// the game. Usage: floor_window (title "Floor"; runs until closed or killed).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class CFloorWindow final : public QWidget {
public:
    CFloorWindow() : m_image(640, 461, QImage::Format_RGB32)
    {
        // Not a flat colour, so nothing along the way can shortcut the copy.
        for (int y = 0; y < m_image.height(); ++y)
            for (int x = 0; x < m_image.width(); ++x) m_image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setFixedSize(m_image.size());
        setWindowTitle(QStringLiteral("Floor"));
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
        m_timer.start(16);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
    QTimer m_timer;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CFloorWindow window;
    window.show();
    return QApplication::exec();
}
