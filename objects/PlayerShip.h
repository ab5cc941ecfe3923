#pragma once
// The ship the player steers around the lower half of the tube (slot 1). Sideways input
// moves it 2 degrees a tick along the wall, up and down 8 units in depth; fire launches
// one shot per press. Immune and blinking for its first 63 ticks. Steering also rolls
// and raises the camera, which the play state's next Refresh turns into the view.
#include "objects/GameObject.h"

class CPlayerShip : public CGameObject {
public:
    // Runs one Update, which puts the ship at theta 0, (0, 20, 500), with 63 safe ticks.
    CPlayerShip();
    bool Update() override;
    void Render() override;

    bool m_bFireReady = true;     // fire was seen released since the last shot
    int32_t m_nSafeTicks = 64;    // ticks of immunity left
    int32_t m_nBank = 0;          // -48..48, net sideways steps, positive = right
    int32_t m_nDepth = 0;         // 0..100, net forward steps
    int32_t m_nRadiusX = -240;
    int32_t m_nRadiusY = -200;
    int32_t m_nAngle = 0;         // theta, 0..359

private:
    bool IsHit();
    void Explode();
    void SteerRight();
    void SteerLeft();
    void SteerUp();
    void SteerDown();
    void Fire();
    void PlaceOnTube();
};
