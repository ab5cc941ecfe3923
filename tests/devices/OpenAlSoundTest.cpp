#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/openal/OpenAlSoundSystem.h"
#include "sound/Sound.h"

namespace {

// OpenAL reads its drivers once per process: the silent null device unless told otherwise.
const bool kNullDriver = setenv("ALSOFT_DRIVERS", "null", 0) == 0;

// A mono 16-bit tone of the given length, in a file removed with the object.
class ToneFile {
public:
    explicit ToneFile(double seconds)
    {
        char name[] = "/tmp/vantor_tone_XXXXXX";
        close(mkstemp(name));
        m_path = name;
        const uint32_t rate = 22050, frames = uint32_t(seconds * rate), bytes = frames * 2;
        std::FILE* const file = std::fopen(name, "wb");
        const uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,
                                   0x00010001, rate, rate * 2, 0x00100002, 0x61746164, bytes};
        std::fwrite(header, sizeof header, 1, file);
        for (uint32_t i = 0; i < frames; ++i) {
            const int16_t sample = int16_t(8000 * std::sin(i * 0.06));
            std::fwrite(&sample, sizeof sample, 1, file);
        }
        std::fclose(file);
    }
    ~ToneFile() { std::remove(m_path.c_str()); }
    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

uint32_t PlayCursor(CSound& sound, int index)
{
    uint32_t cursor = 0;
    sound.m_pBuffers[index]->GetCurrentPosition(&cursor, nullptr);
    return cursor;
}

bool IsPlaying(CSound& sound, int index)
{
    uint32_t status = 0;
    sound.m_pBuffers[index]->GetStatus(&status);
    return status & DSBSTATUS_PLAYING;
}

TEST(OpenAlSoundTest, TheGameEffectsLoadAndSoundTogether)
{
    ASSERT_TRUE(kNullDriver);
    const auto system = COpenAlSoundSystem::Create();
    ASSERT_NE(system, nullptr);
    CSound sound;
    ASSERT_TRUE(sound.Init(nullptr, system.get()));
    const char* const files[] = {"data/laser.wav", "data/bullet.wav", "data/explo.wav",
                                 "data/ready.wav", "data/over.wav"};
    for (int index = 0; index < 5; ++index) {
        ASSERT_TRUE(sound.LoadWav(files[index], index)) << files[index];
    }
    for (int index = 0; index < 5; ++index) EXPECT_TRUE(sound.Play(index, 0));
    for (int index = 0; index < 5; ++index) EXPECT_TRUE(IsPlaying(sound, index)) << index;
    sound.ReleaseAll();
}

// Polls for up to 3 s: the null device mixes in real time.
template <typename Done>
bool WaitFor(Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// The real sound system with a tone of a chosen length in one slot.
class OpenAlToneTest : public testing::Test {
protected:
    // One system at a time: each makes its own context current.
    void Load(double seconds, int index, COpenAlIdleDevice::Delays delays = {})
    {
        sound.ReleaseAll();
        system.reset();
        system = COpenAlSoundSystem::Create(delays);
        ASSERT_NE(system, nullptr);
        sound.Init(nullptr, system.get());
        tone = std::make_unique<ToneFile>(seconds);
        ASSERT_TRUE(sound.LoadWav(tone->Path(), index));
    }
    void TearDown() override { sound.ReleaseAll(); }

    std::unique_ptr<COpenAlSoundSystem> system;
    CSound sound;
    std::unique_ptr<ToneFile> tone;
};

// Uploaded samples live only in AL's buffer; the effect still reaches its whole length, and
// a second Lock gets memory of its own, holding silence.
TEST_F(OpenAlToneTest, AnUploadedEffectKeepsItsLengthAndALaterLockGetsSilence)
{
    ASSERT_NO_FATAL_FAILURE(Load(0.5, SND_LASER));
    ISoundBuffer* const buffer = sound.m_pBuffers[SND_LASER];
    EXPECT_EQ(buffer->SetCurrentPosition(22050), DS_OK);
    EXPECT_EQ(buffer->SetCurrentPosition(22051), E_INVALIDARG);
    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    ASSERT_EQ(buffer->Lock(100, 8, &region1, &bytes1, &region2, &bytes2, 0), DS_OK);
    ASSERT_NE(region1, nullptr);
    ASSERT_EQ(bytes1, 8u);
    const uint8_t silence[8] = {};
    EXPECT_EQ(std::memcmp(region1, silence, sizeof silence), 0);
    std::memset(region1, 0x11, bytes1);
    ASSERT_EQ(buffer->Unlock(region1, bytes1, region2, bytes2), DS_OK);
    ASSERT_TRUE(sound.Play(SND_LASER, 0));
    EXPECT_TRUE(IsPlaying(sound, SND_LASER));
}

TEST_F(OpenAlToneTest, TriggeringAnEffectAgainRestartsItFromTheStart)
{
    ASSERT_NO_FATAL_FAILURE(Load(4.0, SND_EXPLO));
    ASSERT_TRUE(sound.Play(SND_EXPLO, 0));
    ASSERT_TRUE(WaitFor([&] { return PlayCursor(sound, SND_EXPLO) >= 11025; }))
        << "the device never advanced";
    const uint32_t before = PlayCursor(sound, SND_EXPLO);
    ASSERT_TRUE(sound.Play(SND_EXPLO, 0));
    EXPECT_LT(PlayCursor(sound, SND_EXPLO), before);
    EXPECT_TRUE(IsPlaying(sound, SND_EXPLO));
}

// The device sleeps through silence; a play wakes it, and the effect sounds to its end.
TEST_F(OpenAlToneTest, AnEffectPlayedAfterTheDeviceSleptSoundsThrough)
{
    ASSERT_NO_FATAL_FAILURE(Load(0.2, SND_LASER));
    ASSERT_TRUE(WaitFor([&] { return !system->IsMixing(); })) << "never paused";
    ASSERT_TRUE(sound.Play(SND_LASER, 0));
    EXPECT_TRUE(system->IsMixing());
    EXPECT_TRUE(WaitFor([&] { return !IsPlaying(sound, SND_LASER); })) << "stuck";
    EXPECT_TRUE(WaitFor([&] { return !system->IsMixing(); })) << "mixes on in silence";
    // Stopped in the middle, an effect keeps its place while the device sleeps.
    ASSERT_TRUE(sound.Play(SND_LASER, 0));
    ASSERT_TRUE(WaitFor([&] { return PlayCursor(sound, SND_LASER) > 0; }));
    sound.m_pBuffers[SND_LASER]->Stop();
    const uint32_t kept = PlayCursor(sound, SND_LASER);
    EXPECT_TRUE(WaitFor([&] { return !system->IsMixing(); }));
    EXPECT_EQ(PlayCursor(sound, SND_LASER), kept);
}

// The context goes in silence, from the start on, and its sources with it; the next play
// makes them again, and an effect stopped half-way goes on from its place to its end.
TEST_F(OpenAlToneTest, AStoppedEffectGoesOnFromItsPlaceAfterItsContextWent)
{
    using namespace std::chrono_literals;
    ASSERT_NO_FATAL_FAILURE(Load(1.0, SND_EXPLO, {100ms, 500ms}));
    EXPECT_TRUE(WaitFor([&] { return !system->HasContext(); })) << "kept on a silent start";
    ASSERT_TRUE(sound.Play(SND_EXPLO, 0));
    ASSERT_TRUE(WaitFor([&] { return PlayCursor(sound, SND_EXPLO) >= 22050; }));
    sound.m_pBuffers[SND_EXPLO]->Stop();
    const uint32_t kept = PlayCursor(sound, SND_EXPLO);
    ASSERT_TRUE(WaitFor([&] { return !system->HasContext(); })) << "kept through a silence";
    EXPECT_EQ(PlayCursor(sound, SND_EXPLO), kept);
    EXPECT_FALSE(IsPlaying(sound, SND_EXPLO));
    ASSERT_TRUE(sound.Play(SND_EXPLO, 0));
    uint32_t resumed = kept;
    ASSERT_TRUE(WaitFor([&] { return (resumed = PlayCursor(sound, SND_EXPLO)) != kept; }));
    EXPECT_GT(resumed, kept) << "not from its place, or without its samples";
    EXPECT_TRUE(WaitFor([&] { return !IsPlaying(sound, SND_EXPLO); })) << "stuck";
}

// With silences as short as the device's own pauses and teardowns, plays land while the
// watcher pauses the device, drops the context (slower while the device still mixes) or
// makes it again: each sounds, whole.
TEST_F(OpenAlToneTest, PlaysWhileTheContextComesAndGoesAreNeitherLostNorStuck)
{
    using namespace std::chrono_literals;
    const COpenAlIdleDevice::Delays pauseFirst{4ms, 12ms}, dropMixing{50ms, 12ms};
    for (const auto& delays : {pauseFirst, dropMixing}) {
        ASSERT_NO_FATAL_FAILURE(Load(0.05, SND_LASER, delays));
        for (int round = 0; round < 20; ++round) {
            std::this_thread::sleep_for(std::chrono::microseconds(round * 3779 % 30000));
            const auto start = std::chrono::steady_clock::now();
            // The second restarts the first, perhaps while its context is being made.
            ASSERT_TRUE(sound.Play(SND_LASER, 0));
            std::this_thread::sleep_for(round % 4 * 1ms);
            ASSERT_TRUE(sound.Play(SND_LASER, 0));
            ASSERT_TRUE(WaitFor([&] { return !IsPlaying(sound, SND_LASER); })) << round;
            EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms) << "lost: " << round;
        }
    }
}

TEST(OpenAlSoundTest, WithoutAnAudioDeviceCreationFailsWithOneDebugLineAndNothingElse)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // An ALSA setup naming a card that does not exist, whose open makes the libraries
    // complain on standard error.
    const auto noDevice = [] {
        const char* const config = "/tmp/vantor_asound_none.conf";
        std::FILE* const file = std::fopen(config, "w");
        std::fputs("pcm.!default { type hw card 99 }\n", file);
        std::fclose(file);
        setenv("ALSOFT_DRIVERS", "alsa", 1);
        setenv("ALSA_CONFIG_PATH", config, 1);
        const bool silent = COpenAlSoundSystem::Create() == nullptr;
        std::remove(config);
        std::exit(silent ? 0 : 1);
    };
    EXPECT_EXIT(noDevice(), testing::ExitedWithCode(0),
                "^sound: no audio device, the game runs silent\n$");
}

}  // namespace
