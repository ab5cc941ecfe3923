#include "objects/PlayerShot.h"

#include "render/Meshes.h"

CPlayerShot::CPlayerShot(float x, float y, float z) : CGameObject(g_meshLaser, {x, y, z - 80.0f}, 1.0f) {}

bool CPlayerShot::Update()
{
    m_vPos.z -= 20.0f;
    return m_vPos.z >= -2000.0f;
}

void CPlayerShot::Render()
{
    DrawMesh(D3DPT_LINELIST);
}
