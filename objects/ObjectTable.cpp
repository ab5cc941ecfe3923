#include "objects/ObjectTable.h"

#include <cmath>

#include "game/Globals.h"
#include "objects/GameObject.h"

CGameObject* g_objects[kObjectSlots] = {};
CGameObject** g_ppPlayer = nullptr;

namespace {

struct SlotRange {
    int first;
    int last;
};

constexpr SlotRange kScenery{0, 0};
constexpr SlotRange kPlayer{1, 1};
constexpr SlotRange kEnemies{2, 22};
constexpr SlotRange kPlayerShots{23, 26};
constexpr SlotRange kEnemyShots{27, 31};
constexpr SlotRange kExplosions{32, 39};

bool AddToRange(SlotRange range, CGameObject* object)
{
    for (int i = range.first; i <= range.last; ++i) {
        if (g_objects[i] == nullptr) {
            g_objects[i] = object;
            return true;
        }
    }
    delete object;
    return false;
}

bool Touches(const Vector3& o, const Vector3& q)
{
    return o.x <= q.x + 24 && q.x <= o.x + 24 && o.y <= q.y + 24 && q.y <= o.y + 24 &&
           o.z <= q.z + 24 && q.z <= o.z + 24;
}

bool HitsRange(SlotRange range, const CGameObject& o)
{
    for (int i = range.first; i <= range.last; ++i) {
        if (g_objects[i] != nullptr && Touches(o.m_vPos, g_objects[i]->m_vPos)) return true;
    }
    return false;
}

}  // namespace

bool AddScenery(CGameObject* object) { return AddToRange(kScenery, object); }

bool AddPlayer(CGameObject* object)
{
    if (!AddToRange(kPlayer, object)) return false;
    g_ppPlayer = &g_objects[kPlayer.first];
    return true;
}

bool AddEnemy(CGameObject* object) { return AddToRange(kEnemies, object); }
bool AddPlayerShot(CGameObject* object) { return AddToRange(kPlayerShots, object); }
bool AddEnemyShot(CGameObject* object) { return AddToRange(kEnemyShots, object); }
bool AddExplosion(CGameObject* object) { return AddToRange(kExplosions, object); }

bool HitsEnemy(const CGameObject& o) { return HitsRange(kEnemies, o); }
bool HitsPlayerShot(const CGameObject& o) { return HitsRange(kPlayerShots, o); }
bool HitsEnemyShot(const CGameObject& o) { return HitsRange(kEnemyShots, o); }

double SinDeg(int degrees) { return g_sinTable[degrees]; }
double CosDeg(int degrees) { return g_sinTable[degrees + 90]; }

void FillSinTable()
{
    for (int k = 0; k < kSinTableSize; ++k) g_sinTable[k] = std::sin(2.0 * k * 0.008726646259971648);
}
