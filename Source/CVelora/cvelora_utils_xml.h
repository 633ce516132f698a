// The engine's one XML reader: CXMLDocument loads a text buffer (from a file with text-mode
// rules, or from memory without CR bytes, optionally decoded with the XML key) and parses it
// into a tree of CXMLNode elements with sorted attributes. Non-validating: elements, quoted
// attributes, processing instructions and comments only; character data is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The one-byte XML key; encoding and decoding are the same exclusive or.
inline constexpr unsigned char kXMLKey = 0x5A;

// Applies the XML key to fp_uSize bytes in place.
void XMLApplyKey(unsigned char* fp_pData, size_t fp_uSize);

class CXMLDocument;

class CXMLNode
{
public:
    CXMLNode() = default;
    CXMLNode(const CXMLNode&) = delete;
    CXMLNode& operator=(const CXMLNode&) = delete;

    std::string GetName() const { return std::string(m_pName, m_uNameLen); }
    std::string_view GetNameView() const { return {m_pName, m_uNameLen}; }
    CXMLNode* GetParent() const { return m_pParent; }
    int GetChildCount() const { return static_cast<int>(m_uChildCount); }
    // Null when fp_iIndex is negative or not less than the child count.
    CXMLNode* GetChild(int fp_iIndex) const;

    // The value of the attribute, or the empty text when the node has none of that name.
    std::string GetAttribute(std::string_view fp_Name) const
    {
        return std::string(GetAttributeView(fp_Name));
    }
    // The same without a copy; valid while the document lives.
    std::string_view GetAttributeView(std::string_view fp_Name) const;
    int GetAttributeCount() const
    {
        SortAttributes();
        return static_cast<int>(m_uAttrCount);
    }

    // Attribute iteration in byte-wise name order.
    void FirstAttribute()
    {
        SortAttributes();
        m_uAttrCursor = 0;
    }
    // The name under the cursor, or null at the end.
    const char* CurrentAttributeName() const
    {
        SortAttributes();
        return m_uAttrCursor < m_uAttrCount ? m_pAttrs[m_uAttrCursor].m_pszName : nullptr;
    }
    void NextAttribute()
    {
        if (m_uAttrCursor < m_uAttrCount)
            ++m_uAttrCursor;
    }

private:
    friend class CXMLDocument;

    // Name and value point into the document's buffer, each followed by a NUL byte.
    struct Attr
    {
        const char* m_pszName;
        uint32_t m_uNameLen;
        uint32_t m_uValueLen;
        const char* m_pszValue;
        // The first 8 name bytes, big-endian, zero-padded: orders most names in one compare.
        // Set when the attributes are sorted.
        uint64_t m_uSortKey;
    };

    // Attributes are sorted (and of equal names the last kept) on first use, not while
    // parsing: most nodes are read by a few lookups, which a short unsorted list serves as well.
    void SortAttributes() const
    {
        if (!m_bAttrsSorted)
            SortAttributesNow();
    }
    void SortAttributesNow() const;

    CXMLNode* m_pParent = nullptr;
    const char* m_pName = "";
    uint32_t m_uNameLen = 0;
    mutable Attr* m_pAttrs = nullptr;
    mutable uint32_t m_uAttrCount = 0;
    mutable bool m_bAttrsSorted = false;
    uint32_t m_uAttrCursor = 0;
    CXMLNode* const* m_ppChildren = nullptr;
    uint32_t m_uChildCount = 0;

    // Used while parsing: where this node's attributes start in the document's list, and the
    // links that the child arrays are built from once the parse is over.
    uint32_t m_uAttrFirst = 0;
    CXMLNode* m_pFirstChild = nullptr;
    CXMLNode* m_pLastChild = nullptr;
    CXMLNode* m_pNextSibling = nullptr;
};

class CXMLDocument
{
public:
    CXMLDocument() = default;
    CXMLDocument(const CXMLDocument&) = delete;
    CXMLDocument& operator=(const CXMLDocument&) = delete;

    // Reads the file with the Windows text-mode rules (CR LF read as LF, a lone CR kept, byte
    // 0x1A ends the input). Raises the plain text "XMLERROR: the file is empty - " + path when
    // nothing could be read.
    void LoadFromFile(const std::string& fp_strPath, bool fp_bDecode);
    // Copies fp_iSize bytes, decoding first when asked, and drops every CR byte. Raises the plain
    // text "XMLERROR: buffer is empty." when nothing is left. fp_strName only names the document
    // in later error texts.
    void LoadFromBuffer(const void* fp_pData, int fp_iSize, bool fp_bDecode,
                        const std::string& fp_strName = std::string());
    // Builds the tree from the buffer, once. Raises the plain text "XMLERROR: root element is not
    // closed - " + the document's name when the buffer ends before the root element is closed
    // (the partial tree is kept).
    void Parse();

    CXMLNode* GetRoot() { return &m_Root; }
    const CXMLNode* GetRoot() const { return &m_Root; }
    const std::string& GetDeclarationName() const { return m_strDeclName; }
    const std::map<std::string, std::string>& GetDeclarationAttributes() const
    {
        return m_DeclAttrs;
    }
    // The text as loaded (parsing writes NUL bytes into it).
    std::string_view GetBuffer() const { return {m_strBuffer.data(), m_uSize}; }

    // The parsed tree as text: one element per line, two blanks of indent per depth, the name
    // and then ` name="value"` per attribute in iteration order; a processing instruction read
    // comes first as `?target` with its attributes.
    std::string DumpTree() const;

private:
    void ResetTree();
    CXMLNode* NewNode();
    void BuildChildArrays();
    static void DumpAttributes(const CXMLNode* fp_pNode, std::string& fp_strOut);

    // The text, then kPadding NUL bytes, so that the scanner may look at 16 bytes at once.
    std::string m_strBuffer;
    size_t m_uSize = 0;
    std::string m_strName;
    std::string m_strDeclName;
    std::map<std::string, std::string> m_DeclAttrs;
    bool m_bHasDecl = false;
    bool m_bParsed = false;
    CXMLNode m_Root;

    std::vector<CXMLNode::Attr> m_Attrs;
    std::vector<CXMLNode*> m_Children;
    // Nodes other than the root, allocated in growing chunks (no allocation per node).
    struct NodeChunk
    {
        std::unique_ptr<CXMLNode[]> m_pNodes;
        size_t m_uSize;
        size_t m_uUsed;
    };
    std::vector<NodeChunk> m_NodeChunks;
    size_t m_uNodeCount = 0;
};

// Raises a plain text error (a pointer to constant characters, as the generic containers do).
// The text stays valid until several more such errors have been raised.
[[noreturn]] void ThrowPlainText(const std::string& fp_strText);
