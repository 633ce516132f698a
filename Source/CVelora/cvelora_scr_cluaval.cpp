// CLuaValue: construction and the status-checked getters.
#include "CVelora/cvelora_scr_cluaval.h"

#include "CVelora/cvelora_ehs.h"

namespace
{
constexpr int kFileID = 139;
}

CLuaValue::CLuaValue(double fp_dNumber) : m_dNumber(fp_dNumber), m_iStatus(LUAVAL_NUMBER) {}

CLuaValue::CLuaValue(bool fp_bBoolean) : m_bBoolean(fp_bBoolean), m_iStatus(LUAVAL_BOOLEAN) {}

CLuaValue::CLuaValue(const std::string& fp_strText, bool fp_bIsFunction)
    : m_strText(fp_strText), m_iStatus(fp_bIsFunction ? LUAVAL_FUNCTION : LUAVAL_STRING)
{
}

double CLuaValue::GetNumber() const
{
    Checkpoint(kFileID);
    if (m_iStatus != LUAVAL_NUMBER)
        ThrowGeneral("CLuaValue error: cannot return number because of different status!");
    return m_dNumber;
}

bool CLuaValue::GetBoolean() const
{
    Checkpoint(kFileID);
    if (m_iStatus != LUAVAL_BOOLEAN)
        ThrowGeneral("CLuaValue error: cannot return boolean because of different status!");
    return m_bBoolean;
}

const std::string& CLuaValue::GetString() const
{
    Checkpoint(kFileID);
    if (m_iStatus != LUAVAL_STRING)
        ThrowGeneral("CLuaValue error: cannot return string because of different status!");
    return m_strText;
}

const std::string& CLuaValue::GetFunction() const
{
    Checkpoint(kFileID);
    if (m_iStatus != LUAVAL_FUNCTION)
        ThrowGeneral("CLuaValue error: cannot return function because of different status!");
    return m_strText;
}
