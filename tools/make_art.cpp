// Draws the game's two pictures: the title logo, data/title.bmp, and the icon in the sizes
// the window, the about box and the desktop want, app/icons/vantor-<size>.png. The results
// are committed; run this only to change them:
//
//   make_art [repository root]      (default: the current directory)
//
// Everything is drawn from geometry defined here, never from a font, so the output is the
// same on every machine.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

// The picture sits at (170, 20) in a 640-wide window and must end above the credit line at
// y = 150, so 300 x 120 centres it.
constexpr int kTitleWidth = 300;
constexpr int kTitleHeight = 120;
constexpr double kCapHeight = 60.0;
constexpr double kStroke = 13.0;
constexpr double kCapTop = 10.0;
constexpr double kSlant = 0.2;   // italic lean: pixels right per pixel up
constexpr int kIconSizes[] = {16, 32, 48, 64, 128};

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath Box(double x, double y, double width, double height)
{
    QPainterPath path;
    path.addRect(x, y, width, height);
    return path;
}

// A rectangle with its corners cut at 45 degrees.
QPainterPath Chamfered(double x, double y, double width, double height, double cut)
{
    const double r = x + width, b = y + height;
    return Polygon({{x + cut, y}, {r - cut, y}, {r, y + cut}, {r, b - cut}, {r - cut, b},
                    {x + cut, b}, {x, b - cut}, {x, y + cut}});
}

// Each letter is built in a box kCapHeight high whose top-left corner is the origin.
QPainterPath LetterV(double w)
{
    const double h = kCapHeight, s = kStroke, m = w / 2;
    return Polygon({{0, 0}, {s + 1, 0}, {m, h - 21}, {w - s - 1, 0}, {w, 0}, {m + 7, h},
                    {m - 7, h}});
}

QPainterPath LetterA(double w)
{
    const double h = kCapHeight, s = kStroke, m = w / 2;
    const QPainterPath legs = Polygon({{m - 7, 0}, {m + 7, 0}, {w, h}, {w - s - 1, h},
                                       {m, 21}, {s + 1, h}, {0, h}});
    return legs.united(Box(8, h - 21, w - 16, 9));
}

QPainterPath LetterN(double w)
{
    const double h = kCapHeight, s = kStroke;
    return Box(0, 0, s, h).united(Box(w - s, 0, s, h))
        .united(Polygon({{0, 0}, {s + 2, 0}, {w, h}, {w - s - 2, h}}));
}

QPainterPath LetterT(double w)
{
    const double h = kCapHeight, s = kStroke;
    return Box(0, 0, w, s).united(Box((w - s) / 2, 0, s, h));
}

QPainterPath LetterO(double w)
{
    const double h = kCapHeight, s = kStroke;
    return Chamfered(0, 0, w, h, 13).subtracted(Chamfered(s, s, w - 2 * s, h - 2 * s, 4));
}

QPainterPath LetterR(double w)
{
    const double h = kCapHeight, s = kStroke, bowl = 35, bar = 11;
    const QPainterPath bowlShape = Polygon({{0, 0}, {w - 11, 0}, {w, 11}, {w, bowl - 11},
                                            {w - 11, bowl}, {0, bowl}})
                                       .subtracted(Box(s, s, w - 2 * s, bowl - s - bar));
    const QPainterPath leg = Polygon({{15, bowl - 1}, {15 + s + 3, bowl - 1}, {w, h},
                                      {w - s - 3, h}});
    return Box(0, 0, s, h).united(bowlShape).united(leg);
}

// The name, slanted and centred across the picture.
QPainterPath Logo()
{
    struct Letter {
        QPainterPath (*shape)(double);
        double width;
    };
    const Letter letters[] = {{LetterV, 42}, {LetterA, 42}, {LetterN, 40},
                              {LetterT, 40}, {LetterO, 42}, {LetterR, 40}};
    const double gap = 5;
    double total = -gap;
    for (const Letter& letter : letters) total += letter.width + gap;
    total += kSlant * kCapHeight;

    QPainterPath logo;
    logo.setFillRule(Qt::WindingFill);
    double x = (kTitleWidth - total) / 2;
    for (const Letter& letter : letters) {
        logo = logo.united(letter.shape(letter.width).translated(x, 0));
        x += letter.width + gap;
    }
    // x' = x + slant * (height - y): the feet stay put and the tops lean right.
    const QTransform lean(1, 0, -kSlant, 1, kSlant * kCapHeight, 0);
    return lean.map(logo).translated(0, kCapTop);
}

