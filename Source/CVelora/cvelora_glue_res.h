// Script API, VLA_RES_ group: loading resources.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueRES(std::vector<SGlueEntry>& fp_Table);
