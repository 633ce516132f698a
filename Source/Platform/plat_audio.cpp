// Audio output: the software mixer, its SDL device, and the decoders behind samples (libsndfile,
// decoded at load), streams (libsndfile, decoded while playing) and modules (libopenmpt).
// Every public call runs on the main thread; the mixer runs on SDL's audio thread. All mixer
// state lives in g_Mixer and is touched only under g_Mixer.lock (see the field comments).
#include "Platform/plat_audio.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace
{

constexpr int kChunkFrames = 256;
constexpr int kMinFreq = 100;
constexpr int kMaxFreq = 100000;

// ---- File regions and decoding -------------------------------------------------------------

// A byte range of a file, read through sndfile's virtual I/O.
struct FileRegion
{
    FILE* file = nullptr;
    uint64_t offset = 0;
    uint64_t length = 0;
    uint64_t pos = 0;

    FileRegion() = default;
    FileRegion(const FileRegion&) = delete;
    FileRegion& operator=(const FileRegion&) = delete;
    ~FileRegion()
    {
        if (file != nullptr)
            fclose(file);
    }
};

// Opens [offset, offset + length) of the file (length 0: to its end). False when the file
// cannot be opened or the region does not lie inside it.
bool OpenRegion(const char* fp_pszFile, uint64_t fp_uiOffset, uint32_t fp_uiLength,
                FileRegion& fp_Region)
{
    if (fp_pszFile == nullptr)
        return false;
    fp_Region.file = fopen(fp_pszFile, "rb");
    if (fp_Region.file == nullptr)
        return false;
    if (fseeko(fp_Region.file, 0, SEEK_END) != 0)
        return false;
    const off_t tmp_Size = ftello(fp_Region.file);
    if (tmp_Size < 0 || fp_uiOffset > static_cast<uint64_t>(tmp_Size))
        return false;
    const uint64_t tmp_uiRest = static_cast<uint64_t>(tmp_Size) - fp_uiOffset;
    if (fp_uiLength > tmp_uiRest)
        return false;
    fp_Region.offset = fp_uiOffset;
    fp_Region.length = fp_uiLength == 0 ? tmp_uiRest : fp_uiLength;
    fp_Region.pos = 0;
    return true;
}

sf_count_t RegionGetLength(void* fp_pUser)
{
    return static_cast<FileRegion*>(fp_pUser)->length;
}

sf_count_t RegionSeek(sf_count_t fp_Offset, int fp_iWhence, void* fp_pUser)
{
    auto* tmp_pRegion = static_cast<FileRegion*>(fp_pUser);
    sf_count_t tmp_Base = 0;
    if (fp_iWhence == SEEK_CUR)
        tmp_Base = static_cast<sf_count_t>(tmp_pRegion->pos);
    else if (fp_iWhence == SEEK_END)
        tmp_Base = static_cast<sf_count_t>(tmp_pRegion->length);
    const sf_count_t tmp_New = tmp_Base + fp_Offset;
    if (tmp_New < 0)
        return -1;
    tmp_pRegion->pos = static_cast<uint64_t>(tmp_New);
    return tmp_New;
}

sf_count_t RegionRead(void* fp_pDst, sf_count_t fp_Count, void* fp_pUser)
{
    auto* tmp_pRegion = static_cast<FileRegion*>(fp_pUser);
    if (fp_Count <= 0 || tmp_pRegion->pos >= tmp_pRegion->length)
        return 0;
    const uint64_t tmp_uiWant =
        std::min<uint64_t>(static_cast<uint64_t>(fp_Count), tmp_pRegion->length - tmp_pRegion->pos);
    if (fseeko(tmp_pRegion->file, static_cast<off_t>(tmp_pRegion->offset + tmp_pRegion->pos),
               SEEK_SET) != 0)
        return 0;
    const size_t tmp_Got = fread(fp_pDst, 1, tmp_uiWant, tmp_pRegion->file);
    tmp_pRegion->pos += tmp_Got;
    return static_cast<sf_count_t>(tmp_Got);
}

sf_count_t RegionWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t RegionTell(void* fp_pUser)
{
    return static_cast<sf_count_t>(static_cast<FileRegion*>(fp_pUser)->pos);
}

SF_VIRTUAL_IO g_RegionIO = {RegionGetLength, RegionSeek, RegionRead, RegionWrite, RegionTell};

// A sound file (WAV, OGG, FLAC, ...) read from a file region, delivered as stereo floats.
class SoundDecoder
{
public:
    SoundDecoder() = default;
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;
    ~SoundDecoder()
    {
        if (m_pFile != nullptr)
            sf_close(m_pFile);
    }

    // Returns PLAT_AUDIO_OK or the error code.
    int Open(const char* fp_pszFile, uint64_t fp_uiOffset, uint32_t fp_uiLength)
    {
        if (!OpenRegion(fp_pszFile, fp_uiOffset, fp_uiLength, m_Region))
            return PLAT_AUDIO_ERR_FILE_OPEN;
        if (IsTruncatedRiff())
            return PLAT_AUDIO_ERR_FORMAT;
        std::memset(&m_Info, 0, sizeof(m_Info));
        m_pFile = sf_open_virtual(&g_RegionIO, SFM_READ, &m_Info, &m_Region);
        if (m_pFile == nullptr || m_Info.channels < 1 || m_Info.samplerate < 1)
            return PLAT_AUDIO_ERR_FORMAT;
        m_Temp.resize(static_cast<size_t>(kChunkFrames) * static_cast<size_t>(m_Info.channels));
        return PLAT_AUDIO_OK;
    }

    int GetRate() const { return m_Info.samplerate; }

    // Reads up to fp_iFrames stereo frames; fewer only at the end of the data (or on a read error).
    int Read(float* fp_pOut, int fp_iFrames)
    {
        int tmp_iDone = 0;
        const int tmp_iChannels = m_Info.channels;
        while (tmp_iDone < fp_iFrames)
        {
            const int tmp_iWant = std::min(kChunkFrames, fp_iFrames - tmp_iDone);
            const sf_count_t tmp_Got = sf_readf_float(m_pFile, m_Temp.data(), tmp_iWant);
            if (tmp_Got <= 0)
                break;
            for (sf_count_t i = 0; i < tmp_Got; ++i)
            {
                const float* tmp_pIn = &m_Temp[static_cast<size_t>(i * tmp_iChannels)];
                float* tmp_pDst = fp_pOut + 2 * (tmp_iDone + i);
                tmp_pDst[0] = tmp_pIn[0];
                tmp_pDst[1] = tmp_iChannels > 1 ? tmp_pIn[1] : tmp_pIn[0];
            }
            tmp_iDone += static_cast<int>(tmp_Got);
        }
        return tmp_iDone;
    }

    bool Rewind() { return sf_seek(m_pFile, 0, SEEK_SET) == 0; }

private:
    // libsndfile plays a WAV cut short as far as it goes; we refuse it, since a cut file is a
    // broken resource. The RIFF header states the file's length; 0 and 0xFFFFFFFF mean a writer
    // that did not know it, and one missing pad byte is tolerated.
    bool IsTruncatedRiff()
    {
        unsigned char tmp_Head[12];
        const sf_count_t tmp_Got = RegionRead(tmp_Head, sizeof(tmp_Head), &m_Region);
        m_Region.pos = 0;
        if (tmp_Got != static_cast<sf_count_t>(sizeof(tmp_Head)) ||
            std::memcmp(tmp_Head, "RIFF", 4) != 0)
            return false;
        const uint64_t tmp_uiStated =
            static_cast<uint64_t>(tmp_Head[4]) | (static_cast<uint64_t>(tmp_Head[5]) << 8) |
            (static_cast<uint64_t>(tmp_Head[6]) << 16) | (static_cast<uint64_t>(tmp_Head[7]) << 24);
        if (tmp_uiStated == 0 || tmp_uiStated == 0xFFFFFFFFu)
            return false;
        return tmp_uiStated + 8 > m_Region.length + 1;
    }

    FileRegion m_Region;
    SNDFILE* m_pFile = nullptr;
    SF_INFO m_Info{};
    std::vector<float> m_Temp;
};

// ---- Channel sources -----------------------------------------------------------------------

class Source
{
public:
    virtual ~Source() = default;
    // Up to fp_iFrames stereo frames; fewer only at the end.
    virtual int Read(float* fp_pOut, int fp_iFrames) = 0;
    // Back to the start for looping; false when the source loops by itself or cannot.
    virtual bool Rewind() = 0;
};

struct SampleData
{
    std::vector<float> frames; // interleaved stereo
    int rate = 44100;
    size_t Count() const { return frames.size() / 2; }
};

class SampleSource : public Source
{
public:
    SampleSource(std::shared_ptr<const SampleData> fp_pData, size_t fp_Start)
        : m_pData(std::move(fp_pData)), m_Pos(std::min(fp_Start, m_pData->Count()))
    {
    }
    int Read(float* fp_pOut, int fp_iFrames) override
    {
        const size_t tmp_Count =
            std::min<size_t>(static_cast<size_t>(fp_iFrames), m_pData->Count() - m_Pos);
        std::memcpy(fp_pOut, m_pData->frames.data() + 2 * m_Pos, tmp_Count * 2 * sizeof(float));
        m_Pos += tmp_Count;
        return static_cast<int>(tmp_Count);
    }
    bool Rewind() override
    {
        m_Pos = 0;
        return true;
    }

private:
    std::shared_ptr<const SampleData> m_pData;
    size_t m_Pos;
};

class StreamSource : public Source
{
public:
    explicit StreamSource(std::unique_ptr<SoundDecoder> fp_pDecoder)
        : m_pDecoder(std::move(fp_pDecoder))
    {
    }
    int Read(float* fp_pOut, int fp_iFrames) override
    {
        return m_pDecoder->Read(fp_pOut, fp_iFrames);
    }
    bool Rewind() override { return m_pDecoder->Rewind(); }

private:
    std::unique_ptr<SoundDecoder> m_pDecoder;
};

class ModuleSource : public Source
{
public:
    ModuleSource(std::vector<char> fp_Bytes, int fp_iRate)
        : m_Bytes(std::move(fp_Bytes)), m_iRate(fp_iRate)
    {
    }
    ~ModuleSource() override { Destroy(); }

    // Creates the module from the kept file bytes; false when libopenmpt rejects them.
    bool Create()
    {
        Destroy();
        int tmp_iError = 0;
        m_pModule = openmpt_module_create_from_memory2(m_Bytes.data(), m_Bytes.size(),
                                                       openmpt_log_func_silent, nullptr, nullptr,
                                                       nullptr, &tmp_iError, nullptr, nullptr);
        return m_pModule != nullptr;
    }
    void SetLoop(bool fp_bLoop) { openmpt_module_set_repeat_count(m_pModule, fp_bLoop ? -1 : 0); }
    void SetOrder(int fp_iOrder) { openmpt_module_set_position_order_row(m_pModule, fp_iOrder, 0); }

    int Read(float* fp_pOut, int fp_iFrames) override
    {
        return static_cast<int>(openmpt_module_read_interleaved_float_stereo(
            m_pModule, m_iRate, static_cast<size_t>(fp_iFrames), fp_pOut));
    }
    // Modules loop inside libopenmpt (repeat count), seamlessly and with their own restart order.
    bool Rewind() override { return false; }

private:
    void Destroy()
    {
        if (m_pModule != nullptr)
            openmpt_module_destroy(m_pModule);
        m_pModule = nullptr;
    }

    std::vector<char> m_Bytes;
    int m_iRate;
    openmpt_module* m_pModule = nullptr;
};

// ---- Channels ------------------------------------------------------------------------------

enum class ChannelKind
{
    Voice,  // one playback of a sample
    Stream, // the stream is its own channel
    Music,  // the module is its own channel
};

struct Slide
{
    bool active = false;
    double from = 0.0;
    double to = 0.0;
    int64_t done = 0;
    int64_t total = 0;

    // Advances one output frame; returns the value to use.
    double Step()
    {
        ++done;
        if (done >= total)
        {
            active = false;
            return to;
        }
        return from + (to - from) * static_cast<double>(done) / static_cast<double>(total);
    }
};

struct Channel
{
    PlatAudioHandle handle = 0;
    ChannelKind kind = ChannelKind::Voice;
    PlatAudioHandle sample = 0; // the owning sample of a voice
    uint64_t serial = 0;        // start order, for taking over the longest-playing voice
    std::unique_ptr<Source> source;
    uint32_t state = kPlatAudioStopped;
    bool loop = false;

    double sourceRate = 44100.0;
    double freq = 44100.0;
    double volume = 100.0;
    double pan = 0.0;
    Slide slideFreq, slideVolume, slidePan;
    bool stopAfterSlide = false; // a slide to volume -2 stops the channel when it ends

    // Resampler: interpolates between cur and next at frac, reading source frames in chunks.
    float cur[2] = {0, 0};
    float next[2] = {0, 0};
    bool curValid = false;
    bool nextValid = false;
    double frac = 0.0;
    float buffer[kChunkFrames * 2];
    int bufferPos = 0;
    int bufferLen = 0;
    bool sourceEnded = false;

    float peakLeft = 0.0f;
    float peakRight = 0.0f;

    bool FetchFrame(float* fp_pFrame)
    {
        if (bufferPos >= bufferLen)
        {
            if (sourceEnded)
                return false;
            bufferPos = 0;
            bufferLen = source->Read(buffer, kChunkFrames);
            if (bufferLen == 0 && loop && source->Rewind())
                bufferLen = source->Read(buffer, kChunkFrames);
            if (bufferLen == 0)
            {
                sourceEnded = true;
                return false;
            }
        }
        fp_pFrame[0] = buffer[2 * bufferPos];
        fp_pFrame[1] = buffer[2 * bufferPos + 1];
        ++bufferPos;
        return true;
    }

    // Begins reading the source afresh (after a restart or a seek of the source).
    void Prime()
    {
        bufferPos = bufferLen = 0;
        sourceEnded = false;
        frac = 0.0;
        curValid = FetchFrame(cur);
        nextValid = curValid && FetchFrame(next);
        if (!nextValid)
            next[0] = next[1] = 0.0f;
    }

    void ClearSlides()
    {
        slideFreq.active = slideVolume.active = slidePan.active = false;
        stopAfterSlide = false;
    }
};

struct Sample
{
    std::shared_ptr<const SampleData> data;
    int maxPlaybacks = 1;
    bool overLongest = false;
};

// ---- The mixer -----------------------------------------------------------------------------

struct Mixer
{
    // The one lock shared with SDL's audio thread. Every field below except errorCode, device
    // and detached is read and written only while it is held. SDL device calls (open, pause,
    // close) are made without it: SDL's own device lock is taken around our callback, and
    // holding ours across those calls could deadlock with it.
    std::mutex lock;

    // Main thread: written by init/free.
    bool initialised = false;
    int rate = 44100;
    SDL_AudioDeviceID device = 0; // main thread only

    // Main thread writes (loads, frees, play calls); the audio thread reads, and ends channels
    // (voices are erased when they finish, streams and modules marked stopped).
    std::map<PlatAudioHandle, Sample> samples;
    std::map<PlatAudioHandle, std::unique_ptr<Channel>> channels;
    PlatAudioHandle nextHandle = 1;
    uint64_t nextSerial = 1;

    // Main thread writes; the audio thread reads.
    double musicGain = 1.0;
    double sampleGain = 1.0;
    double streamGain = 1.0;

    // Audio thread writes (timing of PlatAudioRender); the main thread reads.
    double busySeconds = 0.0;
    int64_t busyFrames = 0;
    float cpuPercent = 0.0f;

    // Main thread only.
    int errorCode = PLAT_AUDIO_OK;
    // Main thread writes; the audio thread reads without the lock.
    std::atomic<bool> detached{false};
};

Mixer g_Mixer;

int Fail(int fp_iCode)
{
    g_Mixer.errorCode = fp_iCode;
    return 0;
}

int Succeed()
{
    g_Mixer.errorCode = PLAT_AUDIO_OK;
    return 1;
}

PlatAudioHandle SucceedHandle(PlatAudioHandle fp_h)
{
    g_Mixer.errorCode = PLAT_AUDIO_OK;
    return fp_h;
}

PlatAudioHandle NewHandle()
{
    PlatAudioHandle tmp_h = g_Mixer.nextHandle++;
    if (g_Mixer.nextHandle == 0)
        g_Mixer.nextHandle = 1;
    return tmp_h;
}

double ClampFreq(int fp_iFreq, double fp_dSourceRate)
{
    if (fp_iFreq == 0)
        return fp_dSourceRate;
    return std::clamp(fp_iFreq, kMinFreq, kMaxFreq);
}

Channel* FindChannel(PlatAudioHandle fp_h)
{
    auto tmp_It = g_Mixer.channels.find(fp_h);
    return tmp_It == g_Mixer.channels.end() ? nullptr : tmp_It->second.get();
}

// The channels a handle names: the channel itself, or every voice of a sample. False when the
// handle names neither.
bool CollectChannels(PlatAudioHandle fp_h, std::vector<Channel*>& fp_Out)
{
    if (Channel* tmp_pChannel = FindChannel(fp_h))
    {
        fp_Out.push_back(tmp_pChannel);
        return true;
    }
    if (g_Mixer.samples.count(fp_h) == 0)
        return false;
    for (auto& [tmp_h, tmp_pChannel] : g_Mixer.channels)
        if (tmp_pChannel->kind == ChannelKind::Voice && tmp_pChannel->sample == fp_h)
            fp_Out.push_back(tmp_pChannel.get());
    return true;
}

// Voices end for good; streams and modules stay loaded and can play again.
void StopChannel(Channel* fp_pChannel)
{
    fp_pChannel->state = kPlatAudioStopped;
    fp_pChannel->ClearSlides();
    fp_pChannel->peakLeft = fp_pChannel->peakRight = 0.0f;
}

void EraseStoppedVoices()
{
    for (auto tmp_It = g_Mixer.channels.begin(); tmp_It != g_Mixer.channels.end();)
    {
        if (tmp_It->second->kind == ChannelKind::Voice &&
            tmp_It->second->state == kPlatAudioStopped)
            tmp_It = g_Mixer.channels.erase(tmp_It);
        else
            ++tmp_It;
    }
}

// Runs fp_Action under the mixer lock on every channel the handle names (a sample's handle names
// all its voices); voices stopped by it are then dropped when fp_bEraseStopped is set.
template <typename Action>
int ApplyToChannels(PlatAudioHandle fp_hChannel, bool fp_bEraseStopped, Action fp_Action)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    std::vector<Channel*> tmp_Channels;
    if (!CollectChannels(fp_hChannel, tmp_Channels))
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    for (Channel* tmp_pChannel : tmp_Channels)
        fp_Action(tmp_pChannel);
    if (fp_bEraseStopped)
        EraseStoppedVoices();
    return Succeed();
}

