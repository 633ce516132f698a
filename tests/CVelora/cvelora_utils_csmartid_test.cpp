// Smart IDs: type detection by prefix, the registry, and the two static updates.
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_utils_csmartid.h"

#include <gtest/gtest.h>

namespace
{
// The error raised while constructing a smart ID, as "type:text", or "(none)".
std::string ConstructError(const char* fp_pszID, int fp_iType)
{
    try
    {
        CSmartID tmp(fp_pszID, fp_iType);
    }
    catch (const CEHSException& e)
    {
        return std::to_string(e.m_iType) + ":" + e.m_strDesc;
    }
    return "(none)";
}
} // namespace

TEST(CSmartID, DetectsTheTypeFromThePrefix)
{
    const std::pair<const char*, int> rows[] = {
        {"TEX_BG", 1}, {"TEQ_STD2", 2}, {"FNT_FONT1", 3}, {"SND_PIECEMOVE", 4}, {"TEXT", 1},
    };
    for (const auto& [id, type] : rows)
    {
        CSmartID smart(id);
        EXPECT_EQ(smart.GetResType(), type) << id;
        EXPECT_EQ(smart.GetIID(), -1);
        EXPECT_EQ(smart.GetStrID(), id);
    }
}

TEST(CSmartID, DetectionErrors)
{
    const std::pair<const char*, std::string> rows[] = {
        {"TEX", "1:Error in CSmartID::DetectResType : strID length is too small (<4)!"},
        {"", "1:Error in CSmartID::DetectResType : strID length is too small (<4)!"},
        {"tex_bg", "2:Error in CSmartID::DetectResType : cannot detect res type! strID = tex_bg"},
        {"MUS_GAME",
         "2:Error in CSmartID::DetectResType : cannot detect res type! strID = MUS_GAME"},
    };
    for (const auto& [id, error] : rows)
        EXPECT_EQ(ConstructError(id, 0), error) << id;
    // An explicit type is never checked against the prefix.
    EXPECT_EQ(ConstructError("MUSIC1", 4), "(none)");
    EXPECT_EQ(ConstructError("X", 2), "(none)");
}

TEST(CSmartID, DuplicateStrIDRaisesAGameError)
{
    CSmartID first("TEX_BG");
    EXPECT_EQ(ConstructError("TEX_BG", 0),
              "2:Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object "
              "with same strID already exists! strID = TEX_BG");
}

TEST(CSmartID, SetAndResetByLoadsAndUnloads)
{
    CSmartID texture("TEX_BG");
    CSmartID other("TEX_OTHER");
    CSmartID sound("SND_A");

    CSmartID::SetSmartIDNumber("TEX_BG", 3);
    CSmartID::SetSmartIDNumber("SND_A", 3);
    CSmartID::SetSmartIDNumber("TEX_NOBODY", 5); // nobody declared it: nothing happens
    EXPECT_EQ(texture.GetIID(), 3);
    EXPECT_EQ(sound.GetIID(), 3);
    EXPECT_EQ(other.GetIID(), -1);

    // A texture unloaded by slot: only the texture smart ID with that slot goes back to -1.
    CSmartID::ResetSmartIDNumber(3, 1);
    EXPECT_EQ(texture.GetIID(), -1);
    EXPECT_EQ(sound.GetIID(), 3);
    CSmartID::ResetSmartIDNumber(7, 4); // no match
    EXPECT_EQ(sound.GetIID(), 3);
    CSmartID::SetSmartIDNumber("SND_A", -1); // unloaded by strID
    EXPECT_EQ(sound.GetIID(), -1);
}

TEST(CSmartID, ResetStopsAtTheFirstMatchInStrIDOrder)
{
    // Two smart IDs of one type on the same slot cannot happen through the loaders, but the
    // rule decides which one is reset.
    CSmartID b("TEX_B");
    CSmartID a("TEX_A");
    CSmartID::SetSmartIDNumber("TEX_A", 2);
    CSmartID::SetSmartIDNumber("TEX_B", 2);
    CSmartID::ResetSmartIDNumber(2, 1);
    EXPECT_EQ(a.GetIID(), -1);
    EXPECT_EQ(b.GetIID(), 2);
}

TEST(CSmartID, FirstDestroyedSmartIDDestroysTheRegistry)
{
    CSmartID* first = new CSmartID("TEX_1");
    CSmartID second("TEX_2");
    delete first;
    CSmartID::SetSmartIDNumber("TEX_2", 4);
    EXPECT_EQ(second.GetIID(), -1);
    // The same strID can be declared again: the registry is new.
    CSmartID again("TEX_1");
    CSmartID::SetSmartIDNumber("TEX_1", 6);
    EXPECT_EQ(again.GetIID(), 6);
}
