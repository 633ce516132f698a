// Audio output: our own software mixer on an SDL audio device. Owns the output device, the
// loaded samples (decoded at load), streams (decoded while they play) and modules (libopenmpt),
// and every playing channel with its frequency, volume, panning, slides and peak levels.
// Calls return non-zero on success; on zero PlatAudioErrorGetCode tells why.
#pragma once

#include <cstdint>

struct PlatWindow;

using PlatAudioHandle = uint32_t;

// Error codes (PlatAudioErrorGetCode).
enum PlatAudioError
{
    PLAT_AUDIO_OK = 0,
    PLAT_AUDIO_ERR_NOT_INIT = 1,   // no successful PlatAudioInit yet
    PLAT_AUDIO_ERR_ALREADY = 2,    // PlatAudioInit while already initialised
    PLAT_AUDIO_ERR_DEVICE = 3,     // the output device cannot be opened or started
    PLAT_AUDIO_ERR_HANDLE = 4,     // unknown handle, or a handle of the wrong kind
    PLAT_AUDIO_ERR_FILE_OPEN = 5,  // file cannot be opened, or the region lies outside it
    PLAT_AUDIO_ERR_FORMAT = 6,     // the data is no audio file or module we can decode
    PLAT_AUDIO_ERR_PARAM = 7,      // an argument out of its range
    PLAT_AUDIO_ERR_NO_CHANNEL = 8, // every playback a sample allows is busy
    PLAT_AUDIO_ERR_MEMORY = 9,     // out of memory
};

// Devices for PlatAudioInit.
inline constexpr int kPlatAudioDefaultDevice = -1; // SDL's default output device
inline constexpr int kPlatAudioNoSoundDevice = -2; // no output; the mixer runs only when rendered

// Flags.
inline constexpr uint32_t kPlatAudioLoop = 4;              // play/stream/music: loop at the end
inline constexpr uint32_t kPlatAudioOverLongest = 0x20000; // sample: a playback beyond the limit
                                                           // takes over the longest-playing one
inline constexpr uint32_t kPlatAudioPrescan = 0x20000;     // stream: accepted; lengths are exact

// Attribute values that keep the current setting.
inline constexpr int kPlatAudioKeepFreq = -1;
inline constexpr int kPlatAudioKeepVolume = -1;
inline constexpr int kPlatAudioKeepPan = -101;
// Slide target volume: fade to silence, then stop the channel.
inline constexpr int kPlatAudioFadeStop = -2;

// Channel states (PlatAudioChannelIsActive).
inline constexpr uint32_t kPlatAudioStopped = 0;
inline constexpr uint32_t kPlatAudioPlaying = 1;
inline constexpr uint32_t kPlatAudioPaused = 3;

// Output. fp_iDevice is kPlatAudioDefaultDevice or kPlatAudioNoSoundDevice; fp_uiFlags and the
// window are accepted for the caller's convenience and not needed by SDL. The output starts
// paused: PlatAudioStart begins it.
int PlatAudioInit(int fp_iDevice, int fp_iRate, uint32_t fp_uiFlags, PlatWindow* fp_pWindow);
int PlatAudioStart();
int PlatAudioPause();
// Stops every channel and the output.
int PlatAudioStop();
// Frees every sample, stream and module and closes the device.
int PlatAudioFree();
int PlatAudioErrorGetCode();
// Share of one core spent mixing, in percent, averaged over the last half second of output.
float PlatAudioGetCPU();
// Global volumes 0..100 (-1 keeps one) for module music, samples and streams.
int PlatAudioSetGlobalVolumes(int fp_iMusic, int fp_iSample, int fp_iStream);

// Samples: the file region [offset, offset + length) (length 0: to the end of the file) holds a
// WAV, OGG or FLAC file, decoded completely here. fp_iMax playbacks may overlap (at least 1).
PlatAudioHandle PlatAudioSampleLoad(const char* fp_pszFile, uint64_t fp_uiOffset,
                                    uint32_t fp_uiLength, int fp_iMax, uint32_t fp_uiFlags);
