#include "game/HighScores.h"

#include "game/Game.h"

HIGHSCORE g_highScores[kHighScores] = {};

void CGame::LoadHighScores() {}
