#pragma once
// Process-wide game state. Each is defined once, in Globals.cpp.
//
// Threads: the score, lives and stage are written by the timer thread and read by the
// paint on the window thread, so they are atomic. g_lock guards every walk over the
// object table that calls object operations or removes objects, on both threads, and the
// device's view transform.
#include <atomic>
#include <cstdint>
#include <mutex>

class CGame;
class CDisplay;
class CInput;
class CSound;
class CCamera;
class IDevice3D;
class IViewport3D;

extern CGame* g_pGame;
extern CDisplay* g_pDisplay;       // owned by the frame
extern IDevice3D* g_pD3DDevice;    // the display's device
extern IViewport3D* g_pViewport;   // the display's viewport
extern CInput* g_pInput;           // owned by the controller
extern CSound* g_pSound;           // owned by the controller
extern CCamera* g_pCamera;         // owned by the controller

extern std::atomic<int32_t> g_nScore;  // 0.. ; kept after a run until the next starts
extern std::atomic<int32_t> g_nLives;  // 0..3
extern std::atomic<int32_t> g_nStage;  // 0.. ; the HUD shows it plus one

inline constexpr int kSinTableSize = 450;
// Entry k is the sine of k whole degrees; the 90 entries past 359 serve the cosines.
extern double g_sinTable[kSinTableSize];

extern std::mutex g_lock;
