// Arbitrary bytes as the score file: loading, formatting every line, the name round trip
// and an insertion must stay inside the table and never crash.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/Cp1252.h"
#include "game/HighScores.h"

namespace {
char g_folder[] = "/tmp/vantor-hiscore-fuzz-XXXXXX";

void RemoveFolder()
{
    unlink(kHighScoreFile);
    rmdir("data");
    rmdir(g_folder);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (mkdtemp(g_folder) == nullptr || chdir(g_folder) != 0 || mkdir("data", 0755) != 0) std::abort();
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* const file = std::fopen(kHighScoreFile, "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // A short file leaves the rest of the table as the previous input had it, as in the game.
    LoadHighScoresFrom(kHighScoreFile);
    for (int i = 0; i < kHighScores; ++i) {
        const std::string line = FormatHighScoreLine(i);
        if (line.size() > 11 + 3 + 32) std::abort();
        if (Utf8ToCp1252(Cp1252ToUtf8(line)) != line) std::abort();
    }
    // The same bytes as typed text give the name; one byte per character at most.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string name = Utf8ToCp1252(text);
    if (name.size() > text.size()) std::abort();

    int32_t score = 0;
    if (size >= 4) std::memcpy(&score, data, 4);
    HIGHSCORE before[kHighScores];
    std::memcpy(before, g_highScores, sizeof before);
    const bool qualifies = IsHighScore(score);
    InsertHighScore(score, name.c_str());
    if (qualifies == (std::memcmp(before, g_highScores, sizeof before) == 0)) std::abort();
    return 0;
}
