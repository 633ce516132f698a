// Key names: the fixed table of the 141 names GUI data may use for keys ("ESCAPE", "F1", ...)
// and their one-byte key codes. Pure lookups; no engine state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct VLAKeyName
{
    const char* m_pszName;
    uint8_t m_uiCode;
};

// Key code of a name compared whole and case-sensitively; 0 when the name is not in the table.
uint8_t KeyNameToCode(std::string_view fp_strName);

// The whole table, for tools and tests.
const VLAKeyName* GetKeyNameTable(size_t& fp_uiCount);
