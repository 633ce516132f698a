// libFuzzer target for the audio loaders: any bytes, as a file region loaded as a sample, a
// stream and a module, each played for a moment through the mixer. Must never crash or leak.
#include "Platform/plat_audio.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    static const std::string s_strPath = "/tmp/plat_audio_fuzz_" + std::to_string(getpid());
    static bool s_bInit = PlatAudioInit(kPlatAudioNoSoundDevice, 44100, 0, nullptr) != 0;
    if (!s_bInit)
        return 0;
    // One byte of padding before the region, so that offsets are exercised too.
    FILE* tmp_pFile = std::fopen(s_strPath.c_str(), "wb");
    if (tmp_pFile == nullptr)
        return 0;
    std::fputc('x', tmp_pFile);
    std::fwrite(fp_pData, 1, fp_uSize, tmp_pFile);
    std::fclose(tmp_pFile);

    const uint32_t tmp_uiSize = static_cast<uint32_t>(fp_uSize);
    std::vector<float> tmp_Out(2 * 2048);
    if (PlatAudioHandle tmp_h = PlatAudioSampleLoad(s_strPath.c_str(), 1, tmp_uiSize, 2, 0))
    {
        PlatAudioSamplePlayEx(tmp_h, 0, 96000, 100, 0, true);
        PlatAudioRender(tmp_Out.data(), 2048);
        PlatAudioSampleFree(tmp_h);
    }
    if (PlatAudioHandle tmp_h = PlatAudioStreamCreateFile(s_strPath.c_str(), 1, tmp_uiSize, 0))
    {
        PlatAudioStreamPlay(tmp_h, true, kPlatAudioLoop);
        PlatAudioRender(tmp_Out.data(), 2048);
        PlatAudioStreamFree(tmp_h);
    }
    if (PlatAudioHandle tmp_h = PlatAudioMusicLoad(s_strPath.c_str(), 1, tmp_uiSize, 0))
    {
        PlatAudioMusicPlayEx(tmp_h, 0, 0, true);
        PlatAudioRender(tmp_Out.data(), 2048);
        PlatAudioMusicFree(tmp_h);
    }
    return 0;
}
