#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/Cp1252.h"
#include "game/HighScores.h"
#include "tests/fakes/GameHarness.h"
#include "tests/fakes/ScratchFolder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Record(int32_t score, const std::string& name)
{
    Bytes record(36, 0);
    for (int b = 0; b < 4; ++b) record[b] = static_cast<unsigned char>(uint32_t(score) >> (8 * b));
    std::memcpy(record.data() + 4, name.data(), name.size());
    return record;
}

std::string Name(int i)
{
    return std::string(g_highScores[i].szName, strnlen(g_highScores[i].szName, 32));
}

// Entry i scores 1600 - 100 i and is named "E<i>".
void FillDescending()
{
    for (int i = 0; i < kHighScores; ++i) {
        g_highScores[i] = HIGHSCORE{1600 - 100 * i, {}};
        std::snprintf(g_highScores[i].szName, 32, "E%d", i);
    }
}

// Runs body in a child process, after prepare and, with drop set and when started as
// root, after dropping to the unprivileged user "nobody", for whom file modes really
// apply; nobody then also belongs to group 100 ("users"). Returns what prepare or body
// reported; empty means every check in it held.
std::string RunInChild(const std::function<std::string()>& prepare, const std::function<std::string()>& body,
                       bool drop)
{
    int channel[2];
    if (pipe(channel) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const gid_t users = 100;
        std::string report = prepare();
        if (report.empty() && drop && geteuid() == 0 &&
            (setgroups(1, &users) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            report = "could not drop to nobody";
        if (report.empty()) report = body();
        const ssize_t written = write(channel[1], report.data(), report.size());
        _exit(written == ssize_t(report.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, size_t(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) report += " (child failed)";
    return report;
}

std::string RunUnprivileged(const std::function<std::string()>& body)
{
    return RunInChild([] { return std::string(); }, body, true);
}

// Whether some mount would pass new mounts beneath it on to other mount namespaces.
bool AnyMountShared()
{
    std::FILE* const mounts = std::fopen("/proc/self/mountinfo", "r");
    if (mounts == nullptr) return true;
    char line[4096];
    bool shared = false;
    while (!shared && std::fgets(line, sizeof line, mounts) != nullptr) shared = std::strstr(line, " shared:") != nullptr;
    std::fclose(mounts);
    return shared;
}

// A data folder on a file system of its own, in a mount namespace of the child's: 64 KiB
// of tmpfs, filled up once hi.sav is there. "skip: ..." where the test may not mount.
// Inside a chroot "/" is no mount point and cannot be made private; where no mount is
// shared, the tmpfs stays in the child's namespace all the same.
std::string FillTheDisk()
{
    const bool isolated = unshare(CLONE_NEWNS) == 0 &&
                          (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 || !AnyMountShared());
    if (!isolated || mount("scores", "data", "tmpfs", 0, "size=64k") != 0)
        return std::string("skip: no tmpfs of its own here (") + std::strerror(errno) + ")";
    LoadHighScoresFrom(kHighScoreFile);
    const int filler = open("data/filler", O_WRONLY | O_CREAT, 0600);
    const std::vector<char> block(4096, 'x');
    while (write(filler, block.data(), block.size()) > 0) {
    }
    close(filler);
    return errno == ENOSPC ? std::string() : std::string("the disk did not fill up");
}

class HighScoresTest : public ::testing::Test {
protected:
    HighScoresTest() { std::memset(g_highScores, 0, sizeof g_highScores); }

    CScratchFolder folder;
};

TEST_F(HighScoresTest, FreshInstallCreatesSixteenZandisAtZeroAndZeroNeverQualifies)
{
    LoadHighScoresFrom(kHighScoreFile);
    const Bytes file = CScratchFolder::Read("data/hi.sav");
    ASSERT_EQ(file.size(), 576u);
    for (int i = 0; i < kHighScores; ++i) {
        EXPECT_EQ(Bytes(file.begin() + 36 * i, file.begin() + 36 * (i + 1)), Record(0, "Zandi")) << i;
        EXPECT_EQ(g_highScores[i].nScore, 0);
        EXPECT_EQ(Name(i), "Zandi");
    }
    EXPECT_EQ(CScratchFolder::DataEntries(), std::vector<std::string>{"hi.sav"});
    EXPECT_FALSE(IsHighScore(0));
    EXPECT_TRUE(IsHighScore(1));
}

TEST_F(HighScoresTest, TheControllerLoadsTheTableWhenItIsBuilt)
{
    CGameHarness harness;
    EXPECT_EQ(Name(15), "Zandi");
    EXPECT_EQ(CScratchFolder::Read("data/hi.sav").size(), 576u);
}

TEST_F(HighScoresTest, ATieGoesBelowTheEntriesWithThatScore)
{
    FillDescending();
    InsertHighScore(1600, "Tie");
    EXPECT_EQ(Name(0), "E0");
    EXPECT_EQ(Name(1), "Tie");
    EXPECT_EQ(g_highScores[1].nScore, 1600);
    for (int i = 2; i < kHighScores; ++i) EXPECT_EQ(Name(i), "E" + std::to_string(i - 1));

    FillDescending();
    EXPECT_FALSE(IsHighScore(100));
    InsertHighScore(100, "Equal to the last");
    EXPECT_EQ(Name(15), "E15");
}

TEST_F(HighScoresTest, BeatingOnlyTheLastEntryReplacesItAlone)
{
    FillDescending();
    InsertHighScore(150, "Low");
    for (int i = 0; i < 15; ++i) EXPECT_EQ(Name(i), "E" + std::to_string(i));
    EXPECT_EQ(Name(15), "Low");
    EXPECT_EQ(g_highScores[15].nScore, 150);
}

TEST_F(HighScoresTest, ANewBestMovesTheOthersDownAndDropsTheLast)
{
    FillDescending();
    InsertHighScore(5000, "Best");
    EXPECT_EQ(Name(0), "Best");
    for (int i = 1; i < kHighScores; ++i) {
        EXPECT_EQ(Name(i), "E" + std::to_string(i - 1));
        EXPECT_EQ(g_highScores[i].nScore, 1600 - 100 * (i - 1));
    }
}

TEST_F(HighScoresTest, RecordsAreThirtySixBytesWithALittleEndianScoreAndTheNameAtFour)
{
    LoadHighScoresFrom(kHighScoreFile);
    g_highScores[0] = HIGHSCORE{0x01020304, {}};
    std::memset(g_highScores[0].szName, 'x', 31);
    InsertHighScore(0x7F000001, "ABCDEFGHIJKLMNOP");  // 16 characters
    g_highScores[15].nScore = -2;
    ASSERT_TRUE(SaveHighScores());

    const Bytes file = CScratchFolder::Read("data/hi.sav");
    ASSERT_EQ(file.size(), 576u);
    // The name keeps 15 characters and its NUL; the field's tail keeps its old bytes.
    const Bytes first(file.begin(), file.begin() + 36);
    EXPECT_EQ(first, Record(0x7F000001, std::string("ABCDEFGHIJKLMNO") + '\0' + std::string(15, 'x')));
    EXPECT_EQ(Bytes(file.begin() + 36, file.begin() + 72), Record(0x01020304, std::string(31, 'x')));
    EXPECT_EQ(Bytes(file.begin() + 540, file.end()), Record(-2, "Zandi"));
}

TEST_F(HighScoresTest, AShortFileFillsOnlyTheBytesItHas)
{
    Bytes file = Record(1234, "Ann");
    const Bytes second = Record(777, "Bobby");
    file.insert(file.end(), second.begin(), second.begin() + 7);  // the score and "Bob"
    CScratchFolder::Write("data/hi.sav", file);

    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(g_highScores[0].nScore, 1234);
    EXPECT_EQ(Name(0), "Ann");
    EXPECT_EQ(g_highScores[1].nScore, 777);
    EXPECT_EQ(Name(1), "Bob");
    for (int i = 2; i < kHighScores; ++i) {
        EXPECT_EQ(g_highScores[i].nScore, 0);
        EXPECT_EQ(Name(i), "");
    }
    EXPECT_EQ(CScratchFolder::Read("data/hi.sav"), file);
}

TEST_F(HighScoresTest, ALongFileReadsItsFirstTableAndNamesStopAtTheirField)
{
    Bytes file;
    for (int i = 0; i < kHighScores; ++i) {
        const Bytes record = Record(1000000 + i, i == 3 ? std::string(32, 'N') : "P" + std::to_string(i));
        file.insert(file.end(), record.begin(), record.end());
    }
    file.resize(640, 0xFF);
    CScratchFolder::Write("data/hi.sav", file);

    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(FormatHighScoreLine(3), "1000003   " + std::string(32, 'N'));
    EXPECT_EQ(FormatHighScoreLine(15), "1000015   P15");
    g_highScores[2].nScore = 42;
    EXPECT_EQ(FormatHighScoreLine(2), "000042   P2");
}

TEST_F(HighScoresTest, AFileThatCannotBeWrittenIsReadAndNeverReplaced)
{
    Bytes file;
    for (int i = 0; i < kHighScores; ++i) {
        const Bytes record = Record(900 - i, "Keep" + std::to_string(i));
        file.insert(file.end(), record.begin(), record.end());
    }
    CScratchFolder::Write("data/hi.sav", file);
    // The folder stays writable for the child, so only the file's own mode stands in the way.
    chmod(folder.Path().c_str(), 0755);
    chmod("data", 0777);
    chmod("data/hi.sav", 0444);

    EXPECT_EQ(RunUnprivileged([] {
        LoadHighScoresFrom(kHighScoreFile);
        if (g_highScores[0].nScore != 900 || Name(15) != "Keep15") return std::string("not read");
        InsertHighScore(5000, "New");
        if (SaveHighScores()) return std::string("saved over a read-only file");
        return std::string();
    }), "");

    chmod("data/hi.sav", 0000);
    EXPECT_EQ(RunUnprivileged([] {
        LoadHighScoresFrom(kHighScoreFile);
        return Name(0) == "Zandi" ? std::string() : "table: " + Name(0);
    }), "");

    EXPECT_EQ(CScratchFolder::Read("data/hi.sav"), file);
    EXPECT_EQ(CScratchFolder::DataEntries(), std::vector<std::string>{"hi.sav"});
}

TEST_F(HighScoresTest, AWritableFileInAFolderThatIsNotIsSavedInPlace)
{
    LoadHighScoresFrom(kHighScoreFile);
    chmod(folder.Path().c_str(), 0755);
    chmod("data", 0555);
    chmod("data/hi.sav", 0666);

    EXPECT_EQ(RunUnprivileged([] {
        LoadHighScoresFrom(kHighScoreFile);
        InsertHighScore(700, "Kept");
        return SaveHighScores() ? std::string() : std::string("not saved");
    }), "");

    chmod("data", 0755);
    EXPECT_EQ(CScratchFolder::Read("data/hi.sav").size(), 576u);
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(0), "Kept");
    EXPECT_EQ(g_highScores[0].nScore, 700);
    EXPECT_EQ(CScratchFolder::DataEntries(), std::vector<std::string>{"hi.sav"});
}

TEST_F(HighScoresTest, AFullDiskStillTakesTheNewEntryInPlaceAndKeepsNoTemporary)
{
    const std::string report = RunInChild(FillTheDisk, [] {
        InsertHighScore(800, "Full");
        if (!SaveHighScores()) return std::string("not saved");
        std::memset(g_highScores, 0, sizeof g_highScores);
        LoadHighScoresFrom(kHighScoreFile);
        if (Name(0) != "Full" || g_highScores[0].nScore != 800) return std::string("the entry was lost");
        return CScratchFolder::DataEntries() == std::vector<std::string>{"filler", "hi.sav"}
                   ? std::string()
                   : std::string("a temporary was left behind");
    }, false);
    if (report.rfind("skip: ", 0) == 0) GTEST_SKIP() << report.substr(6);
    EXPECT_EQ(report, "");
}

TEST_F(HighScoresTest, ASharedFileKeepsItsGroupWhenAMemberOfItSavesIt)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to hand the file to another owner and group";
    LoadHighScoresFrom(kHighScoreFile);
    chmod(folder.Path().c_str(), 0755);
    chmod("data", 0777);
    ASSERT_EQ(chown("data/hi.sav", 0, 100), 0);
    chmod("data/hi.sav", 0664);
    EXPECT_EQ(RunUnprivileged([] {
        InsertHighScore(600, "Shared");
        return SaveHighScores() ? std::string() : std::string("not saved");
    }), "");
    struct stat info;
    ASSERT_EQ(stat("data/hi.sav", &info), 0);
    EXPECT_EQ(info.st_gid, 100u) << "the group was lost";
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(0), "Shared");
}

TEST_F(HighScoresTest, ADanglingLinkGetsItsTargetCreatedAndStaysALink)
{
    ASSERT_EQ(symlink("scores/mine.sav", "data/hi.sav"), 0);
    mkdir("data/scores", 0755);
    LoadHighScoresFrom(kHighScoreFile);
    struct stat info;
    ASSERT_EQ(lstat("data/hi.sav", &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(CScratchFolder::Read("data/scores/mine.sav").size(), 576u);

    InsertHighScore(900, "Linked");
    ASSERT_TRUE(SaveHighScores());
    ASSERT_EQ(lstat("data/hi.sav", &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(CScratchFolder::Read("data/scores/mine.sav"), CScratchFolder::Read("data/hi.sav"));
}

TEST_F(HighScoresTest, SomethingElseInPlaceOfTheFileIsLeftAlone)
{
    mkdir("data/hi.sav", 0755);
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(7), "Zandi");
    EXPECT_FALSE(SaveHighScores());
    struct stat info;
    ASSERT_EQ(stat("data/hi.sav", &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(CScratchFolder::DataEntries(), std::vector<std::string>{"hi.sav"});
}

TEST_F(HighScoresTest, SavingNeverCreatesTheFileAndAMissingFolderStaysMissing)
{
    FillDescending();
    EXPECT_FALSE(SaveHighScores());
    EXPECT_TRUE(CScratchFolder::DataEntries().empty());

    rmdir("data");
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(0), "Zandi");
    EXPECT_NE(access("data", F_OK), 0);
}

TEST_F(HighScoresTest, ASaveKeepsTheModeAndClearsTemporariesOfDeadWriters)
{
    LoadHighScoresFrom(kHighScoreFile);
    chmod("data/hi.sav", 0640);
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    CScratchFolder::Write(("data/hi.sav." + std::to_string(dead) + ".tmp").c_str(), {1, 2, 3});
    CScratchFolder::Write("data/hi.sav.1.tmp", {1, 2, 3});  // pid 1 never dies

    InsertHighScore(300, "Saved");
    ASSERT_TRUE(SaveHighScores());
    struct stat info;
    ASSERT_EQ(stat("data/hi.sav", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(CScratchFolder::DataEntries(), (std::vector<std::string>{"hi.sav", "hi.sav.1.tmp"}));
    std::memset(g_highScores, 0, sizeof g_highScores);
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(0), "Saved");
}

TEST(Cp1252Test, ConvertsBothWaysAndMarksWhatItCannotHold)
{
    EXPECT_EQ(Utf8ToCp1252("Zo\u00EB \u20AC5 \u2018q\u2019 \u0178"), "Zo\xEB \x80" "5 \x91q\x92 \x9F");
    EXPECT_EQ(Utf8ToCp1252("\u65E5\u672C \u03A9 \U0001F600."), "?? ? ?.");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x8A\x9F\xE9\xFF"), "\u20AC\u0160\u0178\u00E9\u00FF");
    // Malformed UTF-8 costs its own bytes only: what follows it survives.
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF" "b"), "??b");
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80" "c"), "???c");
}

TEST(Cp1252Test, EveryByteSurvivesARoundTrip)
{
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, char(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
    }
}

}  // namespace
