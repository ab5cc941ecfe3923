#pragma once
// The score whose name is being typed, and the name as it stands, kept as plain data
// beside the dialog that edits it. However the game ends with the entry open (the close
// box, a signal, Exit, the display lost under it and exit() called from whichever
// thread), the close path puts it in the table and the file from here, without asking a
// widget for it.
//
// Call order: Open as the entry opens, Type on every edit (window thread); then exactly
// one of Confirm (OK, or the game ending) and Cancel. Confirm and Cancel may come from any
// thread, each once at most: whichever comes first ends the entry, and the other then
// does nothing.
#include <cstdint>
#include <mutex>

#include "game/HighScores.h"

class CPendingHighScore {
public:
    void Open(int32_t score);
    // name: Windows-1252, as InsertHighScore takes it; what the table keeps of it is kept.
    void Type(const char* name);
    // With an entry open: puts it in the table, rewrites the score file and ends it.
    // Returns whether an entry was open.
    bool Confirm();
    void Cancel();
    bool IsOpen();

private:
    std::mutex m_lock;
    bool m_bOpen = false;
    int32_t m_nScore = 0;
    char m_szName[kHighScoreNameChars + 1] = {};
};

extern CPendingHighScore g_pendingHighScore;
