#include "objects/TitleShip.h"

#include "render/Meshes.h"

CTitleShip::CTitleShip(float x, float y, float z) : CGameObject(g_meshTitleShip, {x, y, z}, 2.0f) {}

bool CTitleShip::Update()
{
    Rotate(0.01f, 0.01f, 0.01f);
    return true;
}

void CTitleShip::Render()
{
    DrawMesh(D3DPT_TRIANGLELIST);
}
