// TItemsManager: the numbered store every subsystem keeps its loaded objects in (slot number =
// iID, with a strID and a tag beside each). TItemsManagerCOM holds reference-counted device
// objects and releases one reference per slot.
#pragma once

#include <string>
#include <vector>

template <typename T> class TItemsManager
{
public:
    TItemsManager() = default;
    TItemsManager(const TItemsManager&) = delete;
    TItemsManager& operator=(const TItemsManager&) = delete;
    // Does not free the items: owners call FreeAllItems first.
    virtual ~TItemsManager() = default;

    int AddItem(T* fp_pItem, const std::string& fp_strName, int fp_iTag)
    {
        for (int i = 0; i < m_iCount; ++i)
            if (m_Names[i] == fp_strName)
                return i;
        for (int i = 0; i < m_iCount; ++i)
        {
            if (m_Items[i] == nullptr)
            {
                m_Items[i] = fp_pItem;
                m_Names[i] = fp_strName;
                m_Tags[i] = fp_iTag;
                return i;
            }
        }
        m_Items.push_back(fp_pItem);
        m_Names.push_back(fp_strName);
        m_Tags.push_back(fp_iTag);
        return m_iCount++;
    }

    // Free slots take part with their empty name, as in AddItem.
    int FindItem(const std::string& fp_strName) const
    {
        for (int i = 0; i < m_iCount; ++i)
            if (m_Names[i] == fp_strName)
                return i;
        return -1;
    }

    // Callers check 0 <= iID < count first; at() raises the standard out-of-range error.
    T* GetItem(int fp_iID) const { return m_Items.at(static_cast<size_t>(fp_iID)); }
    const std::string& GetName(int fp_iID) const { return m_Names.at(static_cast<size_t>(fp_iID)); }
    int GetTag(int fp_iID) const { return m_Tags.at(static_cast<size_t>(fp_iID)); }
    int GetCount() const { return m_iCount; }

    bool DeleteItem(int fp_iID)
    {
        if (fp_iID < 0 || fp_iID >= m_iCount || m_Items[fp_iID] == nullptr)
            return false;
        FreeItem(fp_iID);
        return true;
    }

    virtual void FreeItem(int fp_iID)
    {
        if (fp_iID < 0 || fp_iID >= m_iCount)
            throw "Error in TItemsManager<T>::FreeItem";
        delete m_Items[fp_iID];
        ClearSlot(fp_iID);
    }

    virtual void FreeAllItems()
    {
        for (int i = 0; i < m_iCount; ++i)
            FreeItem(i);
    }

    T* GetFirstItem(int fp_iTag)
    {
        m_iIterTag = fp_iTag;
        m_iIterCursor = 0;
        return ScanFrom(0);
    }

    T* GetNextItem()
    {
        if (m_iIterCursor == -1 || m_iIterCursor >= m_iCount)
            return nullptr;
        return ScanFrom(m_iIterCursor + 1);
    }

    int GetIterationCursor() const { return m_iIterCursor; }

protected:
    void ClearSlot(int fp_iID)
    {
        m_Items[fp_iID] = nullptr;
        m_Names[fp_iID].clear();
        m_Tags[fp_iID] = 0;
    }

    int m_iCount = 0;
    std::vector<T*> m_Items;
    std::vector<int> m_Tags;
    std::vector<std::string> m_Names;
    int m_iIterTag = 0;
    int m_iIterCursor = 0;

private:
    T* ScanFrom(int fp_iStart)
    {
        for (int i = fp_iStart; i < m_iCount; ++i)
        {
            if (m_Items[i] != nullptr && (m_iIterTag == 0 || m_Tags[i] == m_iIterTag))
            {
                m_iIterCursor = i;
                return m_Items[i];
            }
        }
        m_iIterCursor = -1;
        return nullptr;
    }
};

// T must offer Release() returning the references that remain.
template <typename T> class TItemsManagerCOM : public TItemsManager<T>
{
public:
    void FreeItem(int fp_iID) override
    {
        if (fp_iID < 0 || fp_iID >= this->m_iCount)
            throw "Error in TItemsManagerCOM<T>::FreeItem";
        if (T* tmp_pItem = this->m_Items[fp_iID]; tmp_pItem != nullptr)
        {
            if (tmp_pItem->Release() > 0)
                throw "Unreleased object references left!";
        }
        this->ClearSlot(fp_iID);
    }
};
