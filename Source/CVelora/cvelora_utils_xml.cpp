// The XML reader (see cvelora_utils_xml.h). Parsing works in place: attribute names and values
// stay in the document's buffer and are ended by writing a NUL over the byte that ended them,
// which the state machine never reads again. Every state is bounded by the buffer's end.
#include "CVelora/cvelora_utils_xml.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace
{
// Byte classes of the state machine.
enum : uint8_t
{
    XC_SPACE = 1,   // space, TAB, LF
    XC_ELEMEND = 2, // ends an element name: space, TAB, LF, '/', '>'
    XC_ATTREND = 4, // ends an attribute name: space, TAB, LF, '='
    XC_DECLEND = 8, // ends a declaration target: space, TAB, LF, '?'
};

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> tmp_Table{};
    for (unsigned char c : {' ', '\t', '\n'})
        tmp_Table[c] = XC_SPACE | XC_ELEMEND | XC_ATTREND | XC_DECLEND;
    tmp_Table['/'] |= XC_ELEMEND;
    tmp_Table['>'] |= XC_ELEMEND;
    tmp_Table['='] |= XC_ATTREND;
    tmp_Table['?'] |= XC_DECLEND;
    return tmp_Table;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool Is(char fp_c, uint8_t fp_uClass)
{
    return (kClasses[static_cast<unsigned char>(fp_c)] & fp_uClass) != 0;
}

// Position of the first byte at or after fp_uPos in the class, or fp_uEnd.
inline size_t SkipUntil(const char* fp_pBuf, size_t fp_uPos, size_t fp_uEnd, uint8_t fp_uClass)
{
    while (fp_uPos < fp_uEnd && !Is(fp_pBuf[fp_uPos], fp_uClass))
        ++fp_uPos;
    return fp_uPos;
}

inline size_t SkipSpace(const char* fp_pBuf, size_t fp_uPos, size_t fp_uEnd)
{
    while (fp_uPos < fp_uEnd && Is(fp_pBuf[fp_uPos], XC_SPACE))
        ++fp_uPos;
    return fp_uPos;
}

// Position of the first fp_c at or after fp_uPos, or fp_uEnd when there is none.
inline size_t Find(const char* fp_pBuf, size_t fp_uPos, size_t fp_uEnd, char fp_c)
{
    if (fp_uPos >= fp_uEnd)
        return fp_uEnd;
    const void* tmp_p = std::memchr(fp_pBuf + fp_uPos, fp_c, fp_uEnd - fp_uPos);
    return tmp_p ? static_cast<size_t>(static_cast<const char*>(tmp_p) - fp_pBuf) : fp_uEnd;
}

// One attribute as read: positions in the buffer. Complete is false when the buffer ended
// before the closing quote; the caller then stops.
struct RawAttr
{
    size_t m_uName, m_uNameLen, m_uValue, m_uValueLen;
    bool m_bComplete;
};

inline RawAttr ReadAttribute(const char* fp_pBuf, size_t& fp_uPos, size_t fp_uEnd)
{
    RawAttr tmp_Attr{};
    tmp_Attr.m_uName = fp_uPos;
    const size_t tmp_uNameEnd = SkipUntil(fp_pBuf, fp_uPos, fp_uEnd, XC_ATTREND);
    tmp_Attr.m_uNameLen = tmp_uNameEnd - fp_uPos;
    const size_t tmp_uOpen = Find(fp_pBuf, tmp_uNameEnd, fp_uEnd, '"');
    if (tmp_uOpen >= fp_uEnd)
    {
        fp_uPos = fp_uEnd;
        return tmp_Attr;
    }
    tmp_Attr.m_uValue = tmp_uOpen + 1;
    const size_t tmp_uClose = Find(fp_pBuf, tmp_Attr.m_uValue, fp_uEnd, '"');
    if (tmp_uClose >= fp_uEnd)
    {
        fp_uPos = fp_uEnd;
        return tmp_Attr;
    }
    tmp_Attr.m_uValueLen = tmp_uClose - tmp_Attr.m_uValue;
    tmp_Attr.m_bComplete = true;
    fp_uPos = tmp_uClose + 1;
    return tmp_Attr;
}
} // namespace

