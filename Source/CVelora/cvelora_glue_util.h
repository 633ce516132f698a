// Script API, VLAUTIL_ group: the demand helpers (strID to iID, loading on first use).
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueUTIL(std::vector<SGlueEntry>& fp_Table);