double ChannelGain(const Channel& fp_Channel)
{
    switch (fp_Channel.kind)
    {
    case ChannelKind::Voice:
        return g_Mixer.sampleGain;
    case ChannelKind::Stream:
        return g_Mixer.streamGain;
    case ChannelKind::Music:
        return g_Mixer.musicGain;
    }
    return 1.0;
}

// Mixes fp_iFrames of one playing channel into fp_pMix and advances it.
void MixChannel(Channel& fp_C, float* fp_pMix, int fp_iFrames)
{
    const double tmp_dOutRate = g_Mixer.rate;
    const double tmp_dGlobal = ChannelGain(fp_C);
    float tmp_fPeakL = 0.0f, tmp_fPeakR = 0.0f;
    for (int i = 0; i < fp_iFrames; ++i)
    {
        if (fp_C.slideFreq.active)
            fp_C.freq = fp_C.slideFreq.Step();
        if (fp_C.slidePan.active)
            fp_C.pan = fp_C.slidePan.Step();
        if (fp_C.slideVolume.active)
        {
            fp_C.volume = fp_C.slideVolume.Step();
            if (!fp_C.slideVolume.active && fp_C.stopAfterSlide)
            {
                StopChannel(&fp_C);
                break;
            }
        }
        if (!fp_C.curValid)
        {
            StopChannel(&fp_C);
            break;
        }
        // Balance panning: the far side is attenuated, the near side stays at full volume.
        const double tmp_dVol = fp_C.volume / 100.0;
        const double tmp_dLeft = tmp_dVol * (fp_C.pan > 0 ? (100.0 - fp_C.pan) / 100.0 : 1.0);
        const double tmp_dRight = tmp_dVol * (fp_C.pan < 0 ? (100.0 + fp_C.pan) / 100.0 : 1.0);
        const float tmp_fF = static_cast<float>(fp_C.frac);
        const float tmp_fL =
            static_cast<float>((fp_C.cur[0] + (fp_C.next[0] - fp_C.cur[0]) * tmp_fF) * tmp_dLeft);
        const float tmp_fR =
            static_cast<float>((fp_C.cur[1] + (fp_C.next[1] - fp_C.cur[1]) * tmp_fF) * tmp_dRight);
        tmp_fPeakL = std::max(tmp_fPeakL, std::fabs(tmp_fL));
        tmp_fPeakR = std::max(tmp_fPeakR, std::fabs(tmp_fR));
        fp_pMix[2 * i] += static_cast<float>(tmp_fL * tmp_dGlobal);
        fp_pMix[2 * i + 1] += static_cast<float>(tmp_fR * tmp_dGlobal);

        fp_C.frac += fp_C.freq / tmp_dOutRate;
        while (fp_C.frac >= 1.0)
        {
            fp_C.frac -= 1.0;
            fp_C.cur[0] = fp_C.next[0];
            fp_C.cur[1] = fp_C.next[1];
            fp_C.curValid = fp_C.nextValid;
            if (!fp_C.curValid)
                break;
            fp_C.nextValid = fp_C.FetchFrame(fp_C.next);
            if (!fp_C.nextValid)
                fp_C.next[0] = fp_C.next[1] = 0.0f;
        }
    }
    fp_C.peakLeft = tmp_fPeakL;
    fp_C.peakRight = tmp_fPeakR;
}

