#include "tests/fakes/FrameChecksum.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/Surface.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

// Length, type, data and the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutBigEndian(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> out{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(uint8_t(length)), out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length)), out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + length));
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

std::filesystem::path MismatchFolder()
{
    if (const char* shots = std::getenv("VANTOR_SHOTS"); shots != nullptr && *shots != '\0') return shots;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    const std::filesystem::path ctestLog = program.parent_path() / "Testing" / "Temporary";
    return std::filesystem::is_directory(ctestLog, error) ? ctestLog : program.parent_path();
}

}  // namespace

uint64_t ColourChecksum(const CSurface& surface)
{
    uint64_t hash = 14695981039346656037ull;
    const uint32_t* const pixels = surface.Pixels();
    for (size_t i = 0, n = size_t(surface.Width()) * size_t(surface.Height()); i < n; ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            hash ^= (pixels[i] >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

std::string ChecksumText(uint64_t checksum)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(checksum));
    return text;
}

bool WritePng(const CSurface& surface, const std::string& path)
{
    const int32_t width = surface.Width(), height = surface.Height();
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits a channel, RGB, no interlace
    std::vector<uint8_t> raw;
    raw.reserve((size_t(width) * 3 + 1) * size_t(height));
    const uint32_t* const pixels = surface.Pixels();
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[size_t(y) * size_t(width) + size_t(x)];
            raw.insert(raw.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
        }
    }
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    return bool(file.flush());
}

std::string SaveMismatch(const CSurface& surface, const std::string& name)
{
    std::string file = name + "-mismatch.png";
    for (char& c : file)
        if (c == ' ' || c == '/') c = '-';
    const std::string path = (MismatchFolder() / file).string();
    return WritePng(surface, path) ? "the frame drawn is in " + path : "could not write the frame to " + path;
}
