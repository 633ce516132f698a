// libFuzzer target: the TECHNIQUE and FONT loaders on any bytes. The first byte picks the
// loader (even: techniques pack, odd: font description); the rest is the resource. The engine's
// stores are made directly (no device is needed to parse), with a texture name TEX_F and a
// technique TEQ_F present so that descriptions naming them reach the colour and width reading.
// Warnings go to gamelog.txt in the folder it runs in.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_main.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace
{
const char* const kBasePack = "<techniquespack><t id=\"TEQ_F\"/></techniquespack>";

CVelora* Engine()
{
    static CVelora* s_pVLA = []
    {
        CVelora* v = new CVelora();
        v->m_pTextures = new TItemsManagerCOM<PlatTexture>();
        v->m_pTextures->AddItem(nullptr, "TEX_F", 0); // found by name; never bound
        v->m_pTechniques = new TItemsManager<VLATECHNIQUE>();
        v->m_pFonts = new TItemsManager<FONTINFO>();
        // Lookups ask for a device only as a sign that the stores exist; parsing draws nothing.
        v->m_bGfxDeviceCreated = true;
        return v;
    }();
    return s_pVLA;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    if (fp_uSize < 1)
        return 0;
    CVelora* v = Engine();
    v->m_pTechniques->FreeAllItems();
    v->m_pFonts->FreeAllItems();
    const std::string tmp_strBase = kBasePack;
    RESLOAD_Technique(reinterpret_cast<const uint8_t*>(tmp_strBase.data()),
                      static_cast<int>(tmp_strBase.size()), "TEQ_PACK", 0, 0, 0, 0);
    try
    {
        if (fp_pData[0] % 2 == 0)
            RESLOAD_Technique(fp_pData + 1, static_cast<int>(fp_uSize - 1), "TEQ_FUZZ", 0, 0, 0, 0);
        else
            RESLOAD_Font(fp_pData + 1, static_cast<int>(fp_uSize - 1), "FNT_FUZZ", 0, 0, 0, 0);
    }
    catch (const CEHSException&)
    {
    }
    catch (const char*)
    {
    }
    // Keep the log from filling the disk over a long run.
    struct stat tmp_Stat;
    if (stat("gamelog.txt", &tmp_Stat) == 0 && tmp_Stat.st_size > (1 << 20))
        std::remove("gamelog.txt");
    return 0;
}