void SDLCALL AudioCallback(void*, Uint8* fp_pStream, int fp_iLen)
{
    const int tmp_iFrames = fp_iLen / static_cast<int>(2 * sizeof(float));
    if (g_Mixer.detached.load())
    {
        std::memset(fp_pStream, 0, static_cast<size_t>(fp_iLen));
        return;
    }
    PlatAudioRender(reinterpret_cast<float*>(fp_pStream), tmp_iFrames);
}

// Decodes a whole file region into memory.
int DecodeSample(const char* fp_pszFile, uint64_t fp_uiOffset, uint32_t fp_uiLength,
                 SampleData& fp_Data)
{
    SoundDecoder tmp_Decoder;
    if (int tmp_iErr = tmp_Decoder.Open(fp_pszFile, fp_uiOffset, fp_uiLength);
        tmp_iErr != PLAT_AUDIO_OK)
        return tmp_iErr;
    fp_Data.rate = tmp_Decoder.GetRate();
    float tmp_Chunk[kChunkFrames * 2];
    for (;;)
    {
        const int tmp_iGot = tmp_Decoder.Read(tmp_Chunk, kChunkFrames);
        if (tmp_iGot == 0)
            break;
        fp_Data.frames.insert(fp_Data.frames.end(), tmp_Chunk, tmp_Chunk + 2 * tmp_iGot);
    }
    // A file with a header and no sound in it is broken, not silent.
    return fp_Data.frames.empty() ? PLAT_AUDIO_ERR_FORMAT : PLAT_AUDIO_OK;
}

