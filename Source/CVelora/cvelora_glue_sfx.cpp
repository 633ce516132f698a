// Script API, VLA_SFX_ group: thin native functions over sounds, music and playlists.
#include "CVelora/cvelora_glue_sfx.h"

#include "CVelora/cvelora.h"

namespace
{
[[maybe_unused]] constexpr int kFileID = 149;
}

void AppendGlueSFX(std::vector<SGlueEntry>& fp_Table)
{
    (void)fp_Table;
}
