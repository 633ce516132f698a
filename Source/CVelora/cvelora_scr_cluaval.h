// CLuaValue: the typed value that travels between the engine and script functions (a number,
// a boolean, a string, or the global name of a function). A plain value type; the getters
// refuse to read a field the value does not hold.
#pragma once

#include <string>

enum LuaValueStatus
{
    LUAVAL_NONE = 0,
    LUAVAL_NUMBER = 1,
    LUAVAL_BOOLEAN = 2,
    LUAVAL_STRING = 3,
    LUAVAL_FUNCTION = 4,
};

class CLuaValue
{
public:
    // Holds nothing (status 0); a call refuses to pass such a value to a script.
    CLuaValue() = default;
    explicit CLuaValue(double fp_dNumber);
    explicit CLuaValue(int fp_iNumber) : CLuaValue(static_cast<double>(fp_iNumber)) {}
    explicit CLuaValue(bool fp_bBoolean);
    // Status 4 (a function's global name) when fp_bIsFunction, else status 3 (a string).
    CLuaValue(const std::string& fp_strText, bool fp_bIsFunction = false);
    // Without this a string literal would pick the boolean constructor.
    CLuaValue(const char* fp_pszText, bool fp_bIsFunction = false)
        : CLuaValue(std::string(fp_pszText), fp_bIsFunction)
    {
    }

    int GetStatus() const { return m_iStatus; }
    double GetNumber() const;
    bool GetBoolean() const;
    const std::string& GetString() const;
    const std::string& GetFunction() const;

private:
    double m_dNumber = 0.0;
    bool m_bBoolean = false;
    std::string m_strText;
    int m_iStatus = LUAVAL_NONE;
};