bool ReadRegion(const char* fp_pszFile, uint64_t fp_uiOffset, uint32_t fp_uiLength,
                std::vector<char>& fp_Bytes)
{
    FileRegion tmp_Region;
    if (!OpenRegion(fp_pszFile, fp_uiOffset, fp_uiLength, tmp_Region))
        return false;
    fp_Bytes.resize(tmp_Region.length);
    return RegionRead(fp_Bytes.data(), static_cast<sf_count_t>(fp_Bytes.size()), &tmp_Region) ==
           static_cast<sf_count_t>(fp_Bytes.size());
}

} // namespace

// ---- Output --------------------------------------------------------------------------------

int PlatAudioInit(int fp_iDevice, int fp_iRate, uint32_t, PlatWindow*)
{
    if (g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_ALREADY);
    if (fp_iRate < 8000 || fp_iRate > 192000 ||
        (fp_iDevice != kPlatAudioDefaultDevice && fp_iDevice != kPlatAudioNoSoundDevice))
        return Fail(PLAT_AUDIO_ERR_PARAM);
    SDL_AudioDeviceID tmp_Device = 0;
    if (fp_iDevice == kPlatAudioDefaultDevice)
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return Fail(PLAT_AUDIO_ERR_DEVICE);
        SDL_AudioSpec tmp_Want{};
        SDL_AudioSpec tmp_Have{};
        tmp_Want.freq = fp_iRate;
        tmp_Want.format = AUDIO_F32SYS;
        tmp_Want.channels = 2;
        tmp_Want.samples = 1024;
        tmp_Want.callback = AudioCallback;
        // No changes allowed: SDL converts our float stereo to whatever the device takes.
        tmp_Device = SDL_OpenAudioDevice(nullptr, 0, &tmp_Want, &tmp_Have, 0);
        if (tmp_Device == 0)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return Fail(PLAT_AUDIO_ERR_DEVICE);
        }
    }
    {
        std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
        g_Mixer.initialised = true;
        g_Mixer.rate = fp_iRate;
        g_Mixer.musicGain = g_Mixer.sampleGain = g_Mixer.streamGain = 1.0;
        g_Mixer.busySeconds = 0.0;
        g_Mixer.busyFrames = 0;
        g_Mixer.cpuPercent = 0.0f;
    }
    g_Mixer.device = tmp_Device;
    return Succeed();
}

