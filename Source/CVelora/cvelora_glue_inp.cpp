// Script API, VLA_INP_ group: thin native functions over keyboard, typed text and mouse.
#include "CVelora/cvelora_glue_inp.h"

#include "CVelora/cvelora.h"

namespace
{
[[maybe_unused]] constexpr int kFileID = 148;
}

void AppendGlueINP(std::vector<SGlueEntry>& fp_Table)
{
    (void)fp_Table;
}
