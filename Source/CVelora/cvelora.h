// CVelora: the engine root object. Holds every subsystem's state (graphics, input, sound and
// music, resources, scripts, in that order), the frame timer and the callbacks, and performs
// one engine step per frame. Subsystem operations are members defined in their own files.
#pragma once

#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_itemsmanager.h"
#include "CVelora/cvelora_log.h"
#include "CVelora/cvelora_gfx_font.h"
#include "CVelora/cvelora_gfx_light.h"
#include "CVelora/cvelora_gfx_main.h"
#include "CVelora/cvelora_gfx_tech.h"
#include "CVelora/cvelora_gfx_vquad.h"
#include "Platform/plat_gfx.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_scr_cluaval.h"
#include "Platform/plat_input.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

struct PlatWindow;
class CSmartID;
struct lua_State;
class VLASound;
class VLAMusic;
class VLAPlaylist;
class CSmartID;
class CXMLNode;

using VLACallback = void (*)();
using VLAFrameFunc = bool (*)();

inline constexpr const char* kEngineVersion = "v.1.0";

enum VLACallbackKind
{
    VLACB_LOSTFOCUS = 1,
    VLACB_RESTOREDFOCUS = 2,
    VLACB_TERMINATION = 3,
};

class CVelora
{
public:
    CVelora();
    ~CVelora();
    CVelora(const CVelora&) = delete;
    CVelora& operator=(const CVelora&) = delete;

    void SetAppName(const std::string& fp_strName, const std::string& fp_strVersion);
    void RegisterCallback(VLACallback fp_pfnFunc, int fp_iKind);

    int ProcessMessages();
    int UpdateAllSystems();
    void UpdateTimer();
    float TimerGetDelta() const { return m_fDeltaSeconds; }
    int TimerGetFPS() const { return m_iFPS; }

    void OnFocusGained();
    void OnFocusLost();

    // Log (gamelog.txt)
    void LogAddEntry(const std::string& fp_strText, int fp_iKind)
    {
        VLALogAddEntry(fp_strText, fp_iKind);
    }
    void LogAddLine(const std::string& fp_strText) { VLALogAddLine(fp_strText); }
    void LogAddSeparator(int fp_iKind) { VLALogAddSeparator(fp_iKind); }
    void LogAddEmptyLines(int fp_iCount) { VLALogAddEmptyLines(fp_iCount); }

    // ---- Root fields, in their declared order ----
    bool m_bGfxStarted = false;
    bool m_bResInitialised = false;
    bool m_bInpInitialised = false;
    bool m_bSfxInitialised = false;
    bool m_bScrInitialised = false;
    bool m_bGfxDeviceCreated = false;
    std::string m_strAppName;
    std::string m_strAppVersion;
    uint32_t m_uiCurrentTime = 0;
    uint32_t m_uiPreviousTime = 0;
    int32_t m_iDelta = 1;
    float m_fDeltaSeconds = 0.0f;
    int32_t m_iFPSAccumulator = 0;
    int32_t m_iFrameCounter = 1;
    int32_t m_iFPS = 1;
    VLACallback m_pfnLostFocus = nullptr;
    VLACallback m_pfnRestoredFocus = nullptr;
    VLACallback m_pfnTermination = nullptr;
    bool m_bXMLEncryption = false;
    bool m_bFatalShutdown = false;

    // ---- Graphics block ----
    PlatWindow* m_pWindow = nullptr;

    // Device and video modes (cvelora_gfx_main)
    void GfxPreinit(int fp_iWidth, int fp_iHeight);
    void GfxGetAdapterCaps(int fp_iWidth, int fp_iHeight); // the capability pass of GfxPreinit
    void GfxGetVideoCaps(VIDEOCAPS& fp_Caps);
    void GfxInit(int fp_iDisplayMode, bool fp_bWindowed);
    void GfxRestoreState();
    bool GfxCheckDevice();
    void GfxGetScreenSize(int& fp_iWidth, int& fp_iHeight);
    void GfxDeinit();

