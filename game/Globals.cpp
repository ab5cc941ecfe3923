#include "game/Globals.h"

CGame* g_pGame = nullptr;
CDisplay* g_pDisplay = nullptr;
IDevice3D* g_pD3DDevice = nullptr;
IViewport3D* g_pViewport = nullptr;
CInput* g_pInput = nullptr;
CSound* g_pSound = nullptr;
CCamera* g_pCamera = nullptr;

std::atomic<int32_t> g_nScore{0};
std::atomic<int32_t> g_nLives{0};
std::atomic<int32_t> g_nStage{0};

double g_sinTable[kSinTableSize] = {};

std::mutex g_lock;
