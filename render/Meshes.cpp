#include "render/Meshes.h"

MESHTEMPLATE g_meshTitleShip;
MESHTEMPLATE g_meshEnemyShot;
MESHTEMPLATE g_meshEnemy;
MESHTEMPLATE g_meshExplosion;
MESHTEMPLATE g_meshPlayerShip;
MESHTEMPLATE g_meshLaser;
MESHTEMPLATE g_meshTrack;

void BuildMeshTemplates() {}
