// Quad primitive: shaping the quad template (position, rotation, scale, move, texture
// coordinates, colours, fog factor) and batching submitted quads into the locked vertex buffer,
// drawn 500 at a time with the shared index buffer.
#include "CVelora/cvelora.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr int kFileID = 117;

// value x 255 truncated toward zero, low 8 bits kept (values are not clamped).
uint32_t ChannelByte(float fp_fValue)
{
    const float tmp_fScaled = fp_fValue * 255.0f;
    if (tmp_fScaled > -2147483520.0f && tmp_fScaled < 2147483520.0f)
        return static_cast<uint32_t>(static_cast<int32_t>(tmp_fScaled)) & 0xFFu;
    // Beyond 32 bits (or not a number): the low bits of the truncated value, NaN as 0.
    const double tmp_dScaled = std::trunc(static_cast<double>(tmp_fScaled));
    if (!std::isfinite(tmp_dScaled))
        return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(std::fmod(tmp_dScaled, 256.0))) & 0xFFu;
}

uint32_t PackColor(float fp_fR, float fp_fG, float fp_fB, float fp_fA)
{
    return ChannelByte(fp_fA) << 24 | ChannelByte(fp_fR) << 16 | ChannelByte(fp_fG) << 8 |
           ChannelByte(fp_fB);
}

// White with the fog factor of depth z in alpha.
uint32_t FogSpecular(float fp_fZ)
{
    uint32_t tmp_uiFog;
    if (fp_fZ >= 1.0f)
        tmp_uiFog = 255;
    else if (fp_fZ <= 0.0f)
        tmp_uiFog = 0;
    else
        tmp_uiFog = static_cast<uint32_t>(fp_fZ * 255.0f + 0.5f);
    return tmp_uiFog << 24 | 0x00FFFFFFu;
}

void CheckVertex(int fp_iVertex)
{
    if (fp_iVertex < 0 || fp_iVertex > 3)
        ThrowGame("Wrong vertex number: must be 0 to 3");
}
} // namespace

void CVelora::VQuadSetPos(float fp_fX, float fp_fY, float fp_fWidth, float fp_fHeight, float fp_fZ)
{
    const float tmp_fX[4] = {fp_fX, fp_fX + fp_fWidth, fp_fX + fp_fWidth, fp_fX};
    const float tmp_fY[4] = {fp_fY, fp_fY, fp_fY + fp_fHeight, fp_fY + fp_fHeight};
    for (int i = 0; i < 4; ++i)
    {
        m_QuadTemplate[i].m_fX = tmp_fX[i];
        m_QuadTemplate[i].m_fY = tmp_fY[i];
        m_QuadTemplate[i].m_fZ = fp_fZ;
        if (m_bFogOn)
            m_QuadTemplate[i].m_uiSpecular = FogSpecular(fp_fZ);
    }
}

void CVelora::VQuadSetPosByVertex(int fp_iVertex, float fp_fX, float fp_fY, float fp_fZ)
{
    CheckVertex(fp_iVertex);
    VLAVERTEX& v = m_QuadTemplate[fp_iVertex];
    v.m_fX = fp_fX;
    v.m_fY = fp_fY;
    v.m_fZ = fp_fZ;
    if (m_bFogOn)
        v.m_uiSpecular = FogSpecular(fp_fZ);
}

void CVelora::VQuadRotate(float fp_fCX, float fp_fCY, float fp_fAngle)
{
    const float tmp_fA = fp_fAngle * 0.017453292f;
    const float tmp_fCos = std::cos(tmp_fA), tmp_fSin = std::sin(tmp_fA);
    for (VLAVERTEX& v : m_QuadTemplate)
    {
        const float tmp_fDX = v.m_fX - fp_fCX, tmp_fDY = v.m_fY - fp_fCY;
        v.m_fX = fp_fCX + tmp_fCos * tmp_fDX - tmp_fSin * tmp_fDY;
        v.m_fY = fp_fCY + tmp_fCos * tmp_fDY + tmp_fSin * tmp_fDX;
    }
}

void CVelora::VQuadScale(float fp_fCX, float fp_fCY, float fp_fFactor)
{
    for (VLAVERTEX& v : m_QuadTemplate)
    {
        v.m_fX = fp_fCX + (v.m_fX - fp_fCX) * fp_fFactor;
        v.m_fY = fp_fCY + (v.m_fY - fp_fCY) * fp_fFactor;
    }
}

void CVelora::VQuadMove(float fp_fDX, float fp_fDY, float fp_fDZ)
{
    for (VLAVERTEX& v : m_QuadTemplate)
    {
        v.m_fX += fp_fDX;
        v.m_fY += fp_fDY;
        v.m_fZ += fp_fDZ;
        // Keeps the fog factor consistent with the depth, as positioning does.
        if (m_bFogOn)
            v.m_uiSpecular = FogSpecular(v.m_fZ);
    }
}