void XMLApplyKey(unsigned char* fp_pData, size_t fp_uSize)
{
    for (size_t i = 0; i < fp_uSize; ++i)
        fp_pData[i] ^= kXMLKey;
}

void ThrowPlainText(const std::string& fp_strText)
{
    // A few rotating slots keep a text alive while its handler reads it, without growing.
    static std::string s_Texts[4];
    static unsigned s_uNext = 0;
    std::string& tmp_strSlot = s_Texts[s_uNext++ % 4];
    tmp_strSlot = fp_strText;
    throw static_cast<const char*>(tmp_strSlot.c_str());
}

// ---------------------------------------------------------------------------------------------
// CXMLNode

CXMLNode* CXMLNode::GetChild(int fp_iIndex) const
{
    if (fp_iIndex < 0 || static_cast<uint32_t>(fp_iIndex) >= m_uChildCount)
        return nullptr;
    return m_ppChildren[fp_iIndex];
}

std::string_view CXMLNode::GetAttributeView(std::string_view fp_Name) const
{
    const Attr* tmp_pBegin = m_pAttrs;
    const Attr* tmp_pEnd = m_pAttrs + m_uAttrCount;
    const Attr* tmp_pIt =
        std::lower_bound(tmp_pBegin, tmp_pEnd, fp_Name,
                         [](const Attr& a, std::string_view n)
                         {
                             // char_traits<char> compares as unsigned bytes, a prefix first.
                             return std::string_view(a.m_pszName, a.m_uNameLen) < n;
                         });
    if (tmp_pIt != tmp_pEnd && std::string_view(tmp_pIt->m_pszName, tmp_pIt->m_uNameLen) == fp_Name)
        return {tmp_pIt->m_pszValue, tmp_pIt->m_uValueLen};
    return {};
}

// ---------------------------------------------------------------------------------------------
// CXMLDocument: loading

void CXMLDocument::LoadFromFile(const std::string& fp_strPath, bool fp_bDecode)
{
    ResetTree();
    m_strBuffer.clear();
    m_strName = fp_strPath;

    if (std::FILE* tmp_pFile = std::fopen(fp_strPath.c_str(), "rb"))
    {
        std::string tmp_strRaw;
        char tmp_Chunk[65536];
        size_t tmp_uRead;
        while ((tmp_uRead = std::fread(tmp_Chunk, 1, sizeof tmp_Chunk, tmp_pFile)) > 0)
            tmp_strRaw.append(tmp_Chunk, tmp_uRead);
        std::fclose(tmp_pFile);

        // Text mode: CR LF reads as LF, a lone CR stays, 0x1A ends the input.
        m_strBuffer.resize(tmp_strRaw.size());
        const size_t tmp_uSize = tmp_strRaw.size();
        size_t tmp_uOut = 0;
        for (size_t i = 0; i < tmp_uSize; ++i)
        {
            char tmp_c = tmp_strRaw[i];
            if (tmp_c == '\x1A')
                break;
            if (tmp_c == '\r' && i + 1 < tmp_uSize && tmp_strRaw[i + 1] == '\n')
                continue;
            m_strBuffer[tmp_uOut++] = tmp_c;
        }
        m_strBuffer.resize(tmp_uOut);
        if (fp_bDecode)
            XMLApplyKey(reinterpret_cast<unsigned char*>(m_strBuffer.data()), m_strBuffer.size());
    }

    if (m_strBuffer.empty())
        ThrowPlainText("XMLERROR: the file is empty - " + fp_strPath);
}

