// Script API, VLA_GFX_ group: thin native functions over scene, quads, textures, techniques and
// fonts.
#include "CVelora/cvelora_glue_gfx.h"

#include "CVelora/cvelora.h"

namespace
{
[[maybe_unused]] constexpr int kFileID = 147;
}

void AppendGlueGFX(std::vector<SGlueEntry>& fp_Table)
{
    (void)fp_Table;
}