    PlatGfx* m_pD3D = nullptr;
    PlatGfxDevice* m_pD3DDevice = nullptr;
    VIDEOCAPS m_VideoCaps;
    std::string m_strAdapterDesc;
    int32_t m_iDisplayMode = 0; // 1, 2 or 3
    bool m_bWindowed = false;
    PlatPresentParams m_PresentParams;
    PlatVertexBuffer* m_pVB = nullptr;
    PlatIndexBuffer* m_pIB = nullptr;
    TItemsManagerCOM<PlatTexture>* m_pTextures = nullptr;
    TItemsManager<VLALIGHT>* m_pLights = nullptr;
    TItemsManager<VLATECHNIQUE>* m_pTechniques = nullptr;
    TItemsManager<FONTINFO>* m_pFonts = nullptr;

    // Textures (cvelora_gfx_tex)
    int TexLoadFromMemory(const void* fp_pData, int fp_iSize, int fp_iKind,
                          const std::string& fp_strID, int fp_iMipLevels, int fp_iTag,
                          int fp_iMaxSize);
    int TexGetID(const std::string& fp_strID);
    void TexUnloadByID(const std::string& fp_strID);
    void TexUnloadByID(int fp_iID);
    void TexSet(int fp_iID, int fp_iStage);
    void TexSet(const std::string& fp_strID, int fp_iStage);
    void TexSet(const CSmartID& fp_SmartID, int fp_iStage);
    void TexSetNoTexture(int fp_iStage);

    int32_t m_iCurrentTexture[8] = {-1, -1, -1, -1, -1, -1, -1, -1};

    // Current technique and font (the technique and font modules use them), fog-on flag of the
    // quad operations, dynamic-light state.
    int32_t m_iCurrentTechnique = -1;
    int32_t m_iCurrentFont = -1;
    bool m_bFogOn = false;
    int32_t m_iLightMode = 0;
    float m_fAmbientColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    int32_t m_iDot3Light = -1;

    // Quad primitive (cvelora_gfx_vquad)
    void VQuadSetPos(float fp_fX, float fp_fY, float fp_fWidth, float fp_fHeight, float fp_fZ);
    void VQuadSetPosByVertex(int fp_iVertex, float fp_fX, float fp_fY, float fp_fZ);
    void VQuadRotate(float fp_fCX, float fp_fCY, float fp_fAngle);
    void VQuadScale(float fp_fCX, float fp_fCY, float fp_fFactor);
    void VQuadMove(float fp_fDX, float fp_fDY, float fp_fDZ);
    void VQuadSetTexCoords(int fp_iSet, float fp_fULeft, float fp_fVTop, float fp_fURight,
                           float fp_fVBottom);
    void VQuadSetColor(float fp_fR, float fp_fG, float fp_fB, float fp_fA);
    void VQuadSetColorByVertex(int fp_iVertex, float fp_fR, float fp_fG, float fp_fB, float fp_fA);
    void VQuadFillIndexBuffer();
    void VQuadBeginBatch();
    void VQuadAddToBatch();
    void VQuadFlushBatch();
    void VQuadEndBatch();
    // Focus loss: unlock the vertex buffer and drop the pending quads without drawing them.
    void VQuadDropBatch();

    VLAVERTEX m_QuadTemplate[4];       // top-left, top-right, bottom-right, bottom-left
    float m_fQuadAlpha[4] = {};        // alpha last given for each vertex's colour
    VLAVERTEX* m_pBatchData = nullptr; // write pointer into the locked vertex buffer
    int32_t m_iBatchCount = 0;         // quads written since the last draw

    // Techniques (cvelora_gfx_tech)
    void TechLoadPack(const void* fp_pData, int fp_iSize);
    int TechGetID(const std::string& fp_strID);
    void TechApply(int fp_iID);
    void TechApply(const std::string& fp_strID);
    void TechApply(const CSmartID& fp_SmartID);

    // Lights (cvelora_gfx_light)
    void LightSetMode(int fp_iMode);
    void LightApply();

