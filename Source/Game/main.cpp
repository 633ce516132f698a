// The quibbet executable: hands the game's entry routine to the engine's program entry.
#include "CVelora/cvelora.h"
#include "Game/engineroutine.h"

int main()
{
    return VeloraProgramEntry(GameMain);
}
