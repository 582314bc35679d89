#include "maze/FrontierArray.h"

#include <stdexcept>

namespace {
// Dense slots cost four bytes per cell; larger grids fall back to the side map.
constexpr std::int64_t kMaxDenseCells = std::int64_t(1) << 28;
}

std::uint32_t FrontierArray::EncodeWide(const frontier_location& loc)
{
    std::uint32_t w;
    if (!m_wideFree.empty()) {
        w = m_wideFree.back();
        m_wideFree.pop_back();
        m_wide[w] = loc;
    } else {
        if (m_wide.size() >= kWide)
            throw std::length_error("frontier full");
        w = std::uint32_t(m_wide.size());
        m_wide.push_back(loc);
    }
    return kWide | w;
}

void FrontierArray::ReleaseWide(std::uint32_t code)
{
    if (code & kWide)
        m_wideFree.push_back(code & ~kWide);
}

std::int32_t* FrontierArray::Slot(const frontier_location& loc)
{
    unsigned g = unsigned(loc.grid);
    if (g >= unsigned(kMaxGrids) || unsigned(loc.x) >= unsigned(m_width[g]) ||
        unsigned(loc.y) >= unsigned(m_height[g]) || m_slots[g].empty())
        return nullptr;
    return &m_slots[g][std::size_t(loc.x) + std::size_t(loc.y) * std::size_t(m_width[g])];
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

void FrontierArray::RemoveAtSlow(int i)
{
    if (i < 0 || std::size_t(i) >= m_codes.size())
        throw std::out_of_range("frontier index");
    const std::int32_t last = std::int32_t(m_codes.size()) - 1;
    const std::uint32_t removed = m_codes[std::size_t(i)];
    if (m_indexValid) {
        Erase(Decode(removed), i);
        if (i != last) {
            const frontier_location moved = Decode(m_codes[std::size_t(last)]);
            Erase(moved, last);
            Insert(moved, i);
        }
    }
    m_codes[std::size_t(i)] = m_codes[std::size_t(last)];
    m_codes.pop_back();
    ReleaseWide(removed);
}

int FrontierArray::FindSlow(const frontier_location& loc)
{
    if (m_unique) {
        for (std::size_t i = m_codes.size(); i-- > 0;)
            if ((m_codes[i] & kWide) && m_wide[m_codes[i] & ~kWide] == loc)
                return int(i);
        return -1;
    }
    if (!m_indexValid)
        BuildIndex();
    if (std::int32_t* slot = Slot(loc); slot && *slot != kMany)
        return *slot;
    auto it = m_many.find(KeyOf(loc));
    return it == m_many.end() ? -1 : *it->second.begin();
}

void FrontierArray::RemoveAll()
{
    if (m_indexValid)
        for (std::uint32_t code : m_codes)
            if (std::int32_t* slot = Slot(Decode(code)))
                *slot = kNone;
    m_many.clear();
    m_codes.clear();
    m_wide.clear();
    m_wideFree.clear();
}

void FrontierArray::BeginUniqueRun()
{
    RemoveAll();
    m_unique = true;
    m_indexValid = false;
    for (auto& slots : m_slots)
        std::vector<std::int32_t>().swap(slots);
    m_many.clear();
}

void FrontierArray::EndUniqueRun()
{
    m_unique = false;
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
    // The index is rebuilt over the new key space when next needed.
    m_indexValid = false;
}

void FrontierArray::BuildIndex()
{
    m_many.clear();
    for (int g = 0; g < kMaxGrids; ++g)
        std::vector<std::int32_t>(std::size_t(m_width[g]) * std::size_t(m_height[g]), kNone).swap(m_slots[g]);
    m_indexValid = true;
    for (std::size_t i = 0; i < m_codes.size(); ++i)
        Insert(Decode(m_codes[i]), std::int32_t(i));
}
