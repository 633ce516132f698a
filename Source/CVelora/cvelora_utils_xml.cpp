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
// Bytes after the text, all NUL: a NUL stops every scan (checked against the end only then),
// and unrolled scans and the sort key may read a few bytes past where they stop.
constexpr size_t kPadding = 16;

// Byte classes of the state machine. Each "end" class also holds NUL, the sentinel.
enum : uint8_t
{
    XC_SPACE = 1,   // space, TAB, LF
    XC_ELEMEND = 2, // ends an element name: space, TAB, LF, '/', '>'
    XC_ATTREND = 4, // ends an attribute name: space, TAB, LF, '='
    XC_DECLEND = 8, // ends a declaration target: space, TAB, LF, '?'
    XC_QUOTE = 16,  // '"'
    XC_LT = 32,     // '<'
    XC_GT = 64,     // '>'
};

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> tmp_Table{};
    tmp_Table[0] = XC_ELEMEND | XC_ATTREND | XC_DECLEND | XC_QUOTE | XC_LT | XC_GT;
    for (unsigned char c : {' ', '\t', '\n'})
        tmp_Table[c] = XC_SPACE | XC_ELEMEND | XC_ATTREND | XC_DECLEND;
    tmp_Table['/'] = XC_ELEMEND;
    tmp_Table['>'] = XC_ELEMEND | XC_GT;
    tmp_Table['='] = XC_ATTREND;
    tmp_Table['?'] = XC_DECLEND;
    tmp_Table['"'] = XC_QUOTE;
    tmp_Table['<'] = XC_LT;
    return tmp_Table;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

// Position of the first byte at or after fp_uPos in the class, or fp_uEnd. The buffer holds
// NUL bytes from fp_uEnd on, so the unrolled loop needs no bound check of its own.
inline size_t ScanTo(const char* fp_pBuf, size_t fp_uPos, size_t fp_uEnd, uint8_t fp_uClass)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(fp_pBuf);
    if (fp_uPos >= fp_uEnd)
        return fp_uEnd;
    for (;;)
    {
        for (;;)
        {
            if (kClasses[u[fp_uPos]] & fp_uClass)
                break;
            if (kClasses[u[fp_uPos + 1]] & fp_uClass)
            {
                fp_uPos += 1;
                break;
            }
            if (kClasses[u[fp_uPos + 2]] & fp_uClass)
            {
                fp_uPos += 2;
                break;
            }
            if (kClasses[u[fp_uPos + 3]] & fp_uClass)
            {
                fp_uPos += 3;
                break;
            }
            fp_uPos += 4;
        }
        if (fp_uPos >= fp_uEnd)
            return fp_uEnd;
        if (u[fp_uPos] != 0)
            return fp_uPos;
        ++fp_uPos; // a NUL inside the text is an ordinary byte
    }
}

// Position of the first byte at or after fp_uPos that is not a blank (at most fp_uEnd, where
// the NUL padding stops the loop).
inline size_t SkipSpace(const char* fp_pBuf, size_t fp_uPos, size_t fp_uEnd)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(fp_pBuf);
    if (fp_uPos >= fp_uEnd)
        return fp_uEnd;
    while (kClasses[u[fp_uPos]] & XC_SPACE)
        ++fp_uPos;
    return fp_uPos;
}

