// Dynamic lights (see cvelora_gfx_light.h).
#include "CVelora/cvelora_gfx_light.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_ehs.h"

#include <cmath>

namespace
{
constexpr int kFileID = 124;
} // namespace

uint32_t LightChannelByte(float fp_fValue)
{
    if (fp_fValue >= 1.0f)
        return 255;
    if (!(fp_fValue > 0.0f))
        return 0;
    return static_cast<uint32_t>(fp_fValue * 255.0f + 0.5f);
}

uint32_t LightPackColor(float fp_fR, float fp_fG, float fp_fB, float fp_fA)
{
    return LightChannelByte(fp_fA) << 24 | LightChannelByte(fp_fR) << 16 |
           LightChannelByte(fp_fG) << 8 | LightChannelByte(fp_fB);
}

void CVelora::LightSetMode(int fp_iMode)
{
    Checkpoint(kFileID);
    m_iLightMode = fp_iMode;
}

void CVelora::LightApply()
{
    Checkpoint(kFileID);
    switch (m_iLightMode)
    {
    case LIGHTMODE_VERTEX:
        for (int v = 0; v < 4; ++v)
        {
            VLAVERTEX& tmp_Vertex = m_QuadTemplate[v];
            float tmp_Color[3] = {m_fAmbientColor[0], m_fAmbientColor[1], m_fAmbientColor[2]};
            // Point lights in screen space, fading linearly to nothing at their range.
            for (const VLALIGHT* l = m_pLights != nullptr ? m_pLights->GetFirstItem(0) : nullptr;
                 l != nullptr; l = m_pLights->GetNextItem())
            {
                const float dx = tmp_Vertex.m_fX - l->m_Position[0];
                const float dy = tmp_Vertex.m_fY - l->m_Position[1];
                const float dz = tmp_Vertex.m_fZ - l->m_Position[2];
                const float tmp_fDist = std::sqrt(dx * dx + dy * dy + dz * dz);
                if (l->m_fRange <= 0.0f || tmp_fDist >= l->m_fRange)
                    continue;
                const float tmp_fAtten = 1.0f - tmp_fDist / l->m_fRange;
                for (int c = 0; c < 3; ++c)
                    tmp_Color[c] += l->m_Color[c] * tmp_fAtten;
            }
            tmp_Vertex.m_uiDiffuse =
                LightPackColor(tmp_Color[0], tmp_Color[1], tmp_Color[2], m_fQuadAlpha[v]);
        }
        break;
    case LIGHTMODE_DOT3:
    {
        if (!m_VideoCaps.m_bDot3)
            return;
        if (m_pLights == nullptr || m_iDot3Light < 0 || m_iDot3Light >= m_pLights->GetCount() ||
            m_pLights->GetItem(m_iDot3Light) == nullptr)
            ThrowGeneral("Wrong Dot3 light specified!");
        // The direction from each vertex to the light, packed as a colour (0.5 + 0.5 × unit
        // vector), is what a Dot3 stage compares the texture's normals with.
        const VLALIGHT& l = *m_pLights->GetItem(m_iDot3Light);
        for (int v = 0; v < 4; ++v)
        {
            VLAVERTEX& tmp_Vertex = m_QuadTemplate[v];
            float d[3] = {l.m_Position[0] - tmp_Vertex.m_fX, l.m_Position[1] - tmp_Vertex.m_fY,
                          l.m_Position[2] - tmp_Vertex.m_fZ};
            const float tmp_fLen = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            if (tmp_fLen > 0.0f)
                for (float& c : d)
                    c /= tmp_fLen;
            tmp_Vertex.m_uiDiffuse = LightPackColor(0.5f + 0.5f * d[0], 0.5f + 0.5f * d[1],
                                                    0.5f + 0.5f * d[2], m_fQuadAlpha[v]);
        }
        break;
    }
    default:
        break;
    }
}
