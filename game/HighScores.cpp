#include "game/HighScores.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "game/Game.h"
#include "game/ScoreFile.h"

HIGHSCORE g_highScores[kHighScores] = {};

namespace {

using TableImage = unsigned char[kHighScoreFileSize];

// Through explicit bytes rather than the struct's memory, so the layout holds on any host.
void Encode(TableImage& image)
{
    for (int i = 0; i < kHighScores; ++i) {
        unsigned char* const record = image + i * sizeof(HIGHSCORE);
        const uint32_t score = uint32_t(g_highScores[i].nScore);
        for (int b = 0; b < 4; ++b) record[b] = static_cast<unsigned char>(score >> (8 * b));
        std::memcpy(record + 4, g_highScores[i].szName, sizeof g_highScores[i].szName);
    }
}

void Decode(const TableImage& image)
{
    for (int i = 0; i < kHighScores; ++i) {
        const unsigned char* const record = image + i * sizeof(HIGHSCORE);
        uint32_t score = 0;
        for (int b = 0; b < 4; ++b) score |= uint32_t(record[b]) << (8 * b);
        g_highScores[i].nScore = int32_t(score);
        std::memcpy(g_highScores[i].szName, record + 4, sizeof g_highScores[i].szName);
    }
}

void SetDefaults()
{
    for (HIGHSCORE& entry : g_highScores) {
        entry = HIGHSCORE{};
        std::memcpy(entry.szName, "Zandi", sizeof "Zandi");
    }
}

}  // namespace

void LoadHighScoresFrom(const char* path)
{
    TableImage image;
    // Laid out first, so that a short file overwrites only the bytes it has.
    Encode(image);
    size_t count = 0;
    const ScoreFileRead result = ReadScoreFile(path, image, sizeof image, &count);
    if (result == ScoreFileRead::kRead) {
        Decode(image);
        return;
    }
    SetDefaults();
    if (result != ScoreFileRead::kMissing) return;
    Encode(image);
    ReplaceScoreFile(path, image, sizeof image, false);
}

void CGame::LoadHighScores()
{
    LoadHighScoresFrom(kHighScoreFile);
}

bool IsHighScore(int32_t score)
{
    for (const HIGHSCORE& entry : g_highScores)
        if (entry.nScore < score) return true;
    return false;
}

void InsertHighScore(int32_t score, const char* name)
{
    assert(name != nullptr);
    int i = 0;
    while (i < kHighScores && g_highScores[i].nScore >= score) ++i;
    if (i == kHighScores) return;
    for (int k = kHighScores - 1; k > i; --k) g_highScores[k] = g_highScores[k - 1];
    g_highScores[i].nScore = score;
    const size_t length = strnlen(name, kHighScoreNameChars);
    std::memcpy(g_highScores[i].szName, name, length);
    g_highScores[i].szName[length] = '\0';
}

bool SaveHighScores()
{
    return SaveHighScoresTo(kHighScoreFile);
}

bool SaveHighScoresTo(const char* path)
{
    TableImage image;
    Encode(image);
    return ReplaceScoreFile(path, image, sizeof image, true);
}

std::string FormatHighScoreLine(int i)
{
    assert(i >= 0 && i < kHighScores);
    const HIGHSCORE& entry = g_highScores[i];
    char score[16];
    std::snprintf(score, sizeof score, "%06d", entry.nScore);
    return std::string(score) + "   " + std::string(entry.szName, strnlen(entry.szName, sizeof entry.szName));
}
