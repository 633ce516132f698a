// Scene operations: the frame-level calls around the quads (begin, end, clear, submit, present),
// the viewport, the gamma ramp and screenshots. The calls are CVelora members (graphics block);
// this header holds the pieces that need no device: the viewport clamp, the gamma curve and the
// 24-bit BMP writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Clips a viewport to the screen (fp_iScreenW × fp_iScreenH): negative origins shrink the size,
// the far edges are cut at the screen edge, and sizes never go below 0.
void SceneClampViewport(int& fp_iX, int& fp_iY, int& fp_iW, int& fp_iH, int fp_iScreenW,
                        int fp_iScreenH);

// One channel of the gamma ramp for (level, bend): level 1 keeps black and white in place, below
// 1 darkens, above 1 brightens; bend curves the mid-tones (a quadratic Bézier curve).
void SceneMakeGammaRamp(float fp_fLevel, float fp_fBend, uint16_t fp_Ramp[256]);

// Bytes of one BMP pixel row: width × 3 rounded up to a multiple of 4.
uint32_t SceneBMPRowSize(uint32_t fp_uiWidth);

// The whole 24-bit BMP file for a picture given as A8R8G8B8 rows, top row first, fp_iPitch
// bytes apart (each pixel blue, green, red, alpha in memory): headers, then the rows bottom-up
// as blue, green, red, each row padded with zeros.
std::vector<uint8_t> SceneEncodeBMP(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                    const uint8_t* fp_pBits, int fp_iPitch);

// Writes fp_Bytes to fp_strPath (binary, truncating). False when the file cannot be opened.
bool SceneWriteFile(const std::string& fp_strPath, const std::vector<uint8_t>& fp_Bytes);
