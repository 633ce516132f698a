// Dynamic lights: channel conversion of lit colours.
#include "CVelora/cvelora_gfx_light.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
TEST(LightColor, ChannelsClampAndRound)
{
    const struct
    {
        float m_fIn;
        uint32_t m_uiOut;
    } kCases[] = {{0.0f, 0},   {-3.0f, 0},    {1.0f, 255}, {7.0f, 255},
                  {0.5f, 128}, {0.498f, 127}, {NAN, 0},    {0.002f, 1}};
    for (const auto& c : kCases)
        EXPECT_EQ(LightChannelByte(c.m_fIn), c.m_uiOut) << c.m_fIn;
    EXPECT_EQ(LightPackColor(1.0f, 0.0f, 0.5f, 0.5f), 0x80FF0080u);
}
} // namespace