void CVelora::VQuadSetTexCoords(int fp_iSet, float fp_fULeft, float fp_fVTop, float fp_fURight,
                                float fp_fVBottom)
{
    if (fp_iSet != 1 && fp_iSet != 2)
        ThrowGame("Wrong texture coordinates set number: must be 1 or 2");
    const float tmp_fU[4] = {fp_fULeft, fp_fURight, fp_fURight, fp_fULeft};
    const float tmp_fV[4] = {fp_fVTop, fp_fVTop, fp_fVBottom, fp_fVBottom};
    for (int i = 0; i < 4; ++i)
    {
        if (fp_iSet == 1)
        {
            m_QuadTemplate[i].m_fTU1 = tmp_fU[i];
            m_QuadTemplate[i].m_fTV1 = tmp_fV[i];
        }
        else
        {
            m_QuadTemplate[i].m_fTU2 = tmp_fU[i];
            m_QuadTemplate[i].m_fTV2 = tmp_fV[i];
        }
    }
}

void CVelora::VQuadSetColor(float fp_fR, float fp_fG, float fp_fB, float fp_fA)
{
    const uint32_t tmp_uiColor = PackColor(fp_fR, fp_fG, fp_fB, fp_fA);
    for (int i = 0; i < 4; ++i)
    {
        m_QuadTemplate[i].m_uiDiffuse = tmp_uiColor;
        m_fQuadAlpha[i] = fp_fA;
    }
}

void CVelora::VQuadSetColorByVertex(int fp_iVertex, float fp_fR, float fp_fG, float fp_fB,
                                    float fp_fA)
{
    CheckVertex(fp_iVertex);
    m_QuadTemplate[fp_iVertex].m_uiDiffuse = PackColor(fp_fR, fp_fG, fp_fB, fp_fA);
    m_fQuadAlpha[fp_iVertex] = fp_fA;
}

void CVelora::VQuadFillIndexBuffer()
{
    Checkpoint(kFileID);
    uint8_t* tmp_pBytes = nullptr;
    if (m_pIB->Lock(0, 0, &tmp_pBytes, 0) != PLAT_OK)
        ThrowGeneral("Cannot lock index buffer!");
    uint16_t* tmp_pIndex = reinterpret_cast<uint16_t*>(tmp_pBytes);
    for (int k = 0; k < kVQuadBatchSize; ++k)
    {
        const uint16_t b = static_cast<uint16_t>(4 * k);
        // top-left, top-right, bottom-right; top-left, bottom-right, bottom-left
        const uint16_t tmp_Quad[6] = {
            b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
            b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3)};
        std::memcpy(tmp_pIndex + 6 * k, tmp_Quad, sizeof(tmp_Quad));
    }
    if (m_pIB->Unlock() != PLAT_OK)
        ThrowGeneral("Cannot unlock index buffer!");
}

namespace
{
void DrawBatch(PlatGfxDevice* fp_pDevice, int fp_iCount)
{
    fp_pDevice->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4 * static_cast<uint32_t>(fp_iCount),
                                     0, 2 * static_cast<uint32_t>(fp_iCount));
}
} // namespace

void CVelora::VQuadBeginBatch()
{
    Checkpoint(kFileID);
    m_iBatchCount = 0;
    uint8_t* tmp_pBytes = nullptr;
    // After a failed reset there is no vertex buffer until the next successful one.
    if (m_pVB == nullptr || m_pVB->Lock(0, 0, &tmp_pBytes, PLATLOCK_DISCARD) != PLAT_OK)
        ThrowGeneral("Cannot lock vertex buffer!");
    m_pBatchData = reinterpret_cast<VLAVERTEX*>(tmp_pBytes);
    if (m_pD3DDevice->SetStreamSource(0, m_pVB, sizeof(VLAVERTEX)) != PLAT_OK)
        ThrowGeneral("Cannot set stream source!");
}

void CVelora::VQuadAddToBatch()
{
    if (m_pBatchData == nullptr)
        return;
    // Shifting by half a pixel maps texel centres onto pixel centres.
    for (VLAVERTEX& v : m_QuadTemplate)
    {
        v.m_fX -= 0.5f;
        v.m_fY -= 0.5f;
    }
    std::memcpy(m_pBatchData + 4 * m_iBatchCount, m_QuadTemplate, sizeof(m_QuadTemplate));
    if (++m_iBatchCount == kVQuadBatchSize)
        VQuadFlushBatch();
}

void CVelora::VQuadFlushBatch()
{
    if (m_iBatchCount == 0 || m_pBatchData == nullptr)
        return;
    Checkpoint(kFileID);
    if (m_pVB->Unlock() != PLAT_OK)
        ThrowGeneral("Cannot unlock vertex buffer!");
    m_pBatchData = nullptr;
    DrawBatch(m_pD3DDevice, m_iBatchCount);
    m_iBatchCount = 0;
    uint8_t* tmp_pBytes = nullptr;
    if (m_pVB->Lock(0, 0, &tmp_pBytes, PLATLOCK_DISCARD) != PLAT_OK)
        ThrowGeneral("Cannot lock vertex buffer!");
    m_pBatchData = reinterpret_cast<VLAVERTEX*>(tmp_pBytes);
}

void CVelora::VQuadEndBatch()
{
    if (m_pBatchData == nullptr)
        return;
    Checkpoint(kFileID);
    m_pBatchData = nullptr;
    if (m_pVB->Unlock() != PLAT_OK)
        ThrowGeneral("Cannot unlock vertex buffer!");
    if (m_iBatchCount > 0)
        DrawBatch(m_pD3DDevice, m_iBatchCount);
    m_iBatchCount = 0;
}

void CVelora::VQuadDropBatch()
{
    if (m_pBatchData == nullptr)
        return;
    m_pVB->Unlock();
    m_pBatchData = nullptr;
    m_iBatchCount = 0;
}
