#pragma once
// What a destroyed enemy or ship leaves behind: spins, drifts toward the viewer and is
// gone after 70 moves. Lives in slots 32-39.
#include "objects/GameObject.h"

class CExplosion : public CGameObject {
public:
    CExplosion(float x, float y, float z);
    bool Update() override;
    void Render() override;

    int32_t m_nAge = 0;  // updates made so far
};
