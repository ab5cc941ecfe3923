#include "objects/PlayerShip.h"

#include "game/Globals.h"
#include "input/Input.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShot.h"
#include "render/Camera.h"
#include "render/Meshes.h"
#include "sound/Sound.h"

namespace {
constexpr int32_t kBankLimit = 48;
constexpr int32_t kDepthLimit = 100;
constexpr int32_t kAngleStep = 2;
constexpr float kDepthStep = 8.0f;
constexpr float kBankTurn = 0.025f;
constexpr float kCameraRoll = 0.005f;
}  // namespace

CPlayerShip::CPlayerShip() : CGameObject(g_meshPlayerShip, {0.0f, 200.0f, 500.0f}, 1.0f)
{
    Update();
}

bool CPlayerShip::Update()
{
    if (IsHit()) {
        Explode();
        return false;
    }
    if (g_dwInput & INPUT_RIGHT) SteerRight();
    if (g_dwInput & INPUT_LEFT) SteerLeft();
    if (g_dwInput & INPUT_UP) SteerUp();
    if (g_dwInput & INPUT_DOWN) SteerDown();
    Fire();
    PlaceOnTube();
    return true;
}

bool CPlayerShip::IsHit()
{
    if (m_nSafeTicks != 0) {
        --m_nSafeTicks;
        return false;
    }
    return HitsEnemyShot(*this) || HitsEnemy(*this);
}

void CPlayerShip::Explode()
{
    // Placed where the ship stood at the end of the previous tick: nothing has moved yet.
    if (AddExplosion(new CExplosion(m_vPos.x, m_vPos.y, m_vPos.z))) g_pSound->Play(SND_EXPLO, 0);
    if (g_nLives != 0) --g_nLives;
}

void CPlayerShip::SteerRight()
{
    if (m_nBank >= kBankLimit) return;
    ++m_nBank;
    m_nAngle += kAngleStep;
    if (m_nAngle >= 360) m_nAngle -= 360;
    m_vRot.z += kBankTurn;
    g_pCamera->m_fRoll -= kCameraRoll;
}

void CPlayerShip::SteerLeft()
{
    if (m_nBank <= -kBankLimit) return;
    --m_nBank;
    m_vRot.z -= kBankTurn;
    m_nAngle -= kAngleStep;
    if (m_nAngle < 0) m_nAngle += 360;
    g_pCamera->m_fRoll += kCameraRoll;
}

void CPlayerShip::SteerUp()
{
    if (m_nDepth >= kDepthLimit) return;
    ++m_nDepth;
    m_vPos.z -= kDepthStep;
    g_pCamera->m_vEye.y += 1.0f;
}

void CPlayerShip::SteerDown()
{
    if (m_nDepth <= 0) return;
    --m_nDepth;
    m_vPos.z += kDepthStep;
    g_pCamera->m_vEye.y -= 1.0f;
}

void CPlayerShip::Fire()
{
    if (!(g_dwInput & INPUT_FIRE)) {
        m_bFireReady = true;
        return;
    }
    if (!m_bFireReady) return;
    m_bFireReady = false;
    if (AddPlayerShot(new CPlayerShot(m_vPos.x, m_vPos.y, m_vPos.z))) g_pSound->Play(SND_LASER, 0);
}

void CPlayerShip::PlaceOnTube()
{
    // Same formula and table as the enemies', so a lined-up enemy compares exactly equal.
    m_vPos.x = static_cast<float>(SinDeg(m_nAngle) * m_nRadiusX);
    m_vPos.y = static_cast<float>(CosDeg(m_nAngle) * m_nRadiusY + 220);
}

void CPlayerShip::Render()
{
    // Blinks in two-tick halves while immune.
    if (m_nSafeTicks & 2) return;
    DrawMesh(D3DPT_TRIANGLELIST);
}
