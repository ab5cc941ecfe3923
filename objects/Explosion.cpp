#include "objects/Explosion.h"

#include "render/Meshes.h"

namespace {
constexpr int32_t kLifeMoves = 70;
}

CExplosion::CExplosion(float x, float y, float z) : CGameObject(g_meshExplosion, {x, y, z}, 1.2f) {}

bool CExplosion::Update()
{
    if (m_nAge++ == kLifeMoves) return false;
    Rotate(0.0f, 0.0f, 0.3f);
    m_vPos.z += 20.0f;
    return true;
}

void CExplosion::Render()
{
    DrawMesh(D3DPT_TRIANGLELIST);
}
