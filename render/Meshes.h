#pragma once
// The seven mesh templates every object copies, built once by BuildMeshTemplates after
// the display is up (g_pDisplay makes their materials) and before any object exists;
// nothing changes them afterwards. Each template owns its material, which lives as long
// as the display's device.
#include <cstdint>

#include "render/MeshTemplate.h"

extern MESHTEMPLATE g_meshTitleShip;   // dart, lit
extern MESHTEMPLATE g_meshEnemyShot;   // pinwheel, lit
extern MESHTEMPLATE g_meshEnemy;       // octahedron, lit
extern MESHTEMPLATE g_meshExplosion;   // pinwheel, lit
extern MESHTEMPLATE g_meshPlayerShip;  // dart, lit
extern MESHTEMPLATE g_meshLaser;       // one line
extern MESHTEMPLATE g_meshTrack;       // 236 lines

inline constexpr int kTrackSections = 24;
inline constexpr int kTrackProfilePoints = 7;
inline constexpr int kTrackFloats = kTrackSections * kTrackProfilePoints * 3;  // 504
inline constexpr int kTrackIndices = 472;
extern float g_trackPositions[kTrackFloats];
extern uint16_t g_trackIndices[kTrackIndices];

void BuildMeshTemplates();
void BuildTrackGeometry();
// A lit triangle mesh: floatCount / 3 vertices (trailing floats ignored) whose normals
// point from the model's origin through each vertex, and a material of the given ambient
// colour with white diffuse. Counts are not checked against the capacities.
void BuildMesh(MESHTEMPLATE& mesh, const float* positions, int32_t floatCount,
               const uint16_t* indices, int32_t indexCount, float r, float g, float b);
// The same with positions only and an ambient-only material: the lines show (r, g, b).
void BuildLineMesh(MESHTEMPLATE& mesh, const float* positions, int32_t floatCount,
                   const uint16_t* indices, int32_t indexCount, float r, float g, float b);
