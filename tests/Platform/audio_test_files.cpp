// Audio files the sound tests build themselves (see audio_test_files.h).
#include "audio_test_files.h"

#include <algorithm>
#include <cmath>

namespace
{

void PutU16(std::string& fp_Out, uint32_t fp_uiValue)
{
    fp_Out.push_back(static_cast<char>(fp_uiValue & 0xFF));
    fp_Out.push_back(static_cast<char>((fp_uiValue >> 8) & 0xFF));
}

void PutU32(std::string& fp_Out, uint32_t fp_uiValue)
{
    PutU16(fp_Out, fp_uiValue & 0xFFFF);
    PutU16(fp_Out, fp_uiValue >> 16);
}

void PutU16BE(std::string& fp_Out, uint32_t fp_uiValue)
{
    fp_Out.push_back(static_cast<char>((fp_uiValue >> 8) & 0xFF));
    fp_Out.push_back(static_cast<char>(fp_uiValue & 0xFF));
}

} // namespace

std::string MakeWav(const std::vector<float>& fp_Samples, int fp_iChannels, int fp_iRate)
{
    const uint32_t tmp_uiData = static_cast<uint32_t>(fp_Samples.size() * 2);
    std::string tmp_Out = "RIFF";
    PutU32(tmp_Out, 36 + tmp_uiData);
    tmp_Out += "WAVEfmt ";
    PutU32(tmp_Out, 16);
    PutU16(tmp_Out, 1);
    PutU16(tmp_Out, static_cast<uint32_t>(fp_iChannels));
    PutU32(tmp_Out, static_cast<uint32_t>(fp_iRate));
    PutU32(tmp_Out, static_cast<uint32_t>(fp_iRate * fp_iChannels * 2));
    PutU16(tmp_Out, static_cast<uint32_t>(fp_iChannels * 2));
    PutU16(tmp_Out, 16);
    tmp_Out += "data";
    PutU32(tmp_Out, tmp_uiData);
    for (float tmp_fS : fp_Samples)
    {
        const long tmp_lV = std::lround(std::clamp(tmp_fS, -1.0f, 1.0f) * 32767.0f);
        PutU16(tmp_Out, static_cast<uint32_t>(static_cast<int16_t>(tmp_lV)) & 0xFFFF);
    }
    return tmp_Out;
}

std::string MakeConstWav(float fp_fValue, int fp_iFrames, int fp_iRate)
{
    return MakeWav(std::vector<float>(static_cast<size_t>(fp_iFrames), fp_fValue), 1, fp_iRate);
}

std::string MakeSineWav(double fp_dFreq, float fp_fAmp, int fp_iFrames, int fp_iRate)
{
    std::vector<float> tmp_Samples(static_cast<size_t>(fp_iFrames));
    for (int i = 0; i < fp_iFrames; ++i)
        tmp_Samples[static_cast<size_t>(i)] =
            fp_fAmp * static_cast<float>(std::sin(2.0 * M_PI * fp_dFreq * i / fp_iRate));
    return MakeWav(tmp_Samples, 1, fp_iRate);
}

std::string MakeTinyMod()
{
    std::string tmp_Out(20, '\0');
    tmp_Out.replace(0, 8, "tinymod!");
    const int tmp_iSampleWords = 32;
    for (int s = 0; s < 31; ++s)
    {
        std::string tmp_Header(22, '\0');
        if (s == 0)
        {
            PutU16BE(tmp_Header, tmp_iSampleWords); // length in words
            tmp_Header.push_back(0);                // finetune
            tmp_Header.push_back(64);               // volume
            PutU16BE(tmp_Header, 0);                // loop start
            PutU16BE(tmp_Header, tmp_iSampleWords); // loop length
        }
        else
        {
            PutU16BE(tmp_Header, 0);
            tmp_Header.push_back(0);
            tmp_Header.push_back(0);
            PutU16BE(tmp_Header, 0);
            PutU16BE(tmp_Header, 1);
        }
        tmp_Out += tmp_Header;
    }
    tmp_Out.push_back(1); // song length
    tmp_Out.push_back(0); // restart position
    tmp_Out.push_back(0); // order 0 plays pattern 0
    tmp_Out += std::string(127, '\0');
    tmp_Out += "M.K.";
    std::string tmp_Pattern(64 * 4 * 4, '\0');
    // Row 0, channel 0: sample 1, period 428 (C-2), effect F01 (speed 1 tick per row).
    tmp_Pattern[0] = static_cast<char>((1 & 0xF0) | (428 >> 8));
    tmp_Pattern[1] = static_cast<char>(428 & 0xFF);
    tmp_Pattern[2] = static_cast<char>(((1 & 0x0F) << 4) | 0xF);
    tmp_Pattern[3] = 0x01;
    tmp_Out += tmp_Pattern;
    for (int i = 0; i < tmp_iSampleWords * 2; ++i)
        tmp_Out.push_back(static_cast<char>(i < tmp_iSampleWords ? 100 : -100));
    return tmp_Out;
}

float PeakLeft(const std::vector<float>& fp_Buffer)
{
    float tmp_fPeak = 0.0f;
    for (size_t i = 0; i + 1 < fp_Buffer.size(); i += 2)
        tmp_fPeak = std::max(tmp_fPeak, std::fabs(fp_Buffer[i]));
    return tmp_fPeak;
}

float PeakRight(const std::vector<float>& fp_Buffer)
{
    float tmp_fPeak = 0.0f;
    for (size_t i = 1; i < fp_Buffer.size(); i += 2)
        tmp_fPeak = std::max(tmp_fPeak, std::fabs(fp_Buffer[i]));
    return tmp_fPeak;
}

int CountSoundingFrames(const std::vector<float>& fp_Buffer)
{
    int tmp_iCount = 0;
    for (size_t i = 0; i + 1 < fp_Buffer.size(); i += 2)
        if (fp_Buffer[i] != 0.0f || fp_Buffer[i + 1] != 0.0f)
            ++tmp_iCount;
    return tmp_iCount;
}
