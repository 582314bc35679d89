#pragma once
// The growth frontier: an array of frontier_location whose order is part of the behaviour (entries are
// picked by random index). Entries are appended at the end and removed by copying the last entry over
// them. Finding the first entry equal to a cell is constant time in both of its modes:
// - indexed (the default): a position index per cell, exact in every case, a cell with several entries
//   and cells outside the grids included; built when first needed, then kept up to date;
// - unique run (BeginUniqueRun to EndUniqueRun): the caller guarantees that no cell has two entries, so
//   the one equal entry is searched from the end, where growth's removals find it within a few steps.
// Entries of grid 0 within 65536 x 32768 cells are stored in four bytes; others in a side table.
#include "maze/frontier_location.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

// A growable array of entry codes that can append without a branch on whether to keep the entry.
class FrontierCodeBuffer {
public:
    FrontierCodeBuffer() = default;
    FrontierCodeBuffer(const FrontierCodeBuffer& other) { *this = other; }
    FrontierCodeBuffer(FrontierCodeBuffer&& other) noexcept { *this = std::move(other); }
    FrontierCodeBuffer& operator=(const FrontierCodeBuffer& other)
    {
        if (this != &other) {
            clear();
            reserve_more(other.m_size);
            if (other.m_size)
                std::memcpy(m_data.get(), other.m_data.get(), other.m_size * sizeof(std::uint32_t));
            m_size = other.m_size;
        }
        return *this;
    }
    FrontierCodeBuffer& operator=(FrontierCodeBuffer&& other) noexcept
    {
        if (this != &other) {
            m_data = std::move(other.m_data);
            m_size = std::exchange(other.m_size, 0);
            m_capacity = std::exchange(other.m_capacity, 0);
        }
        return *this;
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::uint32_t& operator[](std::size_t i) { return m_data[i]; }
    std::uint32_t operator[](std::size_t i) const { return m_data[i]; }
    std::uint32_t at(std::size_t i) const
    {
        if (i >= m_size)
            throw std::out_of_range("frontier index");
        return m_data[i];
    }
    std::uint32_t back() const { return m_data[m_size - 1]; }
    void pop_back() { --m_size; }
    void clear() { m_size = 0; }
    void push_back(std::uint32_t code)
    {
        Reserve();
        m_data[m_size++] = code;
    }
    // Writes the code past the end and keeps it only when keep is true.
    void push_back_if(std::uint32_t code, bool keep)
    {
        Reserve();
        m_data[m_size] = code;
        m_size += keep ? 1 : 0;
    }
    // Room for n more codes.
    void reserve_more(std::size_t n)
    {
        while (m_size + n > m_capacity)
            Reserve(true);
    }
    const std::uint32_t* begin() const { return m_data.get(); }
    const std::uint32_t* end() const { return m_data.get() + m_size; }

private:
    void Reserve(bool force = false)
    {
        if (m_size < m_capacity && !force)
            return;
        const std::size_t capacity = m_capacity ? m_capacity * 2 : 64;
        std::unique_ptr<std::uint32_t[]> grown(new std::uint32_t[capacity]);
        if (m_size)
            std::memcpy(grown.get(), m_data.get(), m_size * sizeof(std::uint32_t));
        m_data = std::move(grown);
        m_capacity = capacity;
    }

    std::unique_ptr<std::uint32_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

class FrontierArray {
public:
    static constexpr int kMaxGrids = 8;

    int GetSize() const { return int(m_codes.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_codes.empty(); }
    frontier_location GetAt(int i) const { return Decode(m_codes.at(std::size_t(i))); }
    frontier_location operator[](int i) const { return GetAt(i); }

    // Appends; returns the new entry's index.
    int Add(const frontier_location& loc)
    {
        const std::uint32_t code = Encode(loc);
        m_codes.push_back(code);
        const int pos = int(m_codes.size()) - 1;
        if (m_indexValid)
            Insert(loc, pos);
        return pos;
    }
    // Add when keep is true, with no branch on keep while the position index is not kept.
    void AddIf(const frontier_location& loc, bool keep)
    {
        if (!m_indexValid && IsNarrow(loc))
            m_codes.push_back_if((std::uint32_t(loc.y) << 16) | std::uint32_t(loc.x), keep);
        else if (keep)
            Add(loc);
    }
    // Copies the last entry over entry i and drops the last. i must be a valid index.
    void RemoveAt(int i)
    {
        if (!m_indexValid && !(m_codes.at(std::size_t(i)) & kWide)) {
            m_codes[std::size_t(i)] = m_codes.back();
            m_codes.pop_back();
            return;
        }
        RemoveAtSlow(i);
    }
    // Index of the first entry equal to loc, or -1.
    int Find(const frontier_location& loc)
    {
        if (m_unique && IsNarrow(loc)) {
            // At most one entry is equal; growth removes entries it appended a moment before.
            const std::uint32_t code = (std::uint32_t(loc.y) << 16) | std::uint32_t(loc.x);
            for (std::size_t i = m_codes.size(); i-- > 0;)
                if (m_codes[i] == code)
                    return int(i);
            return -1;
        }
        return FindSlow(loc);
    }
    // Removes the first entry equal to loc as RemoveAt does; false when there is none.
    bool Remove(const frontier_location& loc)
    {
        int i = Find(loc);
        if (i < 0)
            return false;
        RemoveAt(i);
        return true;
    }
    void RemoveAll();

    // Only the frontier's owner may start a unique run, on an empty frontier, and no cell may get a
    // second entry until EndUniqueRun. The position index is dropped meanwhile.
    void BeginUniqueRun();
    void EndUniqueRun();

    // Gives grid g's cells (0 <= x < width, 0 <= y < height) dense position slots. Only speed depends on it.
    void SetGridSize(int g, int width, int height);

private:
    using Key = std::tuple<int, int, int>;
    static constexpr std::int32_t kNone = -1;
    static constexpr std::int32_t kMany = -2;  // positions kept in m_many
    static constexpr std::uint32_t kWide = 0x80000000u;

    static bool IsNarrow(const frontier_location& loc)
    {
        return loc.grid == 0 && unsigned(loc.x) < 0x10000u && unsigned(loc.y) < 0x8000u;
    }
    std::uint32_t Encode(const frontier_location& loc)
    {
        return IsNarrow(loc) ? (std::uint32_t(loc.y) << 16) | std::uint32_t(loc.x) : EncodeWide(loc);
    }
    frontier_location Decode(std::uint32_t code) const
    {
        if (code & kWide)
            return m_wide[code & ~kWide];
        return {int(code & 0xFFFF), int(code >> 16), 0};
    }
    std::uint32_t EncodeWide(const frontier_location& loc);
    void ReleaseWide(std::uint32_t code);

    std::int32_t* Slot(const frontier_location& loc);
    static Key KeyOf(const frontier_location& loc) { return {loc.grid, loc.x, loc.y}; }
    void Insert(const frontier_location& loc, std::int32_t pos);
    void Erase(const frontier_location& loc, std::int32_t pos);
    void RemoveAtSlow(int i);
    int FindSlow(const frontier_location& loc);
    void BuildIndex();

    FrontierCodeBuffer m_codes;
    std::vector<frontier_location> m_wide;
    std::vector<std::uint32_t> m_wideFree;

    bool m_unique = false;
    bool m_indexValid = false;
    std::vector<std::int32_t> m_slots[kMaxGrids];
    int m_width[kMaxGrids] = {};
    int m_height[kMaxGrids] = {};
    std::map<Key, std::set<std::int32_t>> m_many;
};
