// Input queries, the typed-character table and the text buffer, driven by key and mouse states
// written straight into the input block (the devices themselves are tested end to end in
// cvelora_inp_live_test.cpp), plus the start and stop paths that need no display.
#include "CVelora/cvelora.h"
#include "test_support.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace
{
constexpr uint8_t kA = 30, kB = 48, kZ = 44, kSpace = 57, kBack = 14, kLShift = 42, kRShift = 54,
                  kCaps = 58, kEscape = 1;

class InpStateTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_pVLA = new CVelora;
    }
    void TearDown() override
    {
        delete m_pVLA;
        TempDirTest::TearDown();
    }

    // One frame of keyboard state: fp_Prev held before, fp_Now held now.
    void Keys(std::initializer_list<uint8_t> fp_Prev, std::initializer_list<uint8_t> fp_Now)
    {
        std::memset(m_pVLA->m_aInpPrevKeyState, 0, 256);
        std::memset(m_pVLA->m_aInpKeyState, 0, 256);
        for (uint8_t k : fp_Prev)
            m_pVLA->m_aInpPrevKeyState[k] = 0x80;
        for (uint8_t k : fp_Now)
            m_pVLA->m_aInpKeyState[k] = 0x80;
    }
    // The next frame: the current state becomes the previous one.
    void NextFrame(std::initializer_list<uint8_t> fp_Now)
    {
        std::memcpy(m_pVLA->m_aInpPrevKeyState, m_pVLA->m_aInpKeyState, 256);
        std::memset(m_pVLA->m_aInpKeyState, 0, 256);
        for (uint8_t k : fp_Now)
            m_pVLA->m_aInpKeyState[k] = 0x80;
        m_pVLA->KeyboardUpdateTextBuffer();
    }

    CVelora* m_pVLA = nullptr;
};

struct TypedCase
{
    uint8_t m_uiKey;
    char m_cPlain;
    char m_cShift;
};

// The whole typed-character table, written out from the key layout.
constexpr TypedCase kTyped[] = {
    {30, 'a', 'A'}, {48, 'b', 'B'}, {46, 'c', 'C'}, {32, 'd', 'D'},  {18, 'e', 'E'}, {33, 'f', 'F'},
    {34, 'g', 'G'}, {35, 'h', 'H'}, {23, 'i', 'I'}, {36, 'j', 'J'},  {37, 'k', 'K'}, {38, 'l', 'L'},
    {50, 'm', 'M'}, {49, 'n', 'N'}, {24, 'o', 'O'}, {25, 'p', 'P'},  {16, 'q', 'Q'}, {19, 'r', 'R'},
    {31, 's', 'S'}, {20, 't', 'T'}, {22, 'u', 'U'}, {47, 'v', 'V'},  {17, 'w', 'W'}, {45, 'x', 'X'},
    {21, 'y', 'Y'}, {44, 'z', 'Z'}, {41, 96, 126},  {2, '1', '!'},   {3, '2', '@'},  {4, '3', '#'},
    {5, '4', '$'},  {6, '5', '%'},  {7, '6', '^'},  {8, '7', '&'},   {9, '8', '*'},  {10, '9', '('},
    {11, '0', ')'}, {12, '-', '_'}, {13, '=', '+'}, {26, '[', '{'},  {27, ']', '}'}, {39, ';', ':'},
    {40, 39, 34},   {43, 92, 124},  {51, ',', '<'}, {52, '.', '>'},  {53, '/', '?'}, {82, '0', '0'},
    {79, '1', '1'}, {80, '2', '2'}, {81, '3', '3'}, {75, '4', '4'},  {76, '5', '5'}, {77, '6', '6'},
    {71, '7', '7'}, {72, '8', '8'}, {73, '9', '9'}, {181, '/', '/'}, {55, '*', '*'}, {74, '-', '-'},
    {78, '+', '+'}, {57, ' ', ' '},
};
} // namespace

