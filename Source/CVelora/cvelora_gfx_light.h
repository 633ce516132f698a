// Dynamic lights: the light record kept in the renderer's light store, and recolouring the quad
// template before it is submitted (vertex mode: the ambient colour with each vertex's alpha;
// Dot3 mode: needs a chosen light). The mode and ambient colour come from the technique applied
// last; LightSetMode and LightApply are CVelora members (graphics block). Nothing in the engine
// adds lights, so the store stays empty and the Dot3 light stays -1.
#pragma once

#include <cstdint>

struct VLALIGHT
{
    float m_Position[3] = {};
    float m_Color[4] = {};
    float m_fRange = 0.0f;
};

// A lit colour channel as a byte: 255 at 1 and above, 0 at 0 and below (and for NaN), otherwise
// value × 255 rounded to nearest.
uint32_t LightChannelByte(float fp_fValue);
// ARGB from lit channels.
uint32_t LightPackColor(float fp_fR, float fp_fG, float fp_fB, float fp_fA);
