// Key names: every one of the 141 names gives its key code; near misses give 0.
#include "CVelora/cvelora_inp_keynames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
struct NameCase
{
    const char* m_pszName;
    int m_iCode;
};

// The expected codes, written out independently of the engine's table.
constexpr NameCase kNames[] = {
    {"0", 11},
    {"1", 2},
    {"2", 3},
    {"3", 4},
    {"4", 5},
    {"5", 6},
    {"6", 7},
    {"7", 8},
    {"8", 9},
    {"9", 10},
    {"A", 30},
    {"B", 48},
    {"C", 46},
    {"D", 32},
    {"E", 18},
    {"F", 33},
    {"G", 34},
    {"H", 35},
    {"I", 23},
    {"J", 36},
    {"K", 37},
    {"L", 38},
    {"M", 50},
    {"N", 49},
    {"O", 24},
    {"P", 25},
    {"Q", 16},
    {"R", 19},
    {"S", 31},
    {"T", 20},
    {"U", 22},
    {"V", 47},
    {"W", 17},
    {"X", 45},
    {"Y", 21},
    {"Z", 44},
    {"F1", 59},
    {"F2", 60},
    {"F3", 61},
    {"F4", 62},
    {"F5", 63},
    {"F6", 64},
    {"F7", 65},
    {"F8", 66},
    {"F9", 67},
    {"F10", 68},
    {"F11", 87},
    {"F12", 88},
    {"ADD", 78},
    {"APOSTROPHE", 40},
    {"APPS", 221},
    {"BACK", 14},
    {"BACKSLASH", 43},
    {"BACKSPACE", 14},
    {"CALCULATOR", 161},
    {"CAPITAL", 58},
    {"CAPSLOCK", 58},
    {"COMMA", 51},
    {"DECIMAL", 83},
    {"DELETE", 211},
    {"DIVIDE", 181},
    {"DOWN", 208},
    {"DOWNARROW", 208},
    {"END", 207},
    {"EQUALS", 13},
    {"ESCAPE", 1},
    {"GRAVE", 41},
    {"HOME", 199},
    {"INSERT", 210},
    {"LALT", 56},
    {"LBRACKET", 26},
    {"LCONTROL", 29},
    {"LEFT", 203},
    {"LEFTARROW", 203},
    {"LMENU", 56},
    {"LSHIFT", 42},
    {"LWIN", 219},
    {"MAIL", 236},
    {"MEDIASELECT", 237},
    {"MEDIASTOP", 164},
    {"MINUS", 12},
    {"MULTIPLY", 55},
    {"MUTE", 160},
    {"MYCOMPUTER", 235},
    {"NEXT", 209},
    {"NEXTTRACK", 153},
    {"NUMLOCK", 69},
    {"NUMPAD0", 82},
    {"NUMPAD1", 79},
    {"NUMPAD2", 80},
    {"NUMPAD3", 81},
    {"NUMPAD4", 75},
    {"NUMPAD5", 76},
    {"NUMPAD6", 77},
    {"NUMPAD7", 71},
    {"NUMPAD8", 72},
    {"NUMPAD9", 73},
    {"NUMPADENTER", 156},
    {"NUMPADMINUS", 74},
    {"NUMPADPERIOD", 83},
    {"NUMPADPLUS", 78},
    {"NUMPADSLASH", 181},
    {"NUMPADSTAR", 55},
    {"PAUSE", 197},
    {"PERIOD", 52},
    {"PGDN", 209},
    {"PGUP", 201},
    {"PLAYPAUSE", 162},
    {"POWER", 222},
    {"PREVTRACK", 144},
    {"PRIOR", 201},
    {"RALT", 184},
    {"RBRACKET", 27},
    {"RCONTROL", 157},
    {"RETURN", 28},
    {"RIGHT", 205},
    {"RIGHTARROW", 205},
    {"RMENU", 184},
    {"RSHIFT", 54},
    {"RWIN", 220},
    {"SCROLL", 70},
    {"SEMICOLON", 39},
    {"SLASH", 53},
    {"SLEEP", 223},
    {"SPACE", 57},
    {"STOP", 149},
    {"SUBTRACT", 74},
    {"SYSRQ", 183},
    {"TAB", 15},
    {"UP", 200},
    {"UPARROW", 200},
    {"VOLUMEDOWN", 174},
    {"VOLUMEUP", 176},
    {"WAKE", 227},
    {"WEBBACK", 234},
    {"WEBFAVORITES", 230},
    {"WEBFORWARD", 233},
    {"WEBHOME", 178},
    {"WEBREFRESH", 231},
    {"WEBSEARCH", 229},
    {"WEBSTOP", 232},
};
} // namespace

TEST(KeyNames, EveryNameGivesItsCode)
{
    for (const NameCase& c : kNames)
        EXPECT_EQ(KeyNameToCode(c.m_pszName), c.m_iCode) << c.m_pszName;
}

TEST(KeyNames, TableHas141NamesAnd126Codes)
{
    size_t n = 0;
    const VLAKeyName* pTable = GetKeyNameTable(n);
    ASSERT_EQ(n, 141u);
    EXPECT_EQ(std::size(kNames), 141u);
    std::set<std::string> names;
    std::set<int> codes;
    for (size_t i = 0; i < n; ++i)
    {
        names.insert(pTable[i].m_pszName);
        codes.insert(pTable[i].m_uiCode);
    }
    EXPECT_EQ(names.size(), 141u);
    EXPECT_EQ(codes.size(), 126u);
    EXPECT_EQ(codes.count(0), 0u);
}

TEST(KeyNames, NearMissesGiveZero)
{
    const std::string misses[] = {
        "escape",
        "Escape",
        "eSCAPE",
        " ESCAPE",
        "ESCAPE ",
        "ESC",
        "ESCAPEX",
        "DIK_ESCAPE",
        "",
        " ",
        "F13",
        "F0",
        "F01",
        "NUMPAD",
        "NUMPADEQUALS",
        "NUMPADCOMMA",
        "01",
        "10",
        "a",
        std::string("ESCAPE\0", 7),
        std::string("\0", 1),
    };
    for (const std::string& s : misses)
        EXPECT_EQ(KeyNameToCode(s), 0) << "'" << s << "'";
}

TEST(KeyNames, AliasesShareACode)
{
    const std::pair<const char*, const char*> pairs[] = {
        {"ADD", "NUMPADPLUS"},      {"BACKSPACE", "BACK"},
        {"CAPITAL", "CAPSLOCK"},    {"DECIMAL", "NUMPADPERIOD"},
        {"DIVIDE", "NUMPADSLASH"},  {"DOWN", "DOWNARROW"},
        {"LEFT", "LEFTARROW"},      {"LMENU", "LALT"},
        {"MULTIPLY", "NUMPADSTAR"}, {"NEXT", "PGDN"},
        {"PRIOR", "PGUP"},          {"RIGHT", "RIGHTARROW"},
        {"RMENU", "RALT"},          {"SUBTRACT", "NUMPADMINUS"},
        {"UP", "UPARROW"},
    };
    for (const auto& p : pairs)
    {
        EXPECT_NE(KeyNameToCode(p.first), 0) << p.first;
        EXPECT_EQ(KeyNameToCode(p.first), KeyNameToCode(p.second)) << p.first;
    }
}
