// Script API, VLA_GFX_ group: scene, quads, textures, techniques and fonts.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueGFX(std::vector<SGlueEntry>& fp_Table);
