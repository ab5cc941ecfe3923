#include "platform/qt/QtBitmapLoader.h"

#include <cstdlib>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include "platform/posix/RegularFile.h"
#include "platform/Surface.h"

namespace {

// Room for the largest picture the limits allow plus headers and a palette.
constexpr qint64 kMaxFileBytes = kMaxBitmapBytes + 64 * 1024;

uint32_t Little(const QByteArray& bytes, int at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + i]);
    return v;
}

// Qt decodes a cut-off uncompressed bitmap as if the missing rows were black; the file
// must hold every row its header declares.
bool HoldsEveryRow(const QByteArray& bytes)
{
    if (bytes.size() < 26) return false;
    const uint32_t headerSize = Little(bytes, 14, 4);
    const bool core = headerSize == 12;
    if (!core && bytes.size() < 34) return false;
    // Signed in the newer headers: a negative height is a picture stored top row first.
    const int64_t width = core ? int64_t(Little(bytes, 18, 2)) : int64_t(int32_t(Little(bytes, 18, 4)));
    const int64_t height = core ? int64_t(Little(bytes, 20, 2)) : int64_t(int32_t(Little(bytes, 22, 4)));
    const int64_t bits = Little(bytes, core ? 24 : 28, 2);
    const uint32_t compression = core ? 0 : Little(bytes, 30, 4);
    if (std::abs(width) > kMaxBitmapWidth || std::abs(height) > kMaxBitmapHeight || bits > 32) return false;
    if (compression != 0 && compression != 3) return true;  // run-length data: the decoder checks it
    const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return int64_t(Little(bytes, 10, 4)) + rowBytes * std::abs(height) <= bytes.size();
}

std::unique_ptr<CSurface> ToSurface(const QImage& decoded)
{
    const QImage image = decoded.convertToFormat(QImage::Format_RGB32);
    auto surface = std::make_unique<CSurface>(image.width(), image.height());
    // Once: each taking of the pointer counts the whole surface as written again.
    uint32_t* const pixels = surface->Pixels();
    for (int y = 0; y < image.height(); ++y) {
        const auto* const row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        uint32_t* const out = pixels + size_t(y) * image.width();
        for (int x = 0; x < image.width(); ++x) out[x] = row[x] & 0x00FFFFFFu;
    }
    return surface;
}

// Empty when the file cannot be read whole within the size limit. Opened without blocking
// and refused unless a regular file: a named pipe in the picture's place would otherwise
// hang the start-up in the open or the read.
QByteArray ReadFile(const char* path)
{
    const int fd = OpenRegularFile(path);
    if (fd < 0) return QByteArray();
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) || file.size() > kMaxFileBytes)
        return QByteArray();
    return file.readAll();
}

QByteArray ReadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return QByteArray();
    return file.readAll();
}

std::unique_ptr<CSurface> Decode(QByteArray bytes)
{
    if (!bytes.startsWith("BM") || !HoldsEveryRow(bytes)) return nullptr;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    // Qt reports a top-down picture with its stored, negative height, yet decodes it upright.
    if (size.height() < 0 && size.height() >= -kMaxBitmapHeight) size.setHeight(-size.height());
    if (!reader.canRead() || !size.isValid() || size.width() > kMaxBitmapWidth ||
        size.height() > kMaxBitmapHeight)
        return nullptr;
    const QImage image = reader.read();
    if (image.isNull() || image.size() != size) return nullptr;
    return ToSurface(image);
}

}  // namespace

std::unique_ptr<CSurface> QtBitmapLoader::LoadBitmap(const char* name)
{
    if (name == nullptr || *name == '\0') return nullptr;
    const QString resource = QStringLiteral(":/") + QString::fromLocal8Bit(name);
    std::unique_ptr<CSurface> bundled = QFile::exists(resource) ? Decode(ReadResource(resource)) : nullptr;
    return bundled ? std::move(bundled) : Decode(ReadFile(name));
}