int PlatAudioStart()
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    if (g_Mixer.device != 0)
    {
        SDL_PauseAudioDevice(g_Mixer.device, 0);
        if (SDL_GetAudioDeviceStatus(g_Mixer.device) != SDL_AUDIO_PLAYING)
            return Fail(PLAT_AUDIO_ERR_DEVICE);
    }
    return Succeed();
}

int PlatAudioPause()
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    if (g_Mixer.device != 0)
        SDL_PauseAudioDevice(g_Mixer.device, 1);
    return Succeed();
}

int PlatAudioStop()
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    if (g_Mixer.device != 0)
        SDL_PauseAudioDevice(g_Mixer.device, 1);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    for (auto& [tmp_h, tmp_pChannel] : g_Mixer.channels)
        StopChannel(tmp_pChannel.get());
    EraseStoppedVoices();
    return Succeed();
}

int PlatAudioFree()
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    // Closing waits for the audio thread to leave the callback; our lock must not be held here.
    if (g_Mixer.device != 0)
    {
        SDL_CloseAudioDevice(g_Mixer.device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_Mixer.device = 0;
    }
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    g_Mixer.channels.clear();
    g_Mixer.samples.clear();
    g_Mixer.initialised = false;
    g_Mixer.cpuPercent = 0.0f;
    return Succeed();
}

int PlatAudioErrorGetCode()
{
    return g_Mixer.errorCode;
}

float PlatAudioGetCPU()
{
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    return g_Mixer.cpuPercent;
}

int PlatAudioSetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    auto tmp_Set = [](int fp_iValue, double& fp_dGain)
    {
        if (fp_iValue != -1)
            fp_dGain = std::clamp(fp_iValue, 0, 100) / 100.0;
    };
    tmp_Set(fp_iMusic, g_Mixer.musicGain);
    tmp_Set(fp_iSample, g_Mixer.sampleGain);
    tmp_Set(fp_iStream, g_Mixer.streamGain);
    return Succeed();
}

// ---- Samples -------------------------------------------------------------------------------

PlatAudioHandle PlatAudioSampleLoad(const char* fp_pszFile, uint64_t fp_uiOffset,
                                    uint32_t fp_uiLength, int fp_iMax, uint32_t fp_uiFlags)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    if (fp_iMax < 1 || fp_iMax > 65535)
        return Fail(PLAT_AUDIO_ERR_PARAM);
    auto tmp_pData = std::make_shared<SampleData>();
    if (int tmp_iErr = DecodeSample(fp_pszFile, fp_uiOffset, fp_uiLength, *tmp_pData);
        tmp_iErr != PLAT_AUDIO_OK)
        return Fail(tmp_iErr);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    const PlatAudioHandle tmp_h = NewHandle();
    Sample& tmp_Sample = g_Mixer.samples[tmp_h];
    tmp_Sample.data = std::move(tmp_pData);
    tmp_Sample.maxPlaybacks = fp_iMax;
    tmp_Sample.overLongest = (fp_uiFlags & kPlatAudioOverLongest) != 0;
    return SucceedHandle(tmp_h);
}