void CXMLDocument::LoadFromBuffer(const void* fp_pData, int fp_iSize, bool fp_bDecode,
                                  const std::string& fp_strName)
{
    ResetTree();
    m_strBuffer.clear();
    m_strName = fp_strName.empty() ? std::string("memory buffer") : fp_strName;

    if (fp_pData != nullptr && fp_iSize > 0)
    {
        const unsigned char* tmp_pIn = static_cast<const unsigned char*>(fp_pData);
        const unsigned char tmp_uKey = fp_bDecode ? kXMLKey : 0;
        m_strBuffer.resize(static_cast<size_t>(fp_iSize));
        char* tmp_pOut = m_strBuffer.data();
        size_t tmp_uOut = 0;
        for (int i = 0; i < fp_iSize; ++i)
        {
            const unsigned char tmp_c = tmp_pIn[i] ^ tmp_uKey;
            tmp_pOut[tmp_uOut] = static_cast<char>(tmp_c);
            tmp_uOut += (tmp_c != '\r');
        }
        m_strBuffer.resize(tmp_uOut);
    }

    if (m_strBuffer.empty())
        ThrowPlainText("XMLERROR: buffer is empty.");
}

// ---------------------------------------------------------------------------------------------
// CXMLDocument: tree storage

void CXMLDocument::ResetTree()
{
    m_strDeclName.clear();
    m_DeclAttrs.clear();
    m_bHasDecl = false;
    m_bParsed = false;
    m_Attrs.clear();
    m_Children.clear();
    m_NodeChunks.clear();
    m_uNodeCount = 0;

    m_Root.m_pParent = nullptr;
    m_Root.m_pName = "";
    m_Root.m_uNameLen = 0;
    m_Root.m_pAttrs = nullptr;
    m_Root.m_uAttrCount = m_Root.m_uAttrCursor = 0;
    m_Root.m_ppChildren = nullptr;
    m_Root.m_uChildCount = 0;
    m_Root.m_uAttrFirst = 0;
    m_Root.m_pFirstChild = m_Root.m_pLastChild = m_Root.m_pNextSibling = nullptr;
}

CXMLNode* CXMLDocument::NewNode()
{
    if (m_NodeChunks.empty() || m_NodeChunks.back().m_uUsed == m_NodeChunks.back().m_uSize)
    {
        const size_t tmp_uSize =
            m_NodeChunks.empty() ? 32 : std::min<size_t>(m_NodeChunks.back().m_uSize * 2, 8192);
        m_NodeChunks.push_back({std::make_unique<CXMLNode[]>(tmp_uSize), tmp_uSize, 0});
    }
    ++m_uNodeCount;
    NodeChunk& tmp_Chunk = m_NodeChunks.back();
    return &tmp_Chunk.m_pNodes[tmp_Chunk.m_uUsed++];
}

// Sorts the node's attributes (the tail of the list) by name; of equal names the later stays.
void CXMLDocument::FinishAttributes(CXMLNode* fp_pNode)
{
    auto tmp_Begin = m_Attrs.begin() + fp_pNode->m_uAttrFirst;
    auto tmp_End = m_Attrs.end();
    const auto tmp_Less = [](const CXMLNode::Attr& a, const CXMLNode::Attr& b)
    {
        return std::string_view(a.m_pszName, a.m_uNameLen) <
               std::string_view(b.m_pszName, b.m_uNameLen);
    };
    const size_t tmp_uCount = static_cast<size_t>(tmp_End - tmp_Begin);
    if (tmp_uCount > 1)
    {
        // Stable, so that of equal names the one written last ends up last.
        if (tmp_uCount <= 16)
        {
            for (auto i = tmp_Begin + 1; i != tmp_End; ++i)
            {
                CXMLNode::Attr tmp_Item = *i;
                auto j = i;
                while (j != tmp_Begin && tmp_Less(tmp_Item, *(j - 1)))
                {
                    *j = *(j - 1);
                    --j;
                }
                *j = tmp_Item;
            }
        }
        else
        {
            std::stable_sort(tmp_Begin, tmp_End, tmp_Less);
        }
        // Keep the last of each run of equal names.
        auto tmp_Out = tmp_Begin;
        for (auto i = tmp_Begin; i != tmp_End; ++i)
        {
            if (i + 1 != tmp_End && !tmp_Less(*i, *(i + 1)))
                continue;
            *tmp_Out++ = *i;
        }
        m_Attrs.erase(tmp_Out, tmp_End);
    }
    fp_pNode->m_uAttrCount = static_cast<uint32_t>(m_Attrs.size() - fp_pNode->m_uAttrFirst);
}