// Chrome: a pale sky above a hard horizon, a warm glare below it.
QLinearGradient Chrome()
{
    QLinearGradient chrome(0, kCapTop, 0, kCapTop + kCapHeight);
    chrome.setColorAt(0.00, QColor(250, 252, 255));
    chrome.setColorAt(0.30, QColor(150, 200, 250));
    chrome.setColorAt(0.52, QColor(40, 70, 170));
    chrome.setColorAt(0.53, QColor(90, 40, 60));
    chrome.setColorAt(0.70, QColor(230, 120, 50));
    chrome.setColorAt(1.00, QColor(255, 235, 160));
    return chrome;
}

// A four-pointed glint, as light catching a corner of the chrome.
void DrawGlint(QPainter& painter, QPointF centre, double reach)
{
    const double waist = reach / 6;
    const QPainterPath star = Polygon({{0, -reach}, {waist, -waist}, {reach, 0}, {waist, waist},
                                 {0, reach}, {-waist, waist}, {-reach, 0}, {-waist, -waist}});
    painter.fillPath(star.translated(centre), QColor(255, 255, 255));
}

void DrawLetters(QPainter& painter)
{
    const QPainterPath logo = Logo();
    for (int depth = 6; depth >= 1; --depth) {  // the extruded sides, darker with depth
        const int shade = 190 - depth * 12;
        painter.fillPath(logo.translated(depth * 0.9, depth * 1.1),
                         QColor(shade * 2 / 3, 30, shade + 40));
    }
    const auto pen = [](QColor colour, double width) {
        return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    };
    painter.strokePath(logo, pen(QColor(40, 220, 255), 7));
    painter.strokePath(logo, pen(QColor(255, 60, 200), 3.5));
    painter.fillPath(logo, Chrome());
    painter.strokePath(logo.translated(0.6, 0.6), pen(QColor(255, 255, 255, 150), 1.0));
    const QRectF bounds = logo.boundingRect();
    DrawGlint(painter, QPointF(bounds.left() + 22, bounds.top() + 2), 12);
    DrawGlint(painter, QPointF(bounds.right() - 14, bounds.bottom() - 10), 8);
}

// A neon floor under the name: a bright horizon, rows that crowd toward it and lines that
// run to a vanishing point behind the letters.
void DrawFloor(QPainter& painter)
{
    const double horizon = 84, top = 90, bottom = 117, middle = kTitleWidth / 2.0;
    QLinearGradient neon(0, 0, kTitleWidth, 0);
    neon.setColorAt(0.0, QColor(255, 60, 200));
    neon.setColorAt(0.5, QColor(120, 240, 255));
    neon.setColorAt(1.0, QColor(255, 60, 200));
    painter.fillRect(QRectF(4, horizon, kTitleWidth - 8, 3), neon);

    const auto halfWidth = [&](double y) { return 100 + (y - top) * 1.6; };
    painter.save();
    painter.setClipPath(Polygon({{middle - halfWidth(top), top}, {middle + halfWidth(top), top},
                                 {middle + halfWidth(bottom), bottom},
                                 {middle - halfWidth(bottom), bottom}}));
    for (const double y : {90.0, 94.5, 100.5, 108.5}) {
        painter.fillRect(QRectF(middle - halfWidth(y), y, 2 * halfWidth(y), 1.6),
                         QColor(255, 60, 200));
    }
    painter.setPen(QPen(QColor(170, 100, 255), 1.5));
    const QPointF vanishingPoint(middle, 30);
    for (int i = -6; i <= 6; ++i)
        painter.drawLine(vanishingPoint, QPointF(middle + i * 26.0, bottom + 20));
    painter.restore();
}

