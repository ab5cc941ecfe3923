#include "game/PendingHighScore.h"

#include <cstring>

CPendingHighScore g_pendingHighScore;

void CPendingHighScore::Open(int32_t score)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_bOpen = true;
    m_nScore = score;
    m_szName[0] = '\0';
}

void CPendingHighScore::Type(const char* name)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    std::strncpy(m_szName, name, kHighScoreNameChars);
    m_szName[kHighScoreNameChars] = '\0';
}

bool CPendingHighScore::Confirm()
{
    // Under the lock to the end: a second ending on another thread must wait for the save
    // it would otherwise race, and then find the entry gone.
    const std::lock_guard<std::mutex> hold(m_lock);
    if (!m_bOpen) return false;
    m_bOpen = false;
    InsertHighScore(m_nScore, m_szName);
    SaveHighScores();
    return true;
}

void CPendingHighScore::Cancel()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_bOpen = false;
}

bool CPendingHighScore::IsOpen()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_bOpen;
}
