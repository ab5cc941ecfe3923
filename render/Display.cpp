#include "render/Display.h"

#include <cmath>

#include "platform/Surface.h"
#include "platform/TextPainter.h"

HRESULT CDisplay::BuildProjectionMatrix(Matrix4* out, float fov, float aspect, float nearZ,
                                        float farZ)
{
    if (std::fabs(double(farZ) - double(nearZ)) < double(0.01f)) return E_INVALIDARG;
    const double s = std::sin(double(fov) / 2.0);
    if (std::fabs(s) < double(0.01f)) return E_INVALIDARG;
    const double k = std::cos(double(fov) / 2.0) / s;
    const double q = double(farZ) / (double(farZ) - double(nearZ));
    *out = MatZero();
    out->m[0][0] = static_cast<float>(aspect * k);
    out->m[1][1] = static_cast<float>(k);
    out->m[2][2] = static_cast<float>(q);
    out->m[2][3] = 1.0f;
    out->m[3][2] = static_cast<float>(-q * nearZ);
    return S_OK;
}

HRESULT CDisplay::PrintText(CSurface* surface, int32_t x, int32_t y, const char* text)
{
    if (surface == nullptr || m_pTextPainter == nullptr) return E_FAIL;
    return m_pTextPainter->TextOut(*surface, x, y, text, 0xFFFFFFu);
}

void CDisplay::BltBitmap(CSurface* source, CSurface* dest, uint32_t flags, int32_t x, int32_t y)
{
    if (source == nullptr || dest == nullptr) return;
    m_rcSource = {0, 0, source->Width(), source->Height()};
    m_hr = dest->BltFast(x, y, *source, m_rcSource, flags);
}
