#pragma once
// An enemy's bullet: spins and flies toward the viewer, 28 units a tick, until it passes
// z = 1000. The ship tests against it; hitting the ship does not use it up.
#include "objects/GameObject.h"

class CEnemyShot : public CGameObject {
public:
    CEnemyShot(float x, float y, float z);
    bool Update() override;
    void Render() override;
};
