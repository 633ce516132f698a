// Demand helpers: turn a strID into the iID of a loaded object, loading its resource on first
// use. A resource that is still missing after the load is a Game error.
#pragma once

#include <string>

int DemandTexture(const std::string& fp_strID);
// Finds the technique; on a miss loads the technique pack fp_strTechPackID that holds it.
int DemandTechnique(const std::string& fp_strID, const std::string& fp_strTechPackID);
int DemandFont(const std::string& fp_strID);
int DemandSound(const std::string& fp_strID);
int DemandMusic(const std::string& fp_strID);
int DemandPlaylist(const std::string& fp_strID);