void CXMLDocument::BuildChildArrays()
{
    m_Children.resize(m_uNodeCount);
    size_t tmp_uNext = 0;
    auto tmp_Place = [&](CXMLNode* fp_pNode)
    {
        fp_pNode->m_pAttrs = m_Attrs.data() + fp_pNode->m_uAttrFirst;
        fp_pNode->m_ppChildren = m_Children.data() + tmp_uNext;
        for (CXMLNode* c = fp_pNode->m_pFirstChild; c != nullptr; c = c->m_pNextSibling)
            m_Children[tmp_uNext++] = c;
    };
    tmp_Place(&m_Root);
    for (NodeChunk& tmp_Chunk : m_NodeChunks)
        for (size_t i = 0; i < tmp_Chunk.m_uUsed; ++i)
            tmp_Place(&tmp_Chunk.m_pNodes[i]);
}

// ---------------------------------------------------------------------------------------------
// CXMLDocument: the parse state machine

void CXMLDocument::Parse()
{
    if (m_bParsed)
        return;
    ResetTree();
    m_bParsed = true;

    char* const b = m_strBuffer.data();
    const size_t n = m_strBuffer.size();
    size_t p = 0;
    CXMLNode* tmp_pCurrent = nullptr;
    bool tmp_bClosed = false;

    // A byte at or past the end reads as NUL.
    const auto At = [&](size_t i) -> char { return i < n ? b[i] : '\0'; };

    while (p < n && !tmp_bClosed)
    {
        // Scan
        const size_t tmp_uLt = Find(b, p, n, '<');
        if (tmp_uLt >= n)
            break;
        const char tmp_cKind = At(tmp_uLt + 1);

        if (tmp_cKind == '!')
        {
            // Comment (and every other <! construct): up to the next "-->".
            p = tmp_uLt + 3;
            if (p >= n)
                break;
            const size_t tmp_uEnd = std::string_view(b, n).find("-->", p);
            if (tmp_uEnd == std::string_view::npos)
                break;
            p = tmp_uEnd + 3;
        }
        else if (tmp_cKind == '/')
        {
            // Close: any closing tag closes the current node; the name is not compared.
            const size_t tmp_uGt = Find(b, tmp_uLt + 2, n, '>');
            if (tmp_uGt >= n)
                break;
            p = tmp_uGt + 1;
            if (tmp_pCurrent == nullptr)
                continue; // a closing tag before the first element closes nothing
            if (tmp_pCurrent == &m_Root)
                tmp_bClosed = true;
            else
                tmp_pCurrent = tmp_pCurrent->m_pParent;
        }
        else if (tmp_cKind == '?')
        {
            // Declaration (processing instruction).
            p = tmp_uLt + 2;
            const size_t tmp_uNameEnd = SkipUntil(b, p, n, XC_DECLEND);
            m_strDeclName.assign(b + std::min(p, n), b + tmp_uNameEnd);
            m_bHasDecl = true;
            p = tmp_uNameEnd;
            while (true)
            {
                p = SkipSpace(b, p, n);
                if (p >= n)
                    break;
                if (b[p] == '?' && At(p + 1) == '>')
                {
                    p += 2;
                    break;
                }
                const RawAttr tmp_Attr = ReadAttribute(b, p, n);
                if (!tmp_Attr.m_bComplete)
                    break;
                m_DeclAttrs[std::string(b + tmp_Attr.m_uName, tmp_Attr.m_uNameLen)] =
                    std::string(b + tmp_Attr.m_uValue, tmp_Attr.m_uValueLen);
            }
        }
        else
        {
            // Element.
            CXMLNode* tmp_pNode;
            if (tmp_pCurrent == nullptr)
            {
                tmp_pNode = &m_Root;
            }
            else
            {
                tmp_pNode = NewNode();
                tmp_pNode->m_pParent = tmp_pCurrent;
                if (tmp_pCurrent->m_pLastChild)
                    tmp_pCurrent->m_pLastChild->m_pNextSibling = tmp_pNode;
                else
                    tmp_pCurrent->m_pFirstChild = tmp_pNode;
                tmp_pCurrent->m_pLastChild = tmp_pNode;
                ++tmp_pCurrent->m_uChildCount;
            }
            tmp_pCurrent = tmp_pNode;

            p = tmp_uLt + 1;
            const size_t tmp_uNameEnd = SkipUntil(b, p, n, XC_ELEMEND);
            tmp_pNode->m_pName = b + p;
            tmp_pNode->m_uNameLen = static_cast<uint32_t>(tmp_uNameEnd - p);
            tmp_pNode->m_uAttrFirst = static_cast<uint32_t>(m_Attrs.size());
            p = tmp_uNameEnd;

            while (true)
            {
                p = SkipSpace(b, p, n);
                if (p >= n)
                    break;
                if (b[p] == '/' && At(p + 1) == '>')
                {
                    p += 2;
                    if (tmp_pNode == &m_Root)
                        tmp_bClosed = true;
                    else
                        tmp_pCurrent = tmp_pNode->m_pParent;
                    break;
                }
                if (b[p] == '>')
                {
                    ++p;
                    break;
                }
                const RawAttr tmp_Attr = ReadAttribute(b, p, n);
                if (!tmp_Attr.m_bComplete)
                    break;
                // End both texts in place; the bytes overwritten (a name delimiter that is not
                // a quote, and the closing quote) are behind the position for good.
                b[tmp_Attr.m_uName + tmp_Attr.m_uNameLen] = '\0';
                b[tmp_Attr.m_uValue + tmp_Attr.m_uValueLen] = '\0';
                m_Attrs.push_back({b + tmp_Attr.m_uName, static_cast<uint32_t>(tmp_Attr.m_uNameLen),
                                   b + tmp_Attr.m_uValue,
                                   static_cast<uint32_t>(tmp_Attr.m_uValueLen)});
            }
            FinishAttributes(tmp_pNode);
        }
    }

    BuildChildArrays();
    if (!tmp_bClosed)
        ThrowPlainText("XMLERROR: root element is not closed - " + m_strName);
}

