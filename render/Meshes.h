#pragma once
// The seven mesh templates every object copies, built once by BuildMeshTemplates after
// the display is up and before any object exists; nothing changes them afterwards.
#include <cstdint>

#include "render/MeshTemplate.h"

extern MESHTEMPLATE g_meshTitleShip;
extern MESHTEMPLATE g_meshEnemyShot;
extern MESHTEMPLATE g_meshEnemy;
extern MESHTEMPLATE g_meshExplosion;
extern MESHTEMPLATE g_meshPlayerShip;
extern MESHTEMPLATE g_meshLaser;
extern MESHTEMPLATE g_meshTrack;

void BuildMeshTemplates();
