#include "render/Meshes.h"

#include <cmath>
#include <iterator>

#include "game/Globals.h"
#include "render/Display.h"

MESHTEMPLATE g_meshTitleShip;
MESHTEMPLATE g_meshEnemyShot;
MESHTEMPLATE g_meshEnemy;
MESHTEMPLATE g_meshExplosion;
MESHTEMPLATE g_meshPlayerShip;
MESHTEMPLATE g_meshLaser;
MESHTEMPLATE g_meshTrack;

float g_trackPositions[kTrackFloats];
uint16_t g_trackIndices[kTrackIndices];

namespace {

// The nose points to -z, the wings span x = +-30 at z = 20, vertex 0 is a fin over the tail.
const float kDartPositions[] = {0, 10, 20, 0, 5, 20, -30, 0, 20, 30, 0, 20, 0, 0, -40};
const uint16_t kDartIndices[] = {4, 3, 1, 2, 4, 1, 0, 1, 3, 2, 1, 0, 3, 4, 0, 4, 2, 0};
// The title ship has tables of its own, though they hold the same dart.
const float kTitleDartPositions[] = {0, 10, 20, 0, 5, 20, -30, 0, 20, 30, 0, 20, 0, 0, -40};
const uint16_t kTitleDartIndices[] = {4, 3, 1, 2, 4, 1, 0, 1, 3, 2, 1, 0, 3, 4, 0, 4, 2, 0};

// Four flat blades meeting at the origin, pointing down, up, right and left.
const float kPinwheelPositions[] = {-10, -20, 0, 10, -20, 0, 0, 0, 0, -10, 20, 0, 10, 20, 0, 0, 0, 0,
                                    20, 10, 0, 20, -10, 0, 0, 0, 0, -20, 10, 0, -20, -10, 0, 0, 0, 0};
const uint16_t kPinwheelIndices[] = {0, 1, 2, 5, 4, 3, 8, 7, 6, 9, 10, 11};

// One separate vertex triple per face, so each face keeps its own normals.
const float kOctahedronPositions[] = {
    0, 20, 0,   -20, 0, 20,  20, 0, 20,    // face 0
    0, 20, 0,   20, 0, -20,  -20, 0, -20,  // face 1
    0, 20, 0,   20, 0, 20,   20, 0, -20,   // face 2
    0, 20, 0,   -20, 0, -20, -20, 0, 20,   // face 3
    0, -20, 0,  -20, 0, 20,  20, 0, 20,    // face 4, drawn 14, 13, 12
    0, -20, 0,  20, 0, -20,  -20, 0, -20,  // face 5
    0, -20, 0,  20, 0, 20,   20, 0, -20,   // face 6
    0, -20, 0,  -20, 0, -20, -20, 0, 20,   // face 7
};
const uint16_t kOctahedronIndices[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                       14, 13, 12, 17, 16, 15, 20, 19, 18, 23, 22, 21};

const float kLaserPositions[] = {0, 0, 20, 0, 0, -20};
const uint16_t kLaserIndices[] = {0, 1};

// Blade centres sit at the origin, where the position gives no direction. They face -z,
// which the warm light reaches, so each pinwheel has a bright heart.
const Vector3 kCentreNormal{0.0f, 0.0f, -1.0f};

void StoreVertices(MESHTEMPLATE& mesh, const float* positions, int32_t floatCount, bool withNormals)
{
    const int32_t n = floatCount / 3;
    for (int32_t i = 0; i < n; ++i) {
        D3DVERTEX& v = mesh.vertices[i];
        v.x = positions[3 * i];
        v.y = positions[3 * i + 1];
        v.z = positions[3 * i + 2];
        if (!withNormals) continue;
        const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        const Vector3 normal = length > 0 ? Vector3{v.x / length, v.y / length, v.z / length} : kCentreNormal;
        v.nx = normal.x;
        v.ny = normal.y;
        v.nz = normal.z;
        v.tu = 0;
        v.tv = 0;
    }
    mesh.nVertices = n;
}

void StoreIndices(MESHTEMPLATE& mesh, const uint16_t* indices, int32_t indexCount)
{
    for (int32_t i = 0; i < indexCount; ++i) mesh.indices[i] = indices[i];
    mesh.nIndices = indexCount;
}

// Vertices, indices and a fresh material whose colours the caller sets.
MESHTEMPLATE NewMesh(const float* positions, int32_t floatCount, const uint16_t* indices,
                     int32_t indexCount, bool withNormals)
{
    MESHTEMPLATE mesh;
    StoreVertices(mesh, positions, floatCount, withNormals);
    StoreIndices(mesh, indices, indexCount);
    if (g_pDisplay != nullptr) g_pDisplay->MakeMaterial(&mesh.pMaterial);
    return mesh;
}

}  // namespace