    // Scene operations (cvelora_gfx_scene)
    void SceneBegin();
    void SceneEnd();
    void SceneClearScreen(float fp_fR, float fp_fG, float fp_fB);
    void SceneRender();
    void ScenePresent();
    void SceneSetViewport(int fp_iX, int fp_iY, int fp_iWidth, int fp_iHeight);
    void SceneSetGamma(float fp_fLevel, float fp_fBend);
    void SceneMakeScreenshot();

    int32_t m_iScreenshotCounter = 0; // numbers the screenshots of one run

    // Bitmap fonts (cvelora_gfx_font)
    int FontLoad(const void* fp_pData, int fp_iSize);
    int FontGetID(const std::string& fp_strID);
    void FontSet(int fp_iID);
    void FontSet(const std::string& fp_strID);
    void FontSet(const CSmartID& fp_SmartID);
    void FontDrawText(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iLength,
                      int fp_iColor, float fp_fAlpha);
    void FontDrawTextEx(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iLength,
                        int fp_iColor, float fp_fAlpha, bool fp_bApplyTechnique, float fp_fScale,
                        float fp_fExtraAdvance, float fp_fExtraLine);
    float FontGetStringWidth(const char* fp_pszText, int fp_iFontID, float fp_fScale,
                             float fp_fExtraAdvance);

    // ---- end of graphics block ----

    // ---- Input block ----
    // Lifecycle (cvelora_inp_main)
    void InpInit();
    void InpDeinit();
    void InpUpdate();
    void InpReacquire();

    // Keyboard (cvelora_inp_keyboard)
    void KeyboardInit();
    void KeyboardDeinit();
    void KeyboardReacquire();
    void KeyboardUpdate();
    void KeyboardUpdateTextBuffer();
    uint8_t KeyboardGetAnyPressedKey() const;
    bool KeyboardIsKeyPressed(int fp_iKey) const;
    bool KeyboardIsKeyClicked(int fp_iKey) const;
    uint8_t KeyboardGetTypedChar() const;
    void KeyboardSetTextBufferStatus(bool fp_bOn);
    void KeyboardSetTextInBuffer(const std::string& fp_strText);
    const std::string& KeyboardGetTextInBuffer() const { return m_strInpTextBuffer; }
    void KeyboardSetTextBufferSize(uint32_t fp_uiSize);

    // Mouse (cvelora_inp_mouse); buttons are numbered 1 (left), 2 (right), 3 (middle) to 8
    void MouseInit();
    void MouseDeinit();
    void MouseReacquire();
    void MouseUpdate();
    uint8_t MouseGetAnyPressedKey() const;
    bool MouseIsKeyPressed(int fp_iButton) const;
    bool MouseIsKeyClicked(int fp_iButton) const;
    int32_t MouseGetDeltaX() const { return m_InpMouseState.lX; }
    int32_t MouseGetDeltaY() const { return m_InpMouseState.lY; }
    int MouseGetWheelDelta() const;
    void MouseGetCursorPos(int32_t& fp_iX, int32_t& fp_iY) const;
    int32_t MouseGetCursorDeltaX() const { return m_iInpCursorX - m_iInpPrevCursorX; }
    int32_t MouseGetCursorDeltaY() const { return m_iInpCursorY - m_iInpPrevCursorY; }
    bool MouseGetCursorStatus() const { return m_bInpCursorInside; }

    PlatInput* m_pInpDI = nullptr;
    PlatInputDevice* m_pInpKeyboard = nullptr;
    uint8_t m_aInpKeyState[256] = {};
    uint8_t m_aInpPrevKeyState[256] = {};
    std::string m_strInpTextBuffer;
    bool m_bInpTextBufferStatus = false;
    uint32_t m_uiInpTextBufferMax = 255;
    PlatInputDevice* m_pInpMouse = nullptr;
    PlatMouseState2 m_InpMouseState = {};
    PlatMouseState2 m_InpPrevMouseState = {};
    int32_t m_iInpCursorX = 0;
    int32_t m_iInpCursorY = 0;
    int32_t m_iInpPrevCursorX = 0;
    int32_t m_iInpPrevCursorY = 0;
    bool m_bInpCursorInside = false;
    bool m_bInpPrevCursorInside = false;
    bool m_bInpKeyboardAcquired = false;
    bool m_bInpMouseAcquired = false;

