#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "game/Globals.h"
#include "platform/posix/DebugOut.h"
#include "platform/null/NullSoundSystem.h"
#include "sound/Sound.h"
#include "tests/fakes/RecordingSoundSystem.h"

namespace {

struct WavFields {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t blockAlign = 2;
    uint16_t bits = 16;
    uint32_t dataSize = 8;
    uint16_t tag = 1;
};

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(Bytes& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// The 16 bytes of a plain "fmt " chunk's body.
Bytes FmtBody(const WavFields& fields)
{
    Bytes out;
    Put(out, fields.tag, 2);
    Put(out, fields.channels, 2);
    Put(out, fields.rate, 4);
    Put(out, fields.rate * fields.blockAlign, 4);
    Put(out, fields.blockAlign, 2);
    Put(out, fields.bits, 2);
    return out;
}

Bytes Samples(size_t n)
{
    Bytes out;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(i + 1));
    return out;
}

// The canonical header with the given fields, then sampleBytes bytes counting up.
Bytes MakeWav(const WavFields& fields, size_t sampleBytes)
{
    Bytes out{'R', 'I', 'F', 'F'};
    Put(out, 36 + fields.dataSize, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put(out, 16, 4);
    const Bytes fmt = FmtBody(fields);
    out.insert(out.end(), fmt.begin(), fmt.end());
    PutTag(out, "data");
    Put(out, fields.dataSize, 4);
    const Bytes samples = Samples(sampleBytes);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

struct Chunk {
    const char* tag;
    Bytes body;
};

// A WAVE file of these chunks, each followed by the pad byte an odd size needs.
Bytes Riff(const std::vector<Chunk>& chunks)
{
    Bytes out{'R', 'I', 'F', 'F'};
    Put(out, 0, 4);  // never read: streaming writers leave it wrong
    PutTag(out, "WAVE");
    for (const Chunk& chunk : chunks) {
        PutTag(out, chunk.tag);
        Put(out, uint32_t(chunk.body.size()), 4);
        out.insert(out.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() % 2 != 0) out.push_back(0xEE);
    }
    return out;
}

// WAVE_FORMAT_EXTENSIBLE with the given sub-format's first byte (1 is PCM, 3 float).
Bytes ExtensibleFmt(const WavFields& fields, uint8_t subFormat)
{
    WavFields extensible = fields;
    extensible.tag = 0xFFFE;
    Bytes out = FmtBody(extensible);
    Put(out, 22, 2);
    Put(out, fields.bits, 2);
    Put(out, 4, 4);  // front centre
    const uint8_t guid[16] = {subFormat, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    out.insert(out.end(), guid, guid + 16);
    return out;
}

class TempFile {
public:
    explicit TempFile(const Bytes& bytes)
    {
        char name[] = "/tmp/vantor_sound_XXXXXX";
        const int fd = mkstemp(name);
        m_path = name;
        if (fd < 0) return;
        if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) < 0) m_path.clear();
        close(fd);
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

class SoundTest : public testing::Test {
protected:
    SoundTest() { sound.Init(nullptr, &system); }
    ~SoundTest() override { sound.ReleaseAll(); }

    bool Load(const WavFields& fields, size_t sampleBytes, int index = 0)
    {
        return LoadBytes(MakeWav(fields, sampleBytes), index);
    }
    bool LoadBytes(const Bytes& bytes, int index = 0)
    {
        const TempFile file(bytes);
        return sound.LoadWav(file.Path(), index);
    }

    CRecordingSoundSystem system;
    CSound sound;
};

TEST_F(SoundTest, Mono8BitGetsAByteRateEqualToItsSampleRate)
{
    ASSERT_TRUE(Load({1, 11025, 1, 8, 6}, 6));
    ASSERT_EQ(system.buffers.size(), 1u);
    const PCMWAVEFORMAT& format = system.buffers[0]->format;
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 11025u);
    EXPECT_EQ(format.nAvgBytesPerSec, 11025u);
    EXPECT_EQ(format.nBlockAlign, 1);
    EXPECT_EQ(format.wBitsPerSample, 8);
    EXPECT_EQ(system.buffers[0]->data, (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(system.buffers[0]->locked);
    EXPECT_EQ(sound.m_pBuffers[0], system.buffers[0].get());
}

TEST_F(SoundTest, Stereo16BitGetsTwoChannelsAndFourTimesItsSampleRate)
{
    ASSERT_TRUE(Load({2, 44100, 4, 16, 8}, 8, 3));
    const PCMWAVEFORMAT& format = system.buffers[0]->format;
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nAvgBytesPerSec, 4u * 44100u);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(sound.m_pBuffers[3], system.buffers[0].get());
    // More than two channels still becomes a stereo buffer, as the header is read.
    EXPECT_TRUE(Load({6, 44100, 12, 16, 12}, 12, 4));
    EXPECT_EQ(system.buffers[1]->format.nChannels, 2);
}

TEST_F(SoundTest, DataThatTheFileDoesNotHoldFailsBeforeABufferIsMade)
{
    EXPECT_FALSE(Load({1, 22050, 2, 16, 2}, 0)) << "a 44-byte file with a non-zero data size";
    EXPECT_FALSE(Load({1, 22050, 2, 16, 0xFFFFFFF0u}, 64));
    EXPECT_FALSE(Load({1, 22050, 2, 16, 65}, 64));
    EXPECT_TRUE(system.buffers.empty()) << "nothing may be allocated for a lying header";
    EXPECT_EQ(sound.m_pBuffers[0], nullptr);
    EXPECT_TRUE(Load({1, 22050, 2, 16, 64}, 100)) << "trailing bytes after the data are fine";
    EXPECT_EQ(system.buffers[0]->data.size(), 64u);
}

TEST_F(SoundTest, ChunksBeforeBetweenAndAfterFmtAndDataAreSkippedWithTheirPadBytes)
{
    const WavFields mono8{1, 8000, 1, 8, 0};
    const WavFields stereo16{2, 48000, 4, 16, 0};
    const struct {
        const char* layout;
        Bytes file;
        WavFields fields;
        size_t samples;
    } cases[] = {
        {"LIST/INFO of odd size before data",
         Riff({{"fmt ", FmtBody(mono8)}, {"LIST", {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 1, 0, 0, 0, 'x'}},
               {"data", Samples(6)}}),
         mono8, 6},
        {"bext before fmt", Riff({{"bext", Bytes(602, 'b')}, {"fmt ", FmtBody(stereo16)}, {"data", Samples(8)}}),
         stereo16, 8},
        {"fact between", Riff({{"fmt ", FmtBody(mono8)}, {"fact", {5, 0, 0, 0}}, {"data", Samples(5)}}), mono8, 5},
        {"extensible PCM", Riff({{"fmt ", ExtensibleFmt(stereo16, 1)}, {"data", Samples(12)}}), stereo16, 12},
        {"odd data, then its pad and a trailer",
         Riff({{"fmt ", FmtBody(mono8)}, {"data", Samples(7)}, {"id3 ", Bytes(9, 'i')}}), mono8, 7},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(LoadBytes(c.file)) << c.layout;
        const PCMWAVEFORMAT& format = system.buffers.back()->format;
        EXPECT_EQ(format.nChannels, c.fields.channels) << c.layout;
        EXPECT_EQ(format.nSamplesPerSec, c.fields.rate) << c.layout;
        EXPECT_EQ(format.nBlockAlign, c.fields.blockAlign) << c.layout;
        EXPECT_EQ(format.wBitsPerSample, c.fields.bits) << c.layout;
        EXPECT_EQ(system.buffers.back()->data, Samples(c.samples)) << c.layout;
    }
}

TEST_F(SoundTest, FormatsNoBufferCanTakeFailTheLoad)
{
    EXPECT_FALSE(Load({1, 22050, 2, 12, 8}, 8));
    EXPECT_FALSE(Load({1, 22050, 4, 32, 8}, 8));
    EXPECT_FALSE(Load({0, 22050, 2, 16, 8}, 8));
    EXPECT_FALSE(Load({1, 22050, 0, 16, 8}, 8));
    // Only integer PCM plays as it stands: A-law, float and ADPCM would be noise.
    EXPECT_FALSE(Load({1, 8000, 1, 8, 8, 6}, 8));
    EXPECT_FALSE(Load({1, 22050, 2, 16, 8, 0x11}, 8));
    const WavFields fields;
    EXPECT_FALSE(LoadBytes(Riff({{"fmt ", ExtensibleFmt(fields, 3)}, {"data", Samples(8)}})));
    Bytes cut = ExtensibleFmt(fields, 1);
    cut.resize(18);
    EXPECT_FALSE(LoadBytes(Riff({{"fmt ", cut}, {"data", Samples(8)}})));
    // Nor does anything without its RIFF, WAVE, "fmt " and "data" markers.
    Bytes notRiff = MakeWav(fields, 8);
    notRiff[3] = 'X';
    EXPECT_FALSE(LoadBytes(notRiff));
    Bytes notWave = MakeWav(fields, 8);
    notWave[8] = 'A';
    EXPECT_FALSE(LoadBytes(notWave));
    EXPECT_FALSE(LoadBytes(Riff({{"fmt ", FmtBody(fields)}, {"LIST", Samples(8)}})));
    EXPECT_FALSE(LoadBytes(Riff({{"LIST", Samples(4)}, {"data", Samples(8)}})));
    Bytes past = Riff({{"fmt ", FmtBody(fields)}, {"LIST", Bytes(30, 'l')}, {"data", Samples(8)}});
    past.resize(past.size() - 1);
    EXPECT_FALSE(LoadBytes(past)) << "a data chunk reaching past the end";
    EXPECT_TRUE(system.buffers.empty());
}

TEST_F(SoundTest, ShortMissingOrUnopenableFilesFailAndLeaveTheSlotEmpty)
{
    Bytes header = MakeWav({}, 0);
    header.resize(43);
    const TempFile shortFile(header);
    EXPECT_FALSE(sound.LoadWav(shortFile.Path(), 0));
    EXPECT_FALSE(sound.LoadWav("/nonexistent/laser.wav", 0));
    EXPECT_FALSE(sound.LoadWav("/tmp", 0));
    // A named pipe would block the open until a writer came, and the read after it.
    const std::string fifo = std::string(shortFile.Path()) + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    EXPECT_FALSE(sound.LoadWav(fifo.c_str(), 0));
    alarm(0);
    std::remove(fifo.c_str());
    EXPECT_FALSE(Load({}, 8, 16));
    EXPECT_FALSE(Load({}, 8, -1));
    EXPECT_TRUE(system.buffers.empty());
}

TEST_F(SoundTest, AFailedFillLeavesTheSlotEmptyAndTheBufferReleased)
{
    system.lockResult = E_FAIL;
    EXPECT_FALSE(Load({}, 8, 2));
    ASSERT_EQ(system.buffers.size(), 1u);
    EXPECT_TRUE(system.buffers[0]->released);
    EXPECT_EQ(sound.m_pBuffers[2], nullptr);
    EXPECT_TRUE(sound.Play(2, 0));
    EXPECT_EQ(system.PlayCount(0), 0);
}

TEST_F(SoundTest, AShortReadOfTheFirstRegionSaysSoOnceAndUnlocks)
{
    std::vector<std::string> lines;
    SetDebugSink([&lines](const std::string& line) { lines.push_back(line); });
    ASSERT_TRUE(sound.CreateBuffer(0, 16, 22050, 16, 2, false));
    const TempFile file(MakeWav({}, 8));
    std::FILE* const stream = std::fopen(file.Path(), "rb");
    ASSERT_NE(stream, nullptr);
    const bool filled = sound.FillBuffer(sound.m_pBuffers[0], stream, 16, kWavHeaderSize);
    std::fclose(stream);
    SetDebugSink({});
    EXPECT_FALSE(filled);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Data1 : ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(", dwdata: 16, pFile: "), std::string::npos) << lines[0];
    EXPECT_EQ(lines[0].back(), '\n');
    EXPECT_FALSE(system.buffers[0]->locked);
}

TEST_F(SoundTest, ReloadingASlotReleasesTheBufferItHeld)
{
    ASSERT_TRUE(Load({}, 8, 1));
    ASSERT_TRUE(Load({}, 8, 1));
    EXPECT_TRUE(system.buffers[0]->released);
    EXPECT_EQ(sound.m_pBuffers[1], system.buffers[1].get());
}

TEST_F(SoundTest, PlayingRestartsASoundingEffectFromTheStartAndNeverStacksIt)
{
    InstallRecordingSound(system);
    EXPECT_TRUE(g_pSound->Play(SND_LASER, 0));
    system.buffers[SND_LASER]->position = 100;
    EXPECT_TRUE(g_pSound->Play(SND_LASER, 0));
    EXPECT_EQ(system.EventsOf(SND_LASER),
              (std::vector<std::string>{"play", "stop", "rewind", "play"}));
    EXPECT_EQ(system.buffers[SND_LASER]->position, 0u);

    system.buffers[SND_LASER]->Finish();
    EXPECT_TRUE(g_pSound->Play(SND_LASER, 0));
    EXPECT_EQ(system.EventsOf(SND_LASER).back(), "play");
    EXPECT_EQ(system.EventsOf(SND_LASER).size(), 5u) << "a finished effect just plays";

    EXPECT_TRUE(g_pSound->Play(SND_EXPLO, 0));
    EXPECT_EQ(system.PlayCount(SND_LASER), 3);
    EXPECT_EQ(system.PlayCount(SND_EXPLO), 1);
    EXPECT_TRUE(system.buffers[SND_LASER]->playing) << "other effects sound alongside";
    g_pSound->ReleaseAll();
    delete g_pSound;
    g_pSound = nullptr;
}

TEST_F(SoundTest, PlayRefusesIndex16AndIsSilentForAnEmptySlot)
{
    EXPECT_FALSE(sound.Play(16, 0));
    EXPECT_FALSE(sound.Play(0xFFFFFFFFu, 0));
    EXPECT_TRUE(sound.Play(5, 0));
    EXPECT_TRUE(system.events.empty());
}

TEST_F(SoundTest, ReleaseAllReleasesEverySlotInOrderAndLeavesASilentPlayer)
{
    ASSERT_TRUE(Load({}, 8, 4));
    ASSERT_TRUE(Load({}, 8, 0));
    sound.ReleaseAll();
    EXPECT_TRUE(system.buffers[0]->released);
    EXPECT_TRUE(system.buffers[1]->released);
    const std::vector<CRecordingSoundSystem::Event> releases{{1, "release"}, {0, "release"}};
    EXPECT_TRUE(std::equal(releases.begin(), releases.end(), system.events.end() - 2));
    EXPECT_TRUE(sound.Play(4, 0));
    EXPECT_FALSE(Load({}, 8, 0)) << "no system any more";
}

TEST(SoundWithoutSystemTest, EverythingIsSilentAndInitReportsIt)
{
    CSound sound;
    EXPECT_FALSE(sound.Init(nullptr, nullptr));
    EXPECT_FALSE(sound.LoadWav("data/laser.wav", SND_LASER));
    EXPECT_TRUE(sound.Play(SND_LASER, 0));
    EXPECT_FALSE(sound.Play(16, 0));
    sound.ReleaseAll();
}

TEST(GameSoundFilesTest, EachEffectLoadsAsMono16BitPcm)
{
    const char* const files[] = {"data/laser.wav", "data/bullet.wav", "data/explo.wav",
                                 "data/ready.wav", "data/over.wav"};
    CRecordingSoundSystem recording;
    CNullSoundSystem null;
    CSound checked, played;
    checked.Init(nullptr, &recording);
    played.Init(nullptr, &null);
    for (int index = 0; index < 5; ++index) {
        EXPECT_TRUE(checked.LoadWav(files[index], index)) << files[index];
        EXPECT_TRUE(played.LoadWav(files[index], index)) << files[index];
    }
    ASSERT_EQ(recording.buffers.size(), 5u);
    for (const auto& buffer : recording.buffers) {
        EXPECT_EQ(buffer->format.nChannels, 1);
        EXPECT_EQ(buffer->format.wBitsPerSample, 16);
        EXPECT_EQ(buffer->format.nSamplesPerSec, 22050u);
        EXPECT_GT(buffer->data.size(), 2205u) << "at least a tenth of a second";
    }
    checked.ReleaseAll();
    played.ReleaseAll();
}

}  // namespace