PlatAudioHandle PlatAudioSamplePlayEx(PlatAudioHandle fp_hSample, uint32_t fp_uiStart, int fp_iFreq,
                                      int fp_iVolume, int fp_iPan, bool fp_bLoop)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    auto tmp_It = g_Mixer.samples.find(fp_hSample);
    if (tmp_It == g_Mixer.samples.end())
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    const Sample& tmp_Sample = tmp_It->second;

    // Every playback of the sample counts, paused ones too.
    int tmp_iBusy = 0;
    Channel* tmp_pOldest = nullptr;
    for (auto& [tmp_h, tmp_pChannel] : g_Mixer.channels)
    {
        if (tmp_pChannel->kind != ChannelKind::Voice || tmp_pChannel->sample != fp_hSample)
            continue;
        ++tmp_iBusy;
        if (tmp_pOldest == nullptr || tmp_pChannel->serial < tmp_pOldest->serial)
            tmp_pOldest = tmp_pChannel.get();
    }
    if (tmp_iBusy >= tmp_Sample.maxPlaybacks)
    {
        if (!tmp_Sample.overLongest)
            return Fail(PLAT_AUDIO_ERR_NO_CHANNEL);
        g_Mixer.channels.erase(tmp_pOldest->handle);
    }

    auto tmp_pChannel = std::make_unique<Channel>();
    tmp_pChannel->handle = NewHandle();
    tmp_pChannel->kind = ChannelKind::Voice;
    tmp_pChannel->sample = fp_hSample;
    tmp_pChannel->serial = g_Mixer.nextSerial++;
    tmp_pChannel->source = std::make_unique<SampleSource>(tmp_Sample.data, fp_uiStart);
    tmp_pChannel->loop = fp_bLoop;
    tmp_pChannel->sourceRate = tmp_Sample.data->rate;
    tmp_pChannel->freq = fp_iFreq == kPlatAudioKeepFreq
                             ? tmp_Sample.data->rate
                             : ClampFreq(fp_iFreq, tmp_Sample.data->rate);
    tmp_pChannel->volume =
        fp_iVolume == kPlatAudioKeepVolume ? 100 : std::clamp(fp_iVolume, 0, 100);
    tmp_pChannel->pan = fp_iPan == kPlatAudioKeepPan ? 0 : std::clamp(fp_iPan, -100, 100);
    tmp_pChannel->state = kPlatAudioPlaying;
    tmp_pChannel->Prime();
    const PlatAudioHandle tmp_h = tmp_pChannel->handle;
    g_Mixer.channels.emplace(tmp_h, std::move(tmp_pChannel));
    return SucceedHandle(tmp_h);
}

int PlatAudioSampleStop(PlatAudioHandle fp_hSample)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    if (g_Mixer.samples.count(fp_hSample) == 0)
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    std::vector<Channel*> tmp_Channels;
    CollectChannels(fp_hSample, tmp_Channels);
    for (Channel* tmp_pChannel : tmp_Channels)
        StopChannel(tmp_pChannel);
    EraseStoppedVoices();
    return Succeed();
}

int PlatAudioSampleFree(PlatAudioHandle fp_hSample)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    if (g_Mixer.samples.count(fp_hSample) == 0)
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    std::vector<Channel*> tmp_Channels;
    CollectChannels(fp_hSample, tmp_Channels);
    for (Channel* tmp_pChannel : tmp_Channels)
        StopChannel(tmp_pChannel);
    EraseStoppedVoices();
    g_Mixer.samples.erase(fp_hSample);
    return Succeed();
}

// ---- Streams -------------------------------------------------------------------------------

PlatAudioHandle PlatAudioStreamCreateFile(const char* fp_pszFile, uint64_t fp_uiOffset,
                                          uint32_t fp_uiLength, uint32_t)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    auto tmp_pDecoder = std::make_unique<SoundDecoder>();
    if (int tmp_iErr = tmp_pDecoder->Open(fp_pszFile, fp_uiOffset, fp_uiLength);
        tmp_iErr != PLAT_AUDIO_OK)
        return Fail(tmp_iErr);
    auto tmp_pChannel = std::make_unique<Channel>();
    tmp_pChannel->kind = ChannelKind::Stream;
    tmp_pChannel->sourceRate = tmp_pChannel->freq = tmp_pDecoder->GetRate();
    tmp_pChannel->source = std::make_unique<StreamSource>(std::move(tmp_pDecoder));
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    tmp_pChannel->handle = NewHandle();
    const PlatAudioHandle tmp_h = tmp_pChannel->handle;
    g_Mixer.channels.emplace(tmp_h, std::move(tmp_pChannel));
    return SucceedHandle(tmp_h);
}

int PlatAudioStreamPlay(PlatAudioHandle fp_hStream, bool fp_bFlush, uint32_t fp_uiFlags)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    Channel* tmp_pChannel = FindChannel(fp_hStream);
    if (tmp_pChannel == nullptr || tmp_pChannel->kind != ChannelKind::Stream)
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    tmp_pChannel->loop = (fp_uiFlags & kPlatAudioLoop) != 0;
    tmp_pChannel->ClearSlides();
    // A stream that has played to its end starts again from the beginning.
    const bool tmp_bEnded = tmp_pChannel->state == kPlatAudioStopped && !tmp_pChannel->curValid;
    if (fp_bFlush || tmp_bEnded)
    {
        tmp_pChannel->source->Rewind();
        tmp_pChannel->Prime();
    }
    tmp_pChannel->state = kPlatAudioPlaying;
    return Succeed();
}

