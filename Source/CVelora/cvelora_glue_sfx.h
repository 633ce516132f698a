// Script API, VLA_SFX_ group: sounds, music and playlists.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueSFX(std::vector<SGlueEntry>& fp_Table);