    // ---- end of input block ----

    // ---- Sound and music block ----
    // Sounds, music and playlists (cvelora_sfx_*). Without a sound card every operation returns
    // at once and loads return -2.
    TItemsManager<VLASound>* m_pSounds = nullptr;
    TItemsManager<VLAMusic>* m_pMusic = nullptr;
    int32_t m_iCurrentMusic = -1;
    int32_t m_iQueuedMusic = -1;
    bool m_bQueuedLoop = false;
    TItemsManager<VLAPlaylist>* m_pPlaylists = nullptr;
    int32_t m_iCurrentPlaylist = -1;
    bool m_bNoSoundCard = false;

    void InitSoundSubsystem(int fp_iRate);
    void DeinitSoundSubsystem();
    void PauseAudio();
    void ResumeAudio();
    // Both 0..100: samples and streams take the first, music the second.
    void SetGlobalVolumes(int fp_iSoundVolume, int fp_iMusicVolume);
    float SoundGetCPU();

    int LoadSound(const std::string& fp_strFile, const std::string& fp_strID, int fp_iTag,
                  bool fp_bStream, int fp_iMaxPlaybacks, bool fp_bNoOverride, uint32_t fp_uiOffset,
                  uint32_t fp_uiSize);
    int FindSound(const std::string& fp_strID);
    void SoundUnload(const std::string& fp_strID);
    void SoundUnload(int fp_iID);
    void SoundPlay(const CSmartID& fp_SmartID, bool fp_bLoop, int fp_iFreq, int fp_iVolume,
                   int fp_iPan);
    void SoundPlay(const std::string& fp_strID, bool fp_bLoop, int fp_iFreq, int fp_iVolume,
                   int fp_iPan);
    void SoundPlay(int fp_iID, bool fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan);
    void SoundStop(const std::string& fp_strID);
    void SoundStop(int fp_iID);
    void SoundPause(const std::string& fp_strID);
    void SoundPause(int fp_iID);
    void SoundResume(const std::string& fp_strID);
    void SoundResume(int fp_iID);
    void SoundSetAttributes(const std::string& fp_strID, int fp_iFreq, int fp_iVolume, int fp_iPan);
    void SoundSetAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan);
    void SoundSlideAttributes(const std::string& fp_strID, int fp_iFreq, int fp_iVolume, int fp_iPan,
                              int fp_iTime);
    void SoundSlideAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan, int fp_iTime);
    uint32_t SoundGetStatus(const std::string& fp_strID);
    uint32_t SoundGetStatus(int fp_iID);

    int LoadMusic(const std::string& fp_strFile, const std::string& fp_strID, int fp_iTag,
                  uint32_t fp_uiOffset, uint32_t fp_uiSize, int fp_iData1);
    int FindMusic(const std::string& fp_strID);
    void PlayMusic(const std::string& fp_strID, bool fp_bLoop, int fp_iFade);
    void PlayMusic(int fp_iID, bool fp_bLoop, int fp_iFade);
    void StopMusic(int fp_iFade);
    uint32_t GetMusicStatus();
    void MusicSetVolume(int fp_iVolume, int fp_iTime);
    void UpdateMusic();

    int LoadPlaylist(const uint8_t* fp_pData, int fp_iSize);
    int ProcessPlaylist(CXMLNode* fp_pRoot);
    int FindPlaylist(const std::string& fp_strID);
    void PlaylistSet(const std::string& fp_strID);
    void PlaylistSet(int fp_iID);
    void PlaylistStop();
    void PlaylistNext();
    // ---- end of sound and music block ----

    // ---- Resource block ----
    // Resource subsystem (cvelora_res_main.cpp). The XML encrypt mode is m_bXMLEncryption.
    int32_t m_iResMode = RESMODE_NONE;
    TItemsManager<CVLAResource>* m_pResources = nullptr;
    std::map<std::string, VLALoadResFunc> m_LoadResFuncs;
    std::map<std::string, VLALoadResExFunc> m_LoadResExFuncs;

    void InitResourcesSubsystem();
    void DeinitResourcesSubsystem();
    // Loader registration; a type ID registered twice in one registry raises a Game error.
    // Needs no started subsystem.
    void RegisterLoadRes(VLALoadResFunc fp_pfnLoader, const std::string& fp_strTypeID);
    void RegisterLoadResEx(VLALoadResExFunc fp_pfnLoader, const std::string& fp_strTypeID);
    void LoadResource(const std::string& fp_strID);
    // Tag 0 loads every resource.
    void LoadResources(int fp_iTag);
    void LoadResourceRecord(CVLAResource* fp_pRecord);
    void ScanResourcePacks();
    void ProcessXMLResPack(const std::string& fp_strPath);
    void ProcessPAKResPack(const std::string& fp_strPath);
    void RegisterStandardLoaders();
    // ---- end of resource block ----

    // ---- Script block ----
    lua_State* m_pLuaState = nullptr;
    std::vector<CLuaValue> m_ScriptParams;  // arguments for the next CallScriptFunction
    std::vector<CLuaValue> m_ScriptResults; // results of the last call, last returned first
    std::string m_strLastCalledLuaFunction;
    // An engine error raised inside a script API function, held while the interpreter unwinds
    // to the protected call that then rethrows it (no C++ exception crosses Lua's C frames).
    std::exception_ptr m_pScriptPendingError;

    void InitScriptsSubsystem();
    void DeinitScriptsSubsystem();
    // Makes fp_pfnFunc callable from Lua as the global fp_strName (replacing an earlier one).
    void RegisterScriptFunction(const std::string& fp_strName, int (*fp_pfnFunc)(lua_State*));
    // Compiles fp_uiSize bytes of Lua source or bytecode under the chunk name fp_strName and
    // runs the chunk once: the loader behind SCRIPT resources.
    void LoadScriptFromBuffer(const char* fp_pData, size_t fp_uiSize, const std::string& fp_strName);
    // Name given to the latest CallScriptFunction; empty before any call.
    const std::string& GetLastCalledLuaFunctionName() const { return m_strLastCalledLuaFunction; }
    void AddScriptParam(const CLuaValue& fp_Value);
    // Calls the global Lua function fp_strName with the pending parameters; fp_iResultCount is
    // the number of results wanted (-1: all of them).
    void CallScriptFunction(const std::string& fp_strName, int fp_iResultCount);
    // Whether the global fp_strName currently holds a function (a call would run something).
    bool IsScriptFunction(const std::string& fp_strName);

    // ---- end of script block ----
};

