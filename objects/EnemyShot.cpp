#include "objects/EnemyShot.h"

#include "render/Meshes.h"

CEnemyShot::CEnemyShot(float x, float y, float z) : CGameObject(g_meshEnemyShot, {x, y, z}, 0.4f) {}

bool CEnemyShot::Update()
{
    Rotate(0.0f, 0.0f, 0.2f);
    m_vPos.z += 28.0f;
    return m_vPos.z <= 1000.0f;
}

void CEnemyShot::Render()
{
    DrawMesh(D3DPT_TRIANGLELIST);
}