namespace
{
// Streams and modules are one channel each: freeing the handle removes the channel.
int FreeChannelOfKind(PlatAudioHandle fp_hHandle, ChannelKind fp_Kind)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    Channel* tmp_pChannel = FindChannel(fp_hHandle);
    if (tmp_pChannel == nullptr || tmp_pChannel->kind != fp_Kind)
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    g_Mixer.channels.erase(fp_hHandle);
    return Succeed();
}
} // namespace

int PlatAudioStreamFree(PlatAudioHandle fp_hStream)
{
    return FreeChannelOfKind(fp_hStream, ChannelKind::Stream);
}

// ---- Module music --------------------------------------------------------------------------

PlatAudioHandle PlatAudioMusicLoad(const char* fp_pszFile, uint64_t fp_uiOffset,
                                   uint32_t fp_uiLength, uint32_t)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::vector<char> tmp_Bytes;
    if (!ReadRegion(fp_pszFile, fp_uiOffset, fp_uiLength, tmp_Bytes))
        return Fail(PLAT_AUDIO_ERR_FILE_OPEN);
    int tmp_iRate = 0;
    {
        std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
        tmp_iRate = g_Mixer.rate;
    }
    auto tmp_pSource = std::make_unique<ModuleSource>(std::move(tmp_Bytes), tmp_iRate);
    if (!tmp_pSource->Create())
        return Fail(PLAT_AUDIO_ERR_FORMAT);
    auto tmp_pChannel = std::make_unique<Channel>();
    tmp_pChannel->kind = ChannelKind::Music;
    tmp_pChannel->sourceRate = tmp_pChannel->freq = tmp_iRate;
    tmp_pChannel->source = std::move(tmp_pSource);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    tmp_pChannel->handle = NewHandle();
    const PlatAudioHandle tmp_h = tmp_pChannel->handle;
    g_Mixer.channels.emplace(tmp_h, std::move(tmp_pChannel));
    return SucceedHandle(tmp_h);
}

int PlatAudioMusicPlayEx(PlatAudioHandle fp_hMusic, uint32_t fp_uiPosition, uint32_t fp_uiFlags,
                         bool fp_bReset)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    Channel* tmp_pChannel = FindChannel(fp_hMusic);
    if (tmp_pChannel == nullptr || tmp_pChannel->kind != ChannelKind::Music)
        return Fail(PLAT_AUDIO_ERR_HANDLE);
    auto* tmp_pModule = static_cast<ModuleSource*>(tmp_pChannel->source.get());
    // A fresh module object forgets every note, tempo and volume change of the last playback.
    if (fp_bReset && !tmp_pModule->Create())
        return Fail(PLAT_AUDIO_ERR_MEMORY);
    tmp_pModule->SetLoop((fp_uiFlags & kPlatAudioLoop) != 0);
    tmp_pModule->SetOrder(static_cast<int>(fp_uiPosition));
    tmp_pChannel->ClearSlides();
    tmp_pChannel->Prime();
    tmp_pChannel->state = kPlatAudioPlaying;
    return Succeed();
}

int PlatAudioMusicFree(PlatAudioHandle fp_hMusic)
{
    return FreeChannelOfKind(fp_hMusic, ChannelKind::Music);
}

// ---- Channels ------------------------------------------------------------------------------

int PlatAudioChannelStop(PlatAudioHandle fp_hChannel)
{
    return ApplyToChannels(fp_hChannel, true, StopChannel);
}

int PlatAudioChannelPause(PlatAudioHandle fp_hChannel)
{
    return ApplyToChannels(fp_hChannel, false,
                           [](Channel* fp_pChannel)
                           {
                               if (fp_pChannel->state == kPlatAudioPlaying)
                               {
                                   fp_pChannel->state = kPlatAudioPaused;
                                   fp_pChannel->peakLeft = fp_pChannel->peakRight = 0.0f;
                               }
                           });
}

int PlatAudioChannelResume(PlatAudioHandle fp_hChannel)
{
    return ApplyToChannels(fp_hChannel, false,
                           [](Channel* fp_pChannel)
                           {
                               if (fp_pChannel->state == kPlatAudioPaused)
                                   fp_pChannel->state = kPlatAudioPlaying;
                           });
}

int PlatAudioChannelSetAttributes(PlatAudioHandle fp_hChannel, int fp_iFreq, int fp_iVolume,
                                  int fp_iPan)
{
    return ApplyToChannels(fp_hChannel, false,
                           [=](Channel* tmp_pC)
                           {
                               if (fp_iFreq != kPlatAudioKeepFreq)
                               {
                                   tmp_pC->freq = ClampFreq(fp_iFreq, tmp_pC->sourceRate);
                                   tmp_pC->slideFreq.active = false;
                               }
                               if (fp_iVolume != kPlatAudioKeepVolume)
                               {
                                   tmp_pC->volume = std::clamp(fp_iVolume, 0, 100);
                                   tmp_pC->slideVolume.active = false;
                                   tmp_pC->stopAfterSlide = false;
                               }
                               if (fp_iPan != kPlatAudioKeepPan)
                               {
                                   tmp_pC->pan = std::clamp(fp_iPan, -100, 100);
                                   tmp_pC->slidePan.active = false;
                               }
                           });
}

