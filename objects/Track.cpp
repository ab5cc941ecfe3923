#include "objects/Track.h"

#include "render/Meshes.h"

namespace {
constexpr int32_t kSectionLength = 400;
constexpr int32_t kScrollStep = 16;
}  // namespace

CTrack::CTrack() : CGameObject(g_meshTrack, {0.0f, 0.0f, 500.0f}, 1.0f) {}

bool CTrack::Update()
{
    m_vPos.z += kScrollStep;
    m_nScroll += kScrollStep;
    if (m_nScroll >= kSectionLength) {
        m_vPos.z -= kSectionLength;
        m_nScroll -= kSectionLength;
    }
    return true;
}

void CTrack::Render()
{
    m_matWorld = MatTranslate(m_vPos);
    DrawWithWorld(D3DPT_LINELIST);
}
