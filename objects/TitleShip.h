#pragma once
// The large ship tumbling above the track on the title screen.
#include "objects/GameObject.h"

class CTitleShip : public CGameObject {
public:
    CTitleShip(float x, float y, float z);
    bool Update() override;
    void Render() override;
};