// The engine instance recorded by the constructor (null before and after).
CVelora* GetEngine();

// Main loop: runs engine steps and fp_pfnFrame until quit or until the frame returns false.
void RunMainLoop(VLAFrameFunc fp_pfnFrame);
void RequestQuit();
bool IsQuitRequested();
// Clears the quit flag (tests and tools that run more than one loop in a process).
void ResetQuitRequest();

// Window-active flag: true once the window is shown, switched by activation messages.
bool IsWindowActive();
void SetWindowActive(bool fp_bActive);

// Game window (vlt_window). The two messages its procedure handles keep their usual numbers.
inline constexpr int kWM_DESTROY = 2;
inline constexpr int kWM_ACTIVATE = 6;
void CreateGameWindow(PlatWindow*& fp_pWindow, int fp_iWidth, int fp_iHeight, bool fp_bWindowed);
void DestroyGameWindow(PlatWindow* fp_pWindow);
void GameWindowProc(PlatWindow* fp_pWindow, int fp_iMessage, int fp_iParam);

// Program entry: single-instance guard, fault protection, engine creation, the game's entry
// routine, deletion; every escaping error is reported. Returns the process exit code (0).
using VLAGameMain = void (*)(CVelora* fp_pVLA);
int VeloraProgramEntry(VLAGameMain fp_pfnGameMain);