TEST_F(InpStateTest, QueriesAreZeroBeforeTheFirstUpdate)
{
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 0);
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 0);
    EXPECT_EQ(m_pVLA->MouseGetAnyPressedKey(), 0);
    EXPECT_EQ(m_pVLA->MouseGetWheelDelta(), 0);
    int32_t x = -1, y = -1;
    m_pVLA->MouseGetCursorPos(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(m_pVLA->MouseGetCursorStatus());
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "");
    EXPECT_EQ(m_pVLA->m_uiInpTextBufferMax, 255u);
    // No input object: the per-frame hooks do nothing.
    m_pVLA->InpUpdate();
    m_pVLA->InpReacquire();
}

TEST_F(InpStateTest, TypedCharacterTableWithAndWithoutShift)
{
    for (const TypedCase& c : kTyped)
    {
        Keys({}, {c.m_uiKey});
        EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), static_cast<uint8_t>(c.m_cPlain))
            << "key " << int(c.m_uiKey);
        for (uint8_t shift : {kLShift, kRShift})
        {
            Keys({shift}, {shift, c.m_uiKey});
            EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), static_cast<uint8_t>(c.m_cShift))
                << "key " << int(c.m_uiKey) << " shift " << int(shift);
        }
        // Held since the previous frame: nothing typed.
        Keys({c.m_uiKey}, {c.m_uiKey});
        EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 0) << "key " << int(c.m_uiKey);
    }
}

TEST_F(InpStateTest, KeysOutsideTheTableTypeNothing)
{
    for (int k = 0; k < 256; ++k)
    {
        bool inTable = false;
        for (const TypedCase& c : kTyped)
            inTable = inTable || c.m_uiKey == k;
        if (inTable)
            continue;
        Keys({}, {static_cast<uint8_t>(k)});
        EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 0) << "key " << k;
    }
}

TEST_F(InpStateTest, CapsLockIsIgnoredAndTheFirstKeyInTableOrderWins)
{
    Keys({kCaps}, {kCaps, kA});
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'a');
    Keys({}, {kB, kA}); // both went down this frame: A comes first in the table
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'a');
    Keys({kA}, {kA, kB}); // A held, B new
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'b');
    Keys({}, {kSpace, kZ}); // letters come before Space
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'z');
}

TEST_F(InpStateTest, PressedClickedAndAnyPressedKey)
{
    Keys({}, {kEscape, kA});
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), kEscape);
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyPressed(kA));
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyClicked(kA));
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyClicked(kA + 256)); // only the low 8 bits count
    EXPECT_FALSE(m_pVLA->KeyboardIsKeyPressed(kB));
    Keys({kA}, {kA});
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyPressed(kA));
    EXPECT_FALSE(m_pVLA->KeyboardIsKeyClicked(kA));
    Keys({}, {255}); // code 255 is not examined
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 0);
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyPressed(255));
    Keys({}, {254});
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 254);
}

TEST_F(InpStateTest, TextBufferOneCharacterPerPress)
{
    Keys({}, {});
    NextFrame({kLShift});
    NextFrame({kLShift, kA}); // Shift+A
    NextFrame({kLShift, kA}); // held: no repeat
    NextFrame({});
    NextFrame({kB});
    NextFrame({kB, kSpace});
    NextFrame({kSpace});
    NextFrame({});
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "Ab ");
}

TEST_F(InpStateTest, TextBufferSpaceWinsOverALetterOfTheSameFrame)
{
    Keys({}, {});
    NextFrame({kSpace, kA});
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), " ");
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'a');
}

TEST_F(InpStateTest, TextBufferBackspace)
{
    Keys({}, {});
    NextFrame({kBack}); // empty: nothing to remove
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "");
    m_pVLA->KeyboardSetTextInBuffer("xyz");
    NextFrame({});
    NextFrame({kBack, kA}); // Backspace decides the frame; the letter is not typed
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "xy");
    NextFrame({kBack}); // held
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "xy");
}

TEST_F(InpStateTest, TextBufferSpaceBeyondTheMaximumLastsOneFrame)
{
    m_pVLA->KeyboardSetTextBufferSize(3);
    m_pVLA->KeyboardSetTextInBuffer("abc");
    Keys({}, {});
    NextFrame({kSpace});
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "abc ");
    NextFrame({kSpace}); // held Space: the update reaches the cut
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "abc");
    NextFrame({kA}); // a letter at the maximum is cut off again
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "abc");
}