// ---------------------------------------------------------------------------------------------
// CXMLDocument: dump

void CXMLDocument::DumpAttributes(const CXMLNode* fp_pNode, std::string& fp_strOut)
{
    for (uint32_t i = 0; i < fp_pNode->m_uAttrCount; ++i)
    {
        const CXMLNode::Attr& a = fp_pNode->m_pAttrs[i];
        fp_strOut += ' ';
        fp_strOut.append(a.m_pszName, a.m_uNameLen);
        fp_strOut += "=\"";
        fp_strOut.append(a.m_pszValue, a.m_uValueLen);
        fp_strOut += '"';
    }
}

std::string CXMLDocument::DumpTree() const
{
    std::string tmp_strOut;
    if (m_bHasDecl)
    {
        tmp_strOut += '?';
        tmp_strOut += m_strDeclName;
        for (const auto& [tmp_strName, tmp_strValue] : m_DeclAttrs)
            tmp_strOut += ' ' + tmp_strName + "=\"" + tmp_strValue + '"';
        tmp_strOut += '\n';
    }
    if (!m_bParsed)
        return tmp_strOut;
    // Depth-first without recursion: documents may nest deeper than the stack allows.
    std::vector<std::pair<const CXMLNode*, size_t>> tmp_Stack{{&m_Root, 0}};
    while (!tmp_Stack.empty())
    {
        const auto [tmp_pNode, tmp_uDepth] = tmp_Stack.back();
        tmp_Stack.pop_back();
        tmp_strOut.append(tmp_uDepth * 2, ' ');
        tmp_strOut += tmp_pNode->GetNameView();
        DumpAttributes(tmp_pNode, tmp_strOut);
        tmp_strOut += '\n';
        for (int i = tmp_pNode->GetChildCount() - 1; i >= 0; --i)
            tmp_Stack.push_back({tmp_pNode->GetChild(i), tmp_uDepth + 1});
    }
    return tmp_strOut;
}
