#pragma once
// The ten stage scripts: when each enemy of a stage comes and how it wanders over the
// tube's cross-section. Stage n plays script n mod 10.
#include <cstdint>

struct SPAWNENTRY {
    int32_t nTick;    // script-clock value that spawns it; -1 ends the script
    int32_t nAngleX;  // 0..359
    int32_t nAngleY;  // 0..359
    int32_t nStepX;   // degrees subtracted per tick
    int32_t nStepY;
    int32_t nReserved0;  // always 0, never read
    int32_t nReserved1;  // always 1, never read
};

inline constexpr int kStageScripts = 10;
// Each points at its first entry; within a script nTick strictly increases up to the -1.
extern const SPAWNENTRY* const g_stageScripts[kStageScripts];
