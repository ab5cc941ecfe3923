// Arbitrary bytes as a sound effect file: loading must never crash, read out of bounds or
// allocate more than the file holds, whatever the header claims.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/null/NullSoundSystem.h"
#include "sound/Sound.h"
#include "tests/fakes/RecordingSoundSystem.h"

namespace {

const std::string& ScratchPath()
{
    static const std::string path = [] {
        std::string made = "/tmp/vantor_wav_fuzzer_" + std::to_string(getpid()) + ".wav";
        std::atexit([] { std::remove(ScratchPath().c_str()); });
        return made;
    }();
    return path;
}

bool WriteScratch(const uint8_t* data, size_t size)
{
    std::FILE* const file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

// Over the recording system: a loaded buffer never holds more than the file's sample
// bytes, which follow at least the RIFF header and the "fmt " and "data" chunk headers.
void LoadRecorded(int index, size_t size)
{
    CRecordingSoundSystem system;
    CSound sound;
    sound.Init(nullptr, &system);
    if (sound.LoadWav(ScratchPath().c_str(), index)) {
        const bool bounded = size >= kWavHeaderSize && system.buffers.size() == 1 &&
                             system.buffers[0]->data.size() <= size - kWavHeaderSize;
        if (!bounded) __builtin_trap();
        sound.Play(static_cast<uint32_t>(index), 0);
        sound.Play(static_cast<uint32_t>(index), 0);
    }
    sound.ReleaseAll();
}

// Over the null system, which refuses what a real device would.
void LoadPlayable(int index)
{
    CNullSoundSystem system;
    CSound sound;
    sound.Init(nullptr, &system);
    if (sound.LoadWav(ScratchPath().c_str(), index)) sound.Play(static_cast<uint32_t>(index), 0);
    sound.ReleaseAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteScratch(data, size)) return 0;
    // The last byte is sample data or padding in most files, so it picks the slot, out of
    // range included.
    const int index = size > 0 ? data[size - 1] % (kSoundSlots + 2) - 1 : 0;
    LoadRecorded(index, size);
    LoadPlayable(index);
    return 0;
}
