#pragma once
// The five sound effects, one static buffer per slot, played fire-and-forget by index.
//
// Call order: Init (window thread), LoadWav for each effect (window thread), Play from
// the tick (timer thread, one thread at a time), ReleaseAll before deletion.
// Without a sound system every call succeeds silently, except Play's index check.
#include <cstdint>

class IWindow;
class ISoundSystem;

inline constexpr int SND_LASER = 0;
inline constexpr int SND_BULLET = 1;
inline constexpr int SND_EXPLO = 2;
inline constexpr int SND_READY = 3;
inline constexpr int SND_OVER = 4;

class CSound {
public:
    CSound() = default;
    virtual ~CSound() = default;

    bool Init(IWindow* hWnd, ISoundSystem* system);
    bool LoadWav(const char* path, int index);
    bool Play(uint32_t index, uint32_t flags);
    void ReleaseAll();
};