// Starts a playback of the sample; returns its channel handle. Frequency -1, volume -1 and
// panning -101 take the sample's defaults (its own rate, 100, centre).
PlatAudioHandle PlatAudioSamplePlayEx(PlatAudioHandle fp_hSample, uint32_t fp_uiStart, int fp_iFreq,
                                      int fp_iVolume, int fp_iPan, bool fp_bLoop);
// Stops every playback of the sample.
int PlatAudioSampleStop(PlatAudioHandle fp_hSample);
int PlatAudioSampleFree(PlatAudioHandle fp_hSample);

// Streams: the file region is decoded while the stream plays.
PlatAudioHandle PlatAudioStreamCreateFile(const char* fp_pszFile, uint64_t fp_uiOffset,
                                          uint32_t fp_uiLength, uint32_t fp_uiFlags);
// Plays the stream; fp_bFlush restarts it from the beginning. fp_uiFlags: kPlatAudioLoop or 0.
int PlatAudioStreamPlay(PlatAudioHandle fp_hStream, bool fp_bFlush, uint32_t fp_uiFlags);
int PlatAudioStreamFree(PlatAudioHandle fp_hStream);

// Module music (MOD, XM, S3M, IT, ... through libopenmpt) from a file region.
PlatAudioHandle PlatAudioMusicLoad(const char* fp_pszFile, uint64_t fp_uiOffset,
                                   uint32_t fp_uiLength, uint32_t fp_uiFlags);
// Plays from order fp_uiPosition; fp_uiFlags kPlatAudioLoop or 0; fp_bReset clears the channels
// of the module (notes and effects still sounding) before it starts.
int PlatAudioMusicPlayEx(PlatAudioHandle fp_hMusic, uint32_t fp_uiPosition, uint32_t fp_uiFlags,
                         bool fp_bReset);
int PlatAudioMusicFree(PlatAudioHandle fp_hMusic);

// Channel operations take a playback channel, a stream, a module, or a sample handle (then they
// act on every playback of that sample). Pausing a channel that is not playing and resuming one
// that is not paused succeed and change nothing.
int PlatAudioChannelStop(PlatAudioHandle fp_hChannel);
int PlatAudioChannelPause(PlatAudioHandle fp_hChannel);
int PlatAudioChannelResume(PlatAudioHandle fp_hChannel);
// Frequency 100..100000 Hz (0: the source's own rate), volume 0..100, panning -100..100; -1,
// -1, -101 keep a value. Values outside the ranges are clamped. Setting a value ends its slide.
int PlatAudioChannelSetAttributes(PlatAudioHandle fp_hChannel, int fp_iFreq, int fp_iVolume,
                                  int fp_iPan);
// Slides each given value to its target over fp_uiTime ms, on the mixer's own clock. Target
// volume -2 slides to silence and then stops the channel.
int PlatAudioChannelSlideAttributes(PlatAudioHandle fp_hChannel, int fp_iFreq, int fp_iVolume,
                                    int fp_iPan, uint32_t fp_uiTime);
// kPlatAudioStopped, kPlatAudioPlaying or kPlatAudioPaused (sample handle: playing when any
// playback plays, paused when any is paused and none plays). 0 also for an unknown handle.
uint32_t PlatAudioChannelIsActive(PlatAudioHandle fp_hChannel);
// Peak levels of the last mixed block, 0..128: left in the low 16 bits, right in the high 16
// bits. -1 on failure.
int32_t PlatAudioChannelGetLevel(PlatAudioHandle fp_hChannel);

// The mixer itself: renders fp_iFrames stereo frames (interleaved floats, -1..1) at the output
// rate and advances every channel. The SDL device calls it from its own thread; tests call it
// directly (after PlatAudioTestDetachDevice) to check what it produces.
void PlatAudioRender(float* fp_pOut, int fp_iFrames);

// Test hooks.
// While detached, the SDL device plays silence and leaves the mixer alone, so that only direct
// PlatAudioRender calls advance it.
void PlatAudioTestDetachDevice(bool fp_bDetached);
// The output rate in use (0 before init) and the number of live playback channels.
int PlatAudioTestGetRate();
int PlatAudioTestGetChannelCount();
