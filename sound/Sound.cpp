#include "sound/Sound.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/posix/DebugOut.h"
#include "platform/posix/RegularFile.h"
#include "platform/SoundSystem.h"

namespace {

struct WavHeader {
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataBytes = 0;
    long dataOffset = 0;
};

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint32_t kExtensibleFmtBytes = 40;

uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool Tagged(const uint8_t* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

// Size of the whole file; 0 when that cannot be told.
uint64_t FileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(file);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

bool ReadAt(std::FILE* file, uint64_t offset, uint8_t* out, size_t bytes)
{
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(out, bytes, 1, file) == 1;
}

// Integer PCM only, plain or extensible: anything else would play as noise or a click.
bool ParseFormat(const uint8_t* fmt, uint32_t size, WavHeader* wav)
{
    const uint16_t tag = Read16(fmt);
    const bool extensiblePcm = tag == kFormatExtensible && size >= kExtensibleFmtBytes &&
                               Read16(fmt + 16) >= 22 && std::memcmp(fmt + 24, kPcmSubFormat, 16) == 0;
    if (tag != kFormatPcm && !extensiblePcm) return false;
    wav->channels = Read16(fmt + 2);
    wav->samplesPerSec = Read32(fmt + 4);
    wav->blockAlign = Read16(fmt + 12);
    wav->bitsPerSample = Read16(fmt + 14);
    return true;
}

// Walks the RIFF chunks for "fmt " and "data", in either order, skipping every other
// chunk with its pad byte. The RIFF size is not trusted (writers that stream leave it
// wrong); the file's own end bounds the walk instead.
bool ReadWavHeader(std::FILE* file, WavHeader* wav)
{
    const uint64_t end = FileSize(file);
    uint8_t riff[12];
    if (!ReadAt(file, 0, riff, sizeof riff) || !Tagged(riff, "RIFF") || !Tagged(riff + 8, "WAVE"))
        return false;
    bool haveFormat = false, haveData = false;
    for (uint64_t at = sizeof riff; at + 8 <= end && !(haveFormat && haveData);) {
        uint8_t chunk[8];
        if (!ReadAt(file, at, chunk, sizeof chunk)) return false;
        const uint32_t size = Read32(chunk + 4);
        if (Tagged(chunk, "fmt ") && !haveFormat) {
            uint8_t fmt[kExtensibleFmtBytes] = {};
            if (size < 16 || !ReadAt(file, at + 8, fmt, std::min(size, kExtensibleFmtBytes))) return false;
            if (!ParseFormat(fmt, size, wav)) return false;
            haveFormat = true;
        } else if (Tagged(chunk, "data") && !haveData) {
            wav->dataBytes = size;
            wav->dataOffset = static_cast<long>(at + 8);
            haveData = true;
        }
        at += 8 + uint64_t(size) + (size & 1);
    }
    // A data size the file cannot hold would otherwise allocate up to 4 GiB before the
    // read fails.
    return haveFormat && haveData && wav->dataBytes <= end - uint64_t(wav->dataOffset);
}

bool IsSlot(int index)
{
    return index >= 0 && index < kSoundSlots;
}

void ReportShortRead(const void* region, uint32_t bytes, const std::FILE* file)
{
    char line[96];
    std::snprintf(line, sizeof line, "Data1 : %d, dwdata: %d, pFile: %d\n",
                  static_cast<int>(reinterpret_cast<intptr_t>(region)), static_cast<int>(bytes),
                  static_cast<int>(reinterpret_cast<intptr_t>(file)));
    OutputDebugLine(line);
}

}  // namespace

bool CSound::Init(IWindow*, ISoundSystem* system)
{
    m_pDS = system;
    return m_pDS != nullptr;
}

bool CSound::LoadWav(const char* path, int index)
{
    if (m_pDS == nullptr || !IsSlot(index)) return false;
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    std::FILE* const file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
        return false;
    }
    const bool loaded = LoadOpenWav(file, index);
    std::fclose(file);
    return loaded;
}

bool CSound::LoadOpenWav(std::FILE* file, int index)
{
    WavHeader wav;
    if (!ReadWavHeader(file, &wav) || wav.channels == 0) return false;
    if (!CreateBuffer(index, wav.dataBytes, wav.samplesPerSec, wav.bitsPerSample,
                      wav.blockAlign, wav.channels > 1)) {
        return false;
    }
    if (FillBuffer(m_pBuffers[index], file, wav.dataBytes, wav.dataOffset)) return true;
    // A partly filled buffer would play noise; the slot stays empty instead.
    ReleaseSlot(index);
    return false;
}

bool CSound::CreateBuffer(int index, uint32_t dataBytes, uint32_t samplesPerSec,
                          uint16_t bitsPerSample, uint16_t blockAlign, bool stereo)
{
    if (m_pDS == nullptr || !IsSlot(index)) return false;
    ReleaseSlot(index);
    if ((bitsPerSample != 8 && bitsPerSample != 16) || blockAlign == 0) return false;
    PCMWAVEFORMAT format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = stereo ? 2 : 1;
    format.nSamplesPerSec = samplesPerSec;
    format.nAvgBytesPerSec = samplesPerSec * blockAlign;
    format.nBlockAlign = blockAlign;
    format.wBitsPerSample = bitsPerSample;
    ISoundBuffer* buffer = nullptr;
    if (Failed(m_pDS->CreateSoundBuffer(format, dataBytes, &buffer))) return false;
    m_pBuffers[index] = buffer;
    return true;
}

bool CSound::FillBuffer(ISoundBuffer* buffer, std::FILE* file, uint32_t bytes, long offset)
{
    if (offset != -1 && std::fseek(file, offset, SEEK_SET) != 0) return false;
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (Failed(buffer->Lock(0, bytes, &region1, &bytes1, &region2, &bytes2,
                            DSBLOCK_FROMWRITECURSOR))) {
        return false;
    }
    bool read = true;
    if (bytes1 != 0 && std::fread(region1, bytes1, 1, file) != 1) {
        ReportShortRead(region1, bytes1, file);
        read = false;
    } else if (bytes2 != 0 && std::fread(region2, bytes2, 1, file) != 1) {
        read = false;
    }
    // Unlocked even after a failed read, so the buffer is never left locked.
    const HRESULT unlocked = buffer->Unlock(region1, bytes1, region2, bytes2);
    return read && Succeeded(unlocked);
}

bool CSound::Play(uint32_t index, uint32_t flags)
{
    if (index >= kSoundSlots) return false;
    ISoundBuffer* const buffer = m_pBuffers[index];
    if (buffer == nullptr) return true;
    uint32_t status = 0;
    buffer->GetStatus(&status);
    if (status & DSBSTATUS_PLAYING) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
    }
    buffer->Play(0, 0, flags);
    return true;
}

void CSound::ReleaseAll()
{
    for (int index = 0; index < kSoundSlots; ++index) ReleaseSlot(index);
    // The application owns the system; letting go of it is all releasing means here.
    m_pDS = nullptr;
}

void CSound::ReleaseSlot(int index)
{
    if (m_pBuffers[index] == nullptr) return;
    m_pBuffers[index]->Release();
    m_pBuffers[index] = nullptr;
}
