// Dynamic lights (see cvelora_gfx_light.h).
#include "CVelora/cvelora_gfx_light.h"

#include "CVelora/cvelora_ehs.h"

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
