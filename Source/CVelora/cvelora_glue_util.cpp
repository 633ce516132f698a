// Script API, VLAUTIL_ group: thin native functions over the demand helpers (strID to iID, loading
// on first use).
#include "CVelora/cvelora_glue_util.h"

#include "CVelora/cvelora.h"

namespace
{
[[maybe_unused]] constexpr int kFileID = 151;
}

void AppendGlueUTIL(std::vector<SGlueEntry>& fp_Table)
{
    (void)fp_Table;
}
