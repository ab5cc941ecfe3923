#include "objects/Enemy.h"

#include <cassert>

#include "game/Globals.h"
#include "objects/EnemyShot.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "render/Meshes.h"
#include "sound/Sound.h"

namespace {
constexpr int32_t kPointsPerHit = 500;
constexpr int32_t kCoolDown = 100;
constexpr float kLeaveZ = 1000.0f;

int32_t Turn(int32_t angle, int32_t step)
{
    angle -= step;
    if (angle < 0) angle += 360;
    if (angle >= 360) angle -= 360;
    return angle;
}
}  // namespace

CEnemy::CEnemy(float x, float y, float z, int32_t angleX, int32_t angleY, int32_t stepX, int32_t stepY)
    : CGameObject(g_meshEnemy, {x, y, z}, 1.0f),
      m_nAngleX(angleX), m_nAngleY(angleY), m_nStepX(stepX), m_nStepY(stepY)
{
    assert(angleX >= 0 && angleX < 360 && angleY >= 0 && angleY < 360);
    assert(stepX > -360 && stepX < 360 && stepY > -360 && stepY < 360);
    Update();
}

bool CEnemy::Update()
{
    if (HitsPlayerShot(*this)) {
        Explode();
        return false;
    }
    Rotate(0.0f, 0.05f, 0.0f);
    Move();
    if (m_vPos.z == kLeaveZ) return false;
    if (m_nFireDelay != 0) {
        --m_nFireDelay;
        return true;
    }
    if (IsLinedUp()) Fire();
    return true;
}

void CEnemy::Explode()
{
    if (AddExplosion(new CExplosion(m_vPos.x, m_vPos.y, m_vPos.z))) g_pSound->Play(SND_EXPLO, 0);
    g_nScore += kPointsPerHit;
}

void CEnemy::Move()
{
    m_nAngleX = Turn(m_nAngleX, m_nStepX);
    m_nAngleY = Turn(m_nAngleY, m_nStepY);
    m_vPos.x = static_cast<float>(SinDeg(m_nAngleX) * m_nRadiusX);
    m_vPos.y = static_cast<float>(CosDeg(m_nAngleY) * m_nRadiusY + 220);
    m_vPos.z += 10.0f;
}

bool CEnemy::IsLinedUp() const
{
    const CGameObject* const ship = g_ppPlayer != nullptr ? *g_ppPlayer : nullptr;
    // Exact float equality: both sides come from the same table and formula.
    return ship != nullptr && m_vPos.x == ship->m_vPos.x && m_vPos.y == ship->m_vPos.y;
}

void CEnemy::Fire()
{
    if (!AddEnemyShot(new CEnemyShot(m_vPos.x, m_vPos.y, m_vPos.z))) return;
    g_pSound->Play(SND_BULLET, 0);
    m_nFireDelay = kCoolDown;
}

void CEnemy::Render()
{
    DrawMesh(D3DPT_TRIANGLELIST);
}