// The first 8 bytes of a name, big-endian and zero-padded (may read up to 7 bytes past the
// name, which the padding allows).
inline uint64_t SortKey(const char* fp_pName, size_t fp_uLen)
{
    uint64_t tmp_uKey;
    std::memcpy(&tmp_uKey, fp_pName, 8);
    tmp_uKey = __builtin_bswap64(tmp_uKey);
    if (fp_uLen < 8)
        tmp_uKey &= fp_uLen == 0 ? 0 : ~0ULL << (8 * (8 - fp_uLen));
    return tmp_uKey;
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
    const size_t tmp_uNameEnd = ScanTo(fp_pBuf, fp_uPos, fp_uEnd, XC_ATTREND);
    tmp_Attr.m_uNameLen = tmp_uNameEnd - fp_uPos;
    // Usually the quote follows the '=' directly.
    const size_t tmp_uOpen = fp_pBuf[tmp_uNameEnd] == '=' && fp_pBuf[tmp_uNameEnd + 1] == '"' &&
                                     tmp_uNameEnd + 1 < fp_uEnd
                                 ? tmp_uNameEnd + 1
                                 : ScanTo(fp_pBuf, tmp_uNameEnd, fp_uEnd, XC_QUOTE);
    if (tmp_uOpen >= fp_uEnd)
    {
        fp_uPos = fp_uEnd;
        return tmp_Attr;
    }
    tmp_Attr.m_uValue = tmp_uOpen + 1;
    const size_t tmp_uClose = ScanTo(fp_pBuf, tmp_Attr.m_uValue, fp_uEnd, XC_QUOTE);
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
    if (!m_bAttrsSorted && m_uAttrCount <= 8)
    {
        // A short list in document order: the last attribute of that name counts.
        for (uint32_t i = m_uAttrCount; i-- > 0;)
        {
            const Attr& a = m_pAttrs[i];
            if (a.m_uNameLen == fp_Name.size() &&
                std::memcmp(a.m_pszName, fp_Name.data(), fp_Name.size()) == 0)
                return {a.m_pszValue, a.m_uValueLen};
        }
        return {};
    }
    SortAttributes();
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

// Sorts the attributes by name; of equal names the one written last stays.
void CXMLNode::SortAttributesNow() const
{
    m_bAttrsSorted = true;
    if (m_uAttrCount < 2)
        return;
    Attr* const tmp_pBegin = m_pAttrs;
    Attr* const tmp_pEnd = m_pAttrs + m_uAttrCount;
    for (Attr* a = tmp_pBegin; a != tmp_pEnd; ++a)
        a->m_uSortKey = SortKey(a->m_pszName, a->m_uNameLen);
    // Byte-wise as unsigned, a prefix first.
    const auto tmp_Less = [](const Attr& a, const Attr& b)
    {
        if (a.m_uSortKey != b.m_uSortKey)
            return a.m_uSortKey < b.m_uSortKey;
        const unsigned char* x = reinterpret_cast<const unsigned char*>(a.m_pszName);
        const unsigned char* y = reinterpret_cast<const unsigned char*>(b.m_pszName);
        const uint32_t tmp_uLen = a.m_uNameLen < b.m_uNameLen ? a.m_uNameLen : b.m_uNameLen;
        for (uint32_t i = 0; i < tmp_uLen; ++i)
            if (x[i] != y[i])
                return x[i] < y[i];
        return a.m_uNameLen < b.m_uNameLen;
    };
    // Stable, so that of equal names the one written last ends up last.
    if (m_uAttrCount <= 16)
    {
        for (Attr* i = tmp_pBegin + 1; i != tmp_pEnd; ++i)
        {
            const Attr tmp_Item = *i;
            Attr* j = i;
            while (j != tmp_pBegin && tmp_Less(tmp_Item, *(j - 1)))
            {
                *j = *(j - 1);
                --j;
            }
            *j = tmp_Item;
        }
    }
    else
    {
        std::stable_sort(tmp_pBegin, tmp_pEnd, tmp_Less);
    }
    // Keep the last of each run of equal names.
    Attr* tmp_pOut = tmp_pBegin;
    for (Attr* i = tmp_pBegin; i != tmp_pEnd; ++i)
    {
        if (i + 1 != tmp_pEnd && !tmp_Less(*i, *(i + 1)))
            continue;
        *tmp_pOut++ = *i;
    }
    m_uAttrCount = static_cast<uint32_t>(tmp_pOut - tmp_pBegin);
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
    m_uSize = m_strBuffer.size();
    m_strBuffer.append(kPadding, '\0');

    if (m_uSize == 0)
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
        const char* tmp_pIn = static_cast<const char*>(fp_pData);
        const size_t tmp_uSize = static_cast<size_t>(fp_iSize);
        if (!fp_bDecode)
        {
            // Copy the runs between CR bytes.
            m_strBuffer.reserve(tmp_uSize + kPadding);
            const char* const tmp_pEnd = tmp_pIn + tmp_uSize;
            while (tmp_pIn < tmp_pEnd)
            {
                const char* tmp_pCR = static_cast<const char*>(
                    std::memchr(tmp_pIn, '\r', static_cast<size_t>(tmp_pEnd - tmp_pIn)));
                if (tmp_pCR == nullptr)
                {
                    m_strBuffer.append(tmp_pIn, tmp_pEnd);
                    break;
                }
                m_strBuffer.append(tmp_pIn, tmp_pCR);
                tmp_pIn = tmp_pCR + 1;
            }
        }
        else
        {
            // Decode first: a CR is a CR of the decoded text.
            m_strBuffer.assign(tmp_pIn, tmp_uSize);
            char* tmp_pBuf = m_strBuffer.data();
            XMLApplyKey(reinterpret_cast<unsigned char*>(tmp_pBuf), tmp_uSize);
            size_t tmp_uOut = 0;
            for (size_t i = 0; i < tmp_uSize;)
            {
                const char* tmp_pCR =
                    static_cast<const char*>(std::memchr(tmp_pBuf + i, '\r', tmp_uSize - i));
                const size_t tmp_uRunEnd =
                    tmp_pCR ? static_cast<size_t>(tmp_pCR - tmp_pBuf) : tmp_uSize;
                if (tmp_uOut != i)
                    std::memmove(tmp_pBuf + tmp_uOut, tmp_pBuf + i, tmp_uRunEnd - i);
                tmp_uOut += tmp_uRunEnd - i;
                i = tmp_uRunEnd + 1;
            }
            m_strBuffer.resize(tmp_uOut);
        }
    }
    m_uSize = m_strBuffer.size();
    m_strBuffer.append(kPadding, '\0');

    if (m_uSize == 0)
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
    m_Root.m_bAttrsSorted = false;
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
    const size_t n = m_uSize;
    m_Attrs.reserve(n / 32);
    size_t p = 0;
    CXMLNode* tmp_pCurrent = nullptr;
    bool tmp_bClosed = false;

    // A byte at or past the end reads as NUL.
    const auto At = [&](size_t i) -> char { return i < n ? b[i] : '\0'; };

    while (p < n && !tmp_bClosed)
    {
        // Scan
        const size_t tmp_uLt = ScanTo(b, p, n, XC_LT);
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
            const size_t tmp_uGt = ScanTo(b, tmp_uLt + 2, n, XC_GT);
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
            const size_t tmp_uNameEnd = ScanTo(b, p, n, XC_DECLEND);
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
            const size_t tmp_uNameEnd = ScanTo(b, p, n, XC_ELEMEND);
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
                                   static_cast<uint32_t>(tmp_Attr.m_uValueLen),
                                   b + tmp_Attr.m_uValue, 0});
            }
            tmp_pNode->m_uAttrCount =
                static_cast<uint32_t>(m_Attrs.size() - tmp_pNode->m_uAttrFirst);
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
    fp_pNode->SortAttributes();
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
