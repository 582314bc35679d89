#pragma once
// The framework's growable array, held by value. Indexes are ints; accessors check them (an index out of
// range throws std::out_of_range rather than touching memory it does not own).
#include "platform/core/WinTypes.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    // New elements are value-initialised (zero for plain records). nGrowBy is a hint only.
    void SetSize(int nNewSize, int nGrowBy = -1)
    {
        (void)nGrowBy;
        m_data.resize(std::size_t(std::max(nNewSize, 0)));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(int i) const { return m_data.at(Index(i)); }
    TYPE& ElementAt(int i) { return m_data.at(Index(i)); }
    void SetAt(int i, ARG_TYPE e) { m_data.at(Index(i)) = e; }
    const TYPE& operator[](int i) const { return GetAt(i); }
    TYPE& operator[](int i) { return ElementAt(i); }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }

    // Grows the array when i lies beyond its end.
    void SetAtGrow(int i, ARG_TYPE e)
    {
        if (i < 0)
            throw std::out_of_range("CArray index");
        if (i >= GetSize())
            m_data.resize(std::size_t(i) + 1);
        m_data[std::size_t(i)] = e;
    }

    // Returns the index of the new element.
    int Add(ARG_TYPE e)
    {
        m_data.push_back(e);
        return GetSize() - 1;
    }
    // Moves the element in (arrays whose argument type is not the element type itself).
    int Add(TYPE&& e)
        requires(!std::is_same_v<ARG_TYPE, TYPE>)
    {
        m_data.push_back(std::move(e));
        return GetSize() - 1;
    }
    int Append(const CArray& src)
    {
        int old = GetSize();
        m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        return old;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }

    // Inserting beyond the end grows the array to reach the index first.
    void InsertAt(int i, ARG_TYPE e, int nCount = 1)
    {
        if (i < 0 || nCount < 0)
            throw std::out_of_range("CArray index");
        // A copy first: e may refer to an element that the insertion moves. Beyond the end, the gap is
        // filled with new elements in the same insertion.
        std::vector<TYPE> added(std::size_t(nCount), e);
        if (i > GetSize()) {
            added.insert(added.begin(), std::size_t(i - GetSize()), TYPE());
            i = GetSize();
        }
        m_data.insert(m_data.begin() + i, added.begin(), added.end());
    }
    void InsertAt(int i, const CArray* pNewArray)
    {
        if (i < 0)
            throw std::out_of_range("CArray index");
        if (!pNewArray || pNewArray->IsEmpty())
            return;
        if (i > GetSize())
            m_data.resize(std::size_t(i));
        std::vector<TYPE> copy = pNewArray->m_data;
        m_data.insert(m_data.begin() + i, copy.begin(), copy.end());
    }
    void RemoveAt(int i, int nCount = 1)
    {
        if (i < 0 || nCount < 0 || i + nCount > GetSize())
            throw std::out_of_range("CArray index");
        m_data.erase(m_data.begin() + i, m_data.begin() + i + nCount);
    }

private:
    std::size_t Index(int i) const
    {
        if (i < 0)
            throw std::out_of_range("CArray index");
        return std::size_t(i);
    }

    std::vector<TYPE> m_data;
};
