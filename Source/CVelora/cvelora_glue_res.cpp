// Script API, VLA_RES_ group: thin native functions over loading resources.
#include "CVelora/cvelora_glue_res.h"

#include "CVelora/cvelora.h"

namespace
{
[[maybe_unused]] constexpr int kFileID = 150;
}

void AppendGlueRES(std::vector<SGlueEntry>& fp_Table)
{
    (void)fp_Table;
}
