#pragma once
// The line-drawn track in slot 0: streams toward the viewer and jumps back one 400-unit
// section every 25 ticks, so it seems to run on without end.
#include "objects/GameObject.h"

class CTrack : public CGameObject {
public:
    CTrack();
    bool Update() override;
    // Translation only: the track is never turned or scaled.
    void Render() override;

    int32_t m_nScroll = 0;  // 0..399, distance since the last jump back
};
