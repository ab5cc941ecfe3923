#include "platform/qt/QtBitmapLoader.h"

#include <cstdlib>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

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
    const int64_t width = core ? Little(bytes, 18, 2) : int32_t(Little(bytes, 18, 4));
    const int64_t height = core ? Little(bytes, 20, 2) : int32_t(Little(bytes, 22, 4));
    const int64_t bits = Little(bytes, core ? 24 : 28, 2);
    const uint32_t compression = core ? 0 : Little(bytes, 30, 4);
    if (std::abs(width) > kMaxBitmapSide || std::abs(height) > kMaxBitmapSide || bits > 32) return false;
    if (compression != 0 && compression != 3) return true;  // run-length data: the decoder checks it
    const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return int64_t(Little(bytes, 10, 4)) + rowBytes * std::abs(height) <= bytes.size();
}

std::unique_ptr<CSurface> ToSurface(const QImage& decoded)
{
    const QImage image = decoded.convertToFormat(QImage::Format_RGB32);
    auto surface = std::make_unique<CSurface>(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* const row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        uint32_t* const out = surface->Pixels() + size_t(y) * image.width();
        for (int x = 0; x < image.width(); ++x) out[x] = row[x] & 0x00FFFFFFu;
    }
    return surface;
}

std::unique_ptr<CSurface> Decode(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return nullptr;
    QByteArray bytes = file.readAll();
    if (!bytes.startsWith("BM") || !HoldsEveryRow(bytes)) return nullptr;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.width() > kMaxBitmapSide ||
        size.height() > kMaxBitmapSide || qint64(size.width()) * size.height() * 4 > kMaxBitmapBytes)
        return nullptr;
    const QImage image = reader.read();
    if (image.isNull() || image.size() != size) return nullptr;
    return ToSurface(image);
}

}  // namespace

std::unique_ptr<CSurface> QtBitmapLoader::LoadBitmap(const char* name)
{
    if (name == nullptr || *name == '\0') return nullptr;
    const QString path = QString::fromLocal8Bit(name);
    const QString resource = QStringLiteral(":/") + path;
    std::unique_ptr<CSurface> bundled = QFile::exists(resource) ? Decode(resource) : nullptr;
    return bundled ? std::move(bundled) : Decode(path);
}
