// Quad primitive: the one vertex format, the quad template callers shape and submit, and the
// batch sizes. Shaping and batching are CVelora members (graphics block of cvelora.h).
#pragma once

#include <cstdint>

// Pre-transformed vertex, 40 bytes, in the device's fixed vertex format.
struct VLAVERTEX
{
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f, m_fRHW = 0.0f;
    uint32_t m_uiDiffuse = 0;  // ARGB
    uint32_t m_uiSpecular = 0; // alpha = fog factor when fog is on
    float m_fTU1 = 0.0f, m_fTV1 = 0.0f;
    float m_fTU2 = 0.0f, m_fTV2 = 0.0f;
};
static_assert(sizeof(VLAVERTEX) == 40, "the device reads 40-byte vertices");

inline constexpr int kVQuadBatchSize = 500;                   // quads per draw
inline constexpr int kVQuadIndexCount = kVQuadBatchSize * 6;  // 3000 16-bit indices
inline constexpr int kVQuadVertexCount = kVQuadBatchSize * 4; // 2000 vertices
