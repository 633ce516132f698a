// XML variables: named settings declared by program code (usually with static storage
// duration) whose values come from `xmldata` resources. Owns the process-wide registry of
// variables by ID and the XMLDATA resource loader.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CXMLVar
{
public:
    // Registers the variable under fp_pszID; a second variable with the same ID raises a Game
    // error.
    explicit CXMLVar(const char* fp_pszID);
    // Destroys the whole registry (variables live until program end, where the order of their
    // destruction is not known); later destructors find none.
    virtual ~CXMLVar();
    CXMLVar(const CXMLVar&) = delete;
    CXMLVar& operator=(const CXMLVar&) = delete;

    virtual void SetFromText(const std::string& fp_strText) = 0;

    using VarsMap = std::map<std::string, CXMLVar*>;
    static VarsMap* CreateXMLVarsMap();
    static void DeleteXMLVarsMap();
    // Assigns fp_strValue to the variable registered as fp_strName; an unknown name writes the
    // warning "Warning: unused xml variable: " + name.
    static void SetXMLVar(const std::string& fp_strName, const std::string& fp_strValue);

private:
    static VarsMap* s_pVarsMap;
};

class CXMLVarInt : public CXMLVar
{
public:
    explicit CXMLVarInt(const char* fp_pszID) : CXMLVar(fp_pszID) {}
    // Decimal integer by stream extraction; a text without a number keeps the value.
    void SetFromText(const std::string& fp_strText) override;

    int32_t m_iValue = 0;
};

class CXMLVarFloat : public CXMLVar
{
public:
    explicit CXMLVarFloat(const char* fp_pszID) : CXMLVar(fp_pszID) {}
    // Floating-point number by stream extraction; a text without a number keeps the value.
    void SetFromText(const std::string& fp_strText) override;

    float m_fValue = 0.0f;
};

// The XMLDATA loader: applies every attribute of every child of an `xmldata` root.
void RESLOAD_XMLData(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                     int fp_iData1, int fp_iData2, int fp_iData3);
