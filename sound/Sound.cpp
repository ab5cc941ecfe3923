#include "sound/Sound.h"

#include "platform/DebugOut.h"
#include "platform/SoundSystem.h"

namespace {

struct WavHeader {
    uint16_t channels;
    uint32_t samplesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint32_t dataBytes;
};

uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Only these fields are read; tags and chunk sizes are taken on trust, as files with the
// canonical layout are the only ones the game ships.
WavHeader ParseHeader(const uint8_t* header)
{
    return {Read16(header + 22), Read32(header + 24), Read16(header + 32), Read16(header + 34),
            Read32(header + 40)};
}

// What the file holds from where it stands to its end; 0 when that cannot be told.
uint64_t BytesLeft(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return 0;
    return static_cast<uint64_t>(end - here);
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
    std::FILE* const file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    const bool loaded = LoadOpenWav(file, index);
    std::fclose(file);
    return loaded;
}

bool CSound::LoadOpenWav(std::FILE* file, int index)
{
    uint8_t header[kWavHeaderSize];
    if (std::fread(header, sizeof header, 1, file) != 1) return false;
    const WavHeader wav = ParseHeader(header);
    // The header is untrusted: a size the file cannot fill would otherwise allocate up to
    // 4 GiB before the read fails.
    if (wav.channels == 0 || wav.dataBytes > BytesLeft(file)) return false;
    if (!CreateBuffer(index, wav.dataBytes, wav.samplesPerSec, wav.bitsPerSample,
                      wav.blockAlign, wav.channels > 1)) {
        return false;
    }
    if (FillBuffer(m_pBuffers[index], file, wav.dataBytes, kWavHeaderSize)) return true;
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