// The picture's black is its transparent colour, so a pixel is either fully part of the
// logo or pure black: partly covered edge pixels get the full colour of what covers them,
// since a faint, darkened rim would show as a dark halo over the scene.
QImage Binarise(const QImage& layers)
{
    QImage picture(layers.size(), QImage::Format_RGB888);
    for (int y = 0; y < layers.height(); ++y) {
        for (int x = 0; x < layers.width(); ++x) {
            const QColor pixel = QColor::fromRgba(layers.pixel(x, y));
            const bool covered = pixel.alpha() >= 110;
            QColor colour = covered ? QColor(pixel.red(), pixel.green(), pixel.blue())
                                    : QColor(Qt::black);
            // Nothing of the logo may come out as the key colour and turn into a hole.
            if (covered && colour.rgb() == qRgb(0, 0, 0)) colour = QColor(1, 1, 1);
            picture.setPixelColor(x, y, colour);
        }
    }
    return picture;
}

QImage RenderTitle()
{
    QImage layers(kTitleWidth, kTitleHeight, QImage::Format_ARGB32);
    layers.fill(Qt::transparent);
    QPainter painter(&layers);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawFloor(painter);
    DrawLetters(painter);
    painter.end();
    return Binarise(layers);
}

// Plots the pixels of a line, both ends included, thick pixels deep in direction (dx, dy).
void PlotLine(QImage& image, QPoint from, QPoint to, int thick, QPoint inward)
{
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : double(i) / steps;
        const QPoint p(qRound(from.x() + (to.x() - from.x()) * t),
                       qRound(from.y() + (to.y() - from.y()) * t));
        for (int k = 0; k < thick; ++k) image.setPixel(p + inward * k, qRgb(0, 255, 0));
    }
}

// The outline of an upward-pointing arrowhead, pure green on black, a sixteenth of the size
// thick. Plotted rather than painted so that the small sizes stay crisp: the left half is
// drawn and mirrored about the middle column, which keeps the tip one pixel wide.
QImage RenderIcon(int size)
{
    const int middle = size / 2 - 1;
    const int thick = std::max(1, size / 16);
    const QPoint tip(middle, std::max(1, size / 32));
    const QPoint wing(qRound(size * 2 / 32.0), size - 1 - qRound(size * 2 / 32.0));
    const QPoint notch(middle, qRound(size * 21 / 32.0));

    QImage icon(size, size, QImage::Format_RGB32);
    icon.fill(Qt::black);
    PlotLine(icon, tip, wing, thick, QPoint(1, 0));
    PlotLine(icon, wing, notch, thick, QPoint(0, -1));
    // The thickened lines overshoot at the wing tip; the arrow's own shape trims them.
    const QPolygonF shape({QPointF(middle, tip.y() - 1.0), QPointF(wing.x() - 1.0, wing.y() + 1.0),
                           QPointF(middle, notch.y() + 1.0), QPointF(middle, tip.y() - 1.0)});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < middle; ++x)
            if (!shape.containsPoint(QPointF(x, y), Qt::OddEvenFill)) icon.setPixel(x, y, qRgb(0, 0, 0));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < middle; ++x) icon.setPixel(2 * middle - x, y, icon.pixel(x, y));
    return icon;
}

bool Save(const QImage& image, const QString& path, const char* format)
{
    if (image.save(path, format)) return true;
    std::fprintf(stderr, "make_art: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const QDir root(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!root.mkpath(QStringLiteral("data")) || !root.mkpath(QStringLiteral("app/icons"))) {
        std::fprintf(stderr, "make_art: cannot create the output folders\n");
        return 1;
    }
    bool ok = Save(RenderTitle(), root.filePath(QStringLiteral("data/title.bmp")), "BMP");
    for (const int size : kIconSizes) {
        const QString name = QStringLiteral("app/icons/vantor-%1.png").arg(size);
        ok = Save(RenderIcon(size), root.filePath(name), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
