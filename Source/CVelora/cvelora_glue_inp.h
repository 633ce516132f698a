// Script API, VLA_INP_ group: keyboard, typed text and mouse.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueINP(std::vector<SGlueEntry>& fp_Table);
