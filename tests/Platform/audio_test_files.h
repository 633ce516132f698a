// Audio files the sound tests build themselves: PCM WAV files with known samples and a tiny
// ProTracker module, so that every expected level and length is known exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 16-bit PCM WAV file; fp_Samples are interleaved in -1..1.
std::string MakeWav(const std::vector<float>& fp_Samples, int fp_iChannels, int fp_iRate);
// fp_iFrames mono frames of the constant value fp_fValue (a DC "square" whose peak is exact).
std::string MakeConstWav(float fp_fValue, int fp_iFrames, int fp_iRate = 44100);
// A mono sine of fp_dFreq Hz.
std::string MakeSineWav(double fp_dFreq, float fp_fAmp, int fp_iFrames, int fp_iRate = 44100);

// A four-channel module with one looped square-wave sample and one pattern: a note on row 0
// and speed 1, so the song lasts 64 ticks (1.28 s) and then ends (or loops).
std::string MakeTinyMod();

// Peak of |x| over the left or right samples of an interleaved stereo buffer.
float PeakLeft(const std::vector<float>& fp_Buffer);
float PeakRight(const std::vector<float>& fp_Buffer);
// Number of stereo frames with any non-zero sample.
int CountSoundingFrames(const std::vector<float>& fp_Buffer);
