#pragma once
// The growth frontier: an array of frontier_location whose order is part of the behaviour (entries are
// picked by random index). Entries are appended at the end and removed by copying the last entry over
// them. Finding the first entry equal to a cell takes constant time through a position index per cell;
// the index is exact in every case, including a cell with several entries and cells outside the index's
// dense key space (those are kept in an ordered side map).
#include "maze/frontier_location.h"

#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <vector>

class FrontierArray {
public:
    static constexpr int kMaxGrids = 8;

    int GetSize() const { return int(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    const frontier_location& GetAt(int i) const { return m_items.at(std::size_t(i)); }
    const frontier_location& operator[](int i) const { return GetAt(i); }
    const frontier_location* GetData() const { return m_items.data(); }

    // Appends; returns the new entry's index.
    int Add(const frontier_location& loc);
    // Copies the last entry over entry i and drops the last. i must be a valid index.
    void RemoveAt(int i);
    // Index of the first entry equal to loc, or -1.
    int Find(const frontier_location& loc) const;
    // Removes the first entry equal to loc as RemoveAt does; false when there is none.
    bool Remove(const frontier_location& loc);
    void RemoveAll();

    // Gives grid g's cells (0 <= x < width, 0 <= y < height) dense index slots. Only speed depends on it.
    void SetGridSize(int g, int width, int height);

    // Bytes held for entries and index, for memory accounting.
    std::size_t GetMemoryBytes() const;

private:
    using Key = std::tuple<int, int, int>;
    static constexpr std::int32_t kNone = -1;
    static constexpr std::int32_t kMany = -2;  // positions kept in m_many

    std::int32_t* Slot(const frontier_location& loc)
    {
        unsigned g = unsigned(loc.grid);
        if (g >= unsigned(kMaxGrids) || unsigned(loc.x) >= unsigned(m_width[g]) ||
            unsigned(loc.y) >= unsigned(m_height[g]))
            return nullptr;
        return &m_slots[g][std::size_t(loc.x) + std::size_t(loc.y) * std::size_t(m_width[g])];
    }
    const std::int32_t* Slot(const frontier_location& loc) const
    {
        return const_cast<FrontierArray*>(this)->Slot(loc);
    }
    static Key KeyOf(const frontier_location& loc) { return {loc.grid, loc.x, loc.y}; }
    void Insert(const frontier_location& loc, std::int32_t pos);
    void Erase(const frontier_location& loc, std::int32_t pos);
    void Reindex();

    std::vector<frontier_location> m_items;
    std::vector<std::int32_t> m_slots[kMaxGrids];
    int m_width[kMaxGrids] = {};
    int m_height[kMaxGrids] = {};
    std::map<Key, std::set<std::int32_t>> m_many;
};
