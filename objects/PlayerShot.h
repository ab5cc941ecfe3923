#pragma once
// The player's laser: flies down the tube, 20 units a tick, until it passes z = -2000.
// It is not used up by a hit; enemies test against it.
#include "objects/GameObject.h"

class CPlayerShot : public CGameObject {
public:
    // The ship's position; the shot starts 80 units ahead of it.
    CPlayerShot(float x, float y, float z);
    bool Update() override;
    void Render() override;
};
