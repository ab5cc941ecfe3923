#pragma once
// The one enemy kind (slots 2-22). Comes down the tube 10 units a tick while its x and y
// follow two whole-degree angles turning by their own steps; fires when it stands exactly
// at the ship's place, at most once every 101 updates; 500 points when shot.
#include "objects/GameObject.h"

class CEnemy : public CGameObject {
public:
    // angleX, angleY in 0..359; steps strictly between -360 and 360. The x and y given are
    // overwritten at once: the constructor runs one Update.
    CEnemy(float x, float y, float z, int32_t angleX, int32_t angleY, int32_t stepX, int32_t stepY);
    bool Update() override;
    void Render() override;

    int32_t m_nFireDelay = 0;
    int32_t m_nRadiusX = -240;
    int32_t m_nRadiusY = -200;
    int32_t m_nAngleX;  // 0..359
    int32_t m_nAngleY;  // 0..359
    int32_t m_nStepX;   // degrees subtracted per tick
    int32_t m_nStepY;

private:
    void Explode();
    void Move();
    bool IsLinedUp() const;
    void Fire();
};
