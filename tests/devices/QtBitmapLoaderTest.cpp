#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/Surface.h"
#include "platform/qt/QtBitmapLoader.h"
#include "tests/devices/GuiApplication.h"

namespace {

class QtBitmapLoaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    std::string Write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path.toStdString();
    }

    static QByteArray Encode(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }

    // A BMP header declaring width x height at 24 bits, with no pixels behind it.
    static QByteArray Header(int32_t width, int32_t height)
    {
        QByteArray h(54, '\0');
        const auto put = [&h](int at, uint32_t v, int n) {
            for (int i = 0; i < n; ++i) h[at + i] = char((v >> (8 * i)) & 0xFF);
        };
        h[0] = 'B', h[1] = 'M';
        put(2, 54, 4), put(10, 54, 4), put(14, 40, 4);
        put(18, uint32_t(width), 4), put(22, uint32_t(height), 4), put(26, 1, 2), put(28, 24, 2);
        return h;
    }

    QTemporaryDir dir;
    QtBitmapLoader loader;
};

QImage Pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x % 256, y, (x * 7 + y) % 256));
    return image;
}

TEST_F(QtBitmapLoaderTest, ABitmapComesBackPixelForPixel)
{
    const QImage image = Pattern(300, 100);
    const auto surface = loader.LoadBitmap(Write("picture.bmp", Encode(image, "BMP")).c_str());
    ASSERT_TRUE(surface);
    ASSERT_EQ(surface->Width(), 300);
    ASSERT_EQ(surface->Height(), 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(surface->Pixel(x, y), image.pixel(x, y) & 0xFFFFFFu) << x << "," << y;
}

TEST_F(QtBitmapLoaderTest, ATopDownBitmapComesBackUprightLikeABottomUpOne)
{
    const QImage image = Pattern(7, 5);
    QByteArray bytes = Encode(image, "BMP");
    // Negate the height and store the rows top first.
    const auto field = [&bytes](int at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
        return int32_t(v);
    };
    const int offset = field(10, 4), height = field(22, 4);
    const int rowBytes = (field(18, 4) * field(28, 2) + 31) / 32 * 4;
    QByteArray flipped = bytes.left(offset);
    for (int row = height - 1; row >= 0; --row) flipped += bytes.mid(offset + row * rowBytes, rowBytes);
    const uint32_t negative = uint32_t(-height);
    for (int i = 0; i < 4; ++i) flipped[22 + i] = char(negative >> (8 * i));

    const auto surface = loader.LoadBitmap(Write("top-down.bmp", flipped).c_str());
    ASSERT_TRUE(surface);
    ASSERT_EQ(surface->Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(surface->Pixel(x, y), image.pixel(x, y) & 0xFFFFFFu) << x << "," << y;
}

TEST_F(QtBitmapLoaderTest, RelativeNamesAreFoundFromTheCurrentDirectory)
{
    QDir(dir.path()).mkdir("data");
    Write("data/title.bmp", Encode(Pattern(4, 3), "BMP"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto surface = loader.LoadBitmap("data/title.bmp");
    QDir::setCurrent(before);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->Width(), 4);
}

TEST_F(QtBitmapLoaderTest, DamagedForeignAndHugeFilesLoadNothing)
{
    const QByteArray good = Encode(Pattern(40, 30), "BMP");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.bmp", QByteArray()},
        {"truncated.bmp", good.left(good.size() / 2)},
        {"header-only.bmp", good.left(40)},
        {"png.bmp", Encode(Pattern(40, 30), "PNG")},
        {"text.bmp", QByteArray("BM this is not a picture")},
        {"wide.bmp", Header(20000, 10)},
        // Whole and sound, but larger than the game area shows: refused before decoding.
        {"wider-than-the-game.bmp", Encode(Pattern(641, 2), "BMP")},
        {"taller-than-the-game.bmp", Encode(Pattern(2, 481), "BMP")},
        {"huge.bmp", Header(16000, 16000)},
        {"negative.bmp", Header(-5, 10)},
        // Found by fuzzing: sizes and bit depth whose product overflowed the row check.
        {"overflow.bmp", QByteArray::fromBase64("Qk1aAAAAAAAAADYAAAAoAAAABfz///z///8BABgGAAAAAAAAAAAAAAAAAAAAAAAAAAAAAf/+/A==")},
    };
    for (const auto& c : cases) EXPECT_FALSE(loader.LoadBitmap(Write(c.name, c.bytes).c_str())) << c.name;
    EXPECT_FALSE(loader.LoadBitmap(dir.filePath("missing.bmp").toStdString().c_str()));
    // A named pipe would block the open until a writer came, and the read after it.
    const std::string fifo = dir.filePath("fifo.bmp").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    EXPECT_FALSE(loader.LoadBitmap(fifo.c_str()));
    alarm(0);
    EXPECT_FALSE(loader.LoadBitmap(""));
}

}  // namespace
