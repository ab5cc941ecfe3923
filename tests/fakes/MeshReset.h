#pragma once
// Templates keep plain pointers to materials that the device owns. A test whose device
// goes away empties them, so no later test copies a template with a dangling material.
#include "render/Meshes.h"

inline void ForgetMeshTemplates()
{
    for (MESHTEMPLATE* mesh : {&g_meshTitleShip, &g_meshEnemyShot, &g_meshEnemy, &g_meshExplosion,
                               &g_meshPlayerShip, &g_meshLaser, &g_meshTrack})
        *mesh = MESHTEMPLATE{};
}