void BuildMesh(MESHTEMPLATE& mesh, const float* positions, int32_t floatCount,
               const uint16_t* indices, int32_t indexCount, float r, float g, float b)
{
    MESHTEMPLATE built = NewMesh(positions, floatCount, indices, indexCount, true);
    if (built.pMaterial != nullptr) {
        D3DMATERIAL material;
        material.dcvDiffuse = {1, 1, 1, 1};
        material.dcvAmbient = {r, g, b, 1};
        material.dvPower = 1.0f;
        material.dwRampSize = 16;
        built.pMaterial->SetMaterial(material);
    }
    mesh = built;
}

void BuildLineMesh(MESHTEMPLATE& mesh, const float* positions, int32_t floatCount,
                   const uint16_t* indices, int32_t indexCount, float r, float g, float b)
{
    MESHTEMPLATE built = NewMesh(positions, floatCount, indices, indexCount, false);
    if (g_pDisplay != nullptr) g_pDisplay->SetAmbientMaterial(built.pMaterial, r, g, b);
    mesh = built;
}

void BuildTrackGeometry()
{
    static const float kProfileX[kTrackProfilePoints] = {380, 300, 180, 0, -180, -300, -380};
    static const float kProfileY[kTrackProfilePoints] = {240, 0, 0, 0, 0, 0, 240};
    for (int k = 0; k < kTrackSections; ++k) {
        for (int j = 0; j < kTrackProfilePoints; ++j) {
            float* const p = g_trackPositions + 3 * (kTrackProfilePoints * k + j);
            p[0] = kProfileX[j];
            p[1] = kProfileY[j];
            p[2] = -400.0f * float(k);
        }
    }
    int n = 0;
    for (int k = 0; k < kTrackSections; ++k) {
        const int a = kTrackProfilePoints * k;
        for (int j = 0; j < kTrackProfilePoints - 1; ++j) {
            g_trackIndices[n++] = uint16_t(a + j);
            g_trackIndices[n++] = uint16_t(a + j + 1);
        }
    }
    // Only the wall tops and the floor corners run the whole length.
    for (int k = 0; k + 1 < kTrackSections; ++k) {
        const int a = kTrackProfilePoints * k;
        for (const int j : {0, 6, 1, 5}) {
            g_trackIndices[n++] = uint16_t(a + j);
            g_trackIndices[n++] = uint16_t(a + j + kTrackProfilePoints);
        }
    }
}

void BuildMeshTemplates()
{
    BuildTrackGeometry();
    BuildMesh(g_meshTitleShip, kTitleDartPositions, int32_t(std::size(kTitleDartPositions)),
              kTitleDartIndices, int32_t(std::size(kTitleDartIndices)), 0.4f, 0.0f, 0.4f);
    BuildMesh(g_meshEnemyShot, kPinwheelPositions, int32_t(std::size(kPinwheelPositions)),
              kPinwheelIndices, int32_t(std::size(kPinwheelIndices)), 0.0f, 0.4f, 0.6f);
    BuildMesh(g_meshEnemy, kOctahedronPositions, int32_t(std::size(kOctahedronPositions)),
              kOctahedronIndices, int32_t(std::size(kOctahedronIndices)), 0.3f, 0.3f, 0.0f);
    BuildMesh(g_meshExplosion, kPinwheelPositions, int32_t(std::size(kPinwheelPositions)),
              kPinwheelIndices, int32_t(std::size(kPinwheelIndices)), 0.5f, 0.0f, 0.0f);
    BuildMesh(g_meshPlayerShip, kDartPositions, int32_t(std::size(kDartPositions)), kDartIndices,
              int32_t(std::size(kDartIndices)), 0.4f, 0.0f, 0.4f);
    BuildLineMesh(g_meshLaser, kLaserPositions, int32_t(std::size(kLaserPositions)), kLaserIndices,
                  int32_t(std::size(kLaserIndices)), 0.0f, 1.0f, 0.0f);
    BuildLineMesh(g_meshTrack, g_trackPositions, kTrackFloats, g_trackIndices, kTrackIndices, 0.0f,
                  0.0f, 1.0f);
}