int PlatAudioChannelSlideAttributes(PlatAudioHandle fp_hChannel, int fp_iFreq, int fp_iVolume,
                                    int fp_iPan, uint32_t fp_uiTime)
{
    if (!g_Mixer.initialised)
        return Fail(PLAT_AUDIO_ERR_NOT_INIT);
    const int64_t tmp_Total = static_cast<int64_t>(fp_uiTime) * g_Mixer.rate / 1000;
    auto tmp_Start = [tmp_Total](Slide& fp_Slide, double fp_dFrom, double fp_dTo, double& fp_dValue)
    {
        if (tmp_Total <= 0)
        {
            fp_Slide.active = false;
            fp_dValue = fp_dTo;
            return;
        }
        fp_Slide = Slide{true, fp_dFrom, fp_dTo, 0, tmp_Total};
    };
    return ApplyToChannels(fp_hChannel, true,
                           [&](Channel* tmp_pC)
                           {
                               if (fp_iFreq != kPlatAudioKeepFreq)
                                   tmp_Start(tmp_pC->slideFreq, tmp_pC->freq,
                                             ClampFreq(fp_iFreq, tmp_pC->sourceRate), tmp_pC->freq);
                               if (fp_iPan != kPlatAudioKeepPan)
                                   tmp_Start(tmp_pC->slidePan, tmp_pC->pan,
                                             std::clamp(fp_iPan, -100, 100), tmp_pC->pan);
                               if (fp_iVolume != kPlatAudioKeepVolume)
                               {
                                   const bool tmp_bFadeStop = fp_iVolume == kPlatAudioFadeStop;
                                   tmp_Start(tmp_pC->slideVolume, tmp_pC->volume,
                                             tmp_bFadeStop ? 0 : std::clamp(fp_iVolume, 0, 100),
                                             tmp_pC->volume);
                                   tmp_pC->stopAfterSlide = tmp_bFadeStop;
                                   if (tmp_bFadeStop && tmp_Total <= 0)
                                       StopChannel(tmp_pC);
                               }
                           });
}

uint32_t PlatAudioChannelIsActive(PlatAudioHandle fp_hChannel)
{
    if (!g_Mixer.initialised)
        return static_cast<uint32_t>(Fail(PLAT_AUDIO_ERR_NOT_INIT));
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    std::vector<Channel*> tmp_Channels;
    if (!CollectChannels(fp_hChannel, tmp_Channels))
        return static_cast<uint32_t>(Fail(PLAT_AUDIO_ERR_HANDLE));
    uint32_t tmp_uiState = kPlatAudioStopped;
    for (Channel* tmp_pC : tmp_Channels)
    {
        if (tmp_pC->state == kPlatAudioPlaying)
            tmp_uiState = kPlatAudioPlaying;
        else if (tmp_pC->state == kPlatAudioPaused && tmp_uiState == kPlatAudioStopped)
            tmp_uiState = kPlatAudioPaused;
    }
    g_Mixer.errorCode = PLAT_AUDIO_OK;
    return tmp_uiState;
}

int32_t PlatAudioChannelGetLevel(PlatAudioHandle fp_hChannel)
{
    if (!g_Mixer.initialised)
    {
        Fail(PLAT_AUDIO_ERR_NOT_INIT);
        return -1;
    }
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    std::vector<Channel*> tmp_Channels;
    if (!CollectChannels(fp_hChannel, tmp_Channels))
    {
        Fail(PLAT_AUDIO_ERR_HANDLE);
        return -1;
    }
    float tmp_fLeft = 0.0f, tmp_fRight = 0.0f;
    for (Channel* tmp_pC : tmp_Channels)
    {
        if (tmp_pC->state != kPlatAudioPlaying)
            continue;
        tmp_fLeft = std::max(tmp_fLeft, tmp_pC->peakLeft);
        tmp_fRight = std::max(tmp_fRight, tmp_pC->peakRight);
    }
    auto tmp_ToLevel = [](float fp_fPeak)
    { return static_cast<int32_t>(std::lround(std::min(fp_fPeak, 1.0f) * 128.0f)); };
    g_Mixer.errorCode = PLAT_AUDIO_OK;
    return tmp_ToLevel(tmp_fLeft) | (tmp_ToLevel(tmp_fRight) << 16);
}

// ---- The mixer -----------------------------------------------------------------------------

void PlatAudioRender(float* fp_pOut, int fp_iFrames)
{
    if (fp_iFrames <= 0)
        return;
    const auto tmp_Start = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    std::fill(fp_pOut, fp_pOut + 2 * fp_iFrames, 0.0f);
    if (!g_Mixer.initialised)
        return;
    for (auto& [tmp_h, tmp_pChannel] : g_Mixer.channels)
        if (tmp_pChannel->state == kPlatAudioPlaying)
            MixChannel(*tmp_pChannel, fp_pOut, fp_iFrames);
    EraseStoppedVoices();
    for (int i = 0; i < 2 * fp_iFrames; ++i)
        fp_pOut[i] = std::clamp(fp_pOut[i], -1.0f, 1.0f);

    // CPU share: time spent here against the time the rendered audio lasts, per half second.
    g_Mixer.busySeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - tmp_Start).count();
    g_Mixer.busyFrames += fp_iFrames;
    if (g_Mixer.busyFrames >= g_Mixer.rate / 2)
    {
        const double tmp_dAudioSeconds = static_cast<double>(g_Mixer.busyFrames) / g_Mixer.rate;
        g_Mixer.cpuPercent = static_cast<float>(100.0 * g_Mixer.busySeconds / tmp_dAudioSeconds);
        g_Mixer.busySeconds = 0.0;
        g_Mixer.busyFrames = 0;
    }
}

void PlatAudioTestDetachDevice(bool fp_bDetached)
{
    g_Mixer.detached.store(fp_bDetached);
}

int PlatAudioTestGetRate()
{
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    return g_Mixer.initialised ? g_Mixer.rate : 0;
}

int PlatAudioTestGetChannelCount()
{
    std::lock_guard<std::mutex> tmp_Lock(g_Mixer.lock);
    int tmp_iCount = 0;
    for (auto& [tmp_h, tmp_pChannel] : g_Mixer.channels)
        if (tmp_pChannel->kind == ChannelKind::Voice)
            ++tmp_iCount;
    return tmp_iCount;
}