TEST_F(InpStateTest, TextBufferSizeAndSetText)
{
    m_pVLA->KeyboardSetTextInBuffer("hello");
    m_pVLA->KeyboardSetTextBufferSize(3);
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "hel"); // cut at once
    m_pVLA->KeyboardSetTextInBuffer("world");
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "world"); // the maximum is not applied here
    Keys({}, {});
    NextFrame({kBack}); // Backspace stops before the cut
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "worl");
    NextFrame({});
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "wor");

    m_pVLA->KeyboardSetTextBufferSize(static_cast<uint32_t>(-1));
    EXPECT_EQ(m_pVLA->m_uiInpTextBufferMax, 4294967295u);
    m_pVLA->KeyboardSetTextInBuffer(std::string(1000, 'q'));
    NextFrame({kA});
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer().size(), 1001u);

    m_pVLA->KeyboardSetTextBufferSize(0);
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "");
}

TEST_F(InpStateTest, MouseButtonsWheelAndDeltas)
{
    PlatMouseState2& now = m_pVLA->m_InpMouseState;
    PlatMouseState2& prev = m_pVLA->m_InpPrevMouseState;
    now.rgbButtons[1] = 0x80; // right
    now.rgbButtons[7] = 0x80; // button 8
    EXPECT_EQ(m_pVLA->MouseGetAnyPressedKey(), 2);
    EXPECT_TRUE(m_pVLA->MouseIsKeyPressed(2));
    EXPECT_TRUE(m_pVLA->MouseIsKeyClicked(2));
    EXPECT_TRUE(m_pVLA->MouseIsKeyPressed(8));
    EXPECT_FALSE(m_pVLA->MouseIsKeyPressed(1));
    for (int bad : {0, 9, -1, 256})
    {
        EXPECT_FALSE(m_pVLA->MouseIsKeyPressed(bad)) << bad;
        EXPECT_FALSE(m_pVLA->MouseIsKeyClicked(bad)) << bad;
    }
    prev.rgbButtons[1] = 0x80;
    EXPECT_TRUE(m_pVLA->MouseIsKeyPressed(2));
    EXPECT_FALSE(m_pVLA->MouseIsKeyClicked(2));

    for (const auto& [z, sign] : {std::pair{120, 1}, {1, 1}, {-240, -1}, {-1, -1}, {0, 0}})
    {
        now.lZ = z;
        EXPECT_EQ(m_pVLA->MouseGetWheelDelta(), sign) << z;
    }
    now.lX = -7;
    now.lY = 9;
    EXPECT_EQ(m_pVLA->MouseGetDeltaX(), -7);
    EXPECT_EQ(m_pVLA->MouseGetDeltaY(), 9);
    m_pVLA->m_iInpPrevCursorX = 100;
    m_pVLA->m_iInpCursorX = 130;
    m_pVLA->m_iInpPrevCursorY = 50;
    m_pVLA->m_iInpCursorY = 40;
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaX(), 30);
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaY(), -10);
}

TEST_F(InpStateTest, StartBeforeGraphicsIsAGameError)
{
    try
    {
        m_pVLA->InpInit();
        FAIL() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GAME);
        EXPECT_EQ(e.m_iCode, 0);
        EXPECT_EQ(e.m_strDesc, "Input system should be initialized after graphics system!");
    }
    // The flag is set before the check, so the teardown still stops the subsystem.
    EXPECT_TRUE(m_pVLA->m_bInpInitialised);
    m_pVLA->InpDeinit();
    EXPECT_FALSE(m_pVLA->m_bInpInitialised);
    const std::string sep = "|" + std::string(51, '-') + "|\n";
    EXPECT_EQ(ReadFile("gamelog.txt"), sep + "--==: Initializing Input Subsystem...\n" + sep +
                                           "--==: Deinitializing Input Subsystem...\n" +
                                           "   +: Done.\n" + sep + "\n");
}
