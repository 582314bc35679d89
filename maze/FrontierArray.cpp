#include "maze/FrontierArray.h"

#include <limits>
#include <stdexcept>

namespace {
// Dense slots cost four bytes per cell; larger grids fall back to the side map.
constexpr std::int64_t kMaxDenseCells = std::int64_t(1) << 28;
}

void FrontierArray::Insert(const frontier_location& loc, std::int32_t pos)
{
    std::int32_t* slot = Slot(loc);
    if (slot && *slot == kNone) {
        *slot = pos;
        return;
    }
    std::set<std::int32_t>& many = m_many[KeyOf(loc)];
    if (slot && *slot >= 0)
        many.insert(*slot);
    many.insert(pos);
    if (slot)
        *slot = kMany;
}

void FrontierArray::Erase(const frontier_location& loc, std::int32_t pos)
{
    std::int32_t* slot = Slot(loc);
    if (slot && *slot >= 0) {
        *slot = kNone;
        return;
    }
    auto it = m_many.find(KeyOf(loc));
    if (it == m_many.end())
        return;
    it->second.erase(pos);
    if (slot && it->second.size() == 1) {
        *slot = *it->second.begin();
        m_many.erase(it);
    } else if (it->second.empty()) {
        m_many.erase(it);
        if (slot)
            *slot = kNone;
    }
}

int FrontierArray::Add(const frontier_location& loc)
{
    if (m_items.size() >= std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("frontier full");
    std::int32_t pos = std::int32_t(m_items.size());
    m_items.push_back(loc);
    Insert(loc, pos);
    return pos;
}

void FrontierArray::RemoveAt(int i)
{
    if (i < 0 || std::size_t(i) >= m_items.size())
        throw std::out_of_range("frontier index");
    std::int32_t last = std::int32_t(m_items.size()) - 1;
    Erase(m_items[std::size_t(i)], i);
    if (i != last) {
        const frontier_location moved = m_items[std::size_t(last)];
        Erase(moved, last);
        Insert(moved, i);
        m_items[std::size_t(i)] = moved;
    }
    m_items.pop_back();
}

int FrontierArray::Find(const frontier_location& loc) const
{
    const std::int32_t* slot = Slot(loc);
    if (slot && *slot != kMany)
        return *slot;
    auto it = m_many.find(KeyOf(loc));
    return it == m_many.end() ? -1 : *it->second.begin();
}

bool FrontierArray::Remove(const frontier_location& loc)
{
    int i = Find(loc);
    if (i < 0)
        return false;
    RemoveAt(i);
    return true;
}

void FrontierArray::RemoveAll()
{
    for (const frontier_location& loc : m_items)
        if (std::int32_t* slot = Slot(loc))
            *slot = kNone;
    m_many.clear();
    m_items.clear();
}

void FrontierArray::SetGridSize(int g, int width, int height)
{
    if (g < 0 || g >= kMaxGrids)
        return;
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > kMaxDenseCells)
        width = height = 0;
    if (m_width[g] == width && m_height[g] == height)
        return;
    m_width[g] = width;
    m_height[g] = height;
    std::vector<std::int32_t>(std::size_t(width) * std::size_t(height), kNone).swap(m_slots[g]);
    Reindex();
}

void FrontierArray::Reindex()
{
    for (const frontier_location& loc : m_items)
        if (std::int32_t* slot = Slot(loc))
            *slot = kNone;
    m_many.clear();
    for (std::size_t i = 0; i < m_items.size(); ++i)
        Insert(m_items[i], std::int32_t(i));
}

std::size_t FrontierArray::GetMemoryBytes() const
{
    std::size_t bytes = m_items.capacity() * sizeof(frontier_location);
    for (const auto& slots : m_slots)
        bytes += slots.capacity() * sizeof(std::int32_t);
    return bytes;
}
