#include "maze/CompactGrid.h"

#include "maze/Object.h"

#include <cstring>
#include <new>

namespace {
constexpr WORD kBlockingBeyondFrontier = CELL_BLOCKING_MASK & WORD(~CELL_FRONTIER);

std::uint8_t ByteOf(const MazeCell& cell)
{
    const unsigned p = cell.passages, f = cell.flags;
    return std::uint8_t((p & CompactGrid::kOpenSides) | ((p & ~0xFu) ? CompactGrid::kOpenBeyond : 0) |
                        ((f & CELL_FRONTIER) ? CompactGrid::kFrontier : 0) |
                        ((f & kBlockingBeyondFrontier) ? CompactGrid::kBlocked : 0) |
                        ((f & (CELL_START | CELL_STOP)) ? CompactGrid::kMarked : 0));
}

// Writes n cells' bytes to out; returns the bits set in any of them.
unsigned CopyRow(const MazeCell* __restrict in, std::uint8_t* __restrict out, int n)
{
    unsigned any = 0;
    for (int x = 0; x < n; ++x) {
        const std::uint8_t b = ByteOf(in[x]);
        out[x] = b;
        any |= b;
    }
    return any;
}

// Gives n cells the open sides 1 to 4 and the frontier marks of their bytes in row.
void StoreRow(const std::uint8_t* __restrict row, MazeCell* __restrict out, int n)
{
    for (int x = 0; x < n; ++x) {
        out[x].passages = WORD(out[x].passages | (row[x] & CompactGrid::kOpenSides));
        out[x].flags = WORD((out[x].flags & ~CELL_FRONTIER) | ((row[x] & CompactGrid::kFrontier) ? CELL_FRONTIER : 0));
    }
}
}

bool CompactGrid::Load(const Object& grid)
{
    const int width = grid.width, height = grid.height;
    const std::ptrdiff_t stride = std::ptrdiff_t(width) + 1;
    const std::size_t bytes = std::size_t(height + 2) * std::size_t(stride);
    m_cells.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (!m_cells)
        return false;
    m_width = width;
    m_height = height;
    m_stride = stride;
    m_marked.clear();
    std::uint8_t* out = m_cells.get();
    std::memset(out, kBlocked, std::size_t(stride));
    std::memset(out + std::size_t(height + 1) * std::size_t(stride), kBlocked, std::size_t(stride));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out + std::size_t(y + 1) * std::size_t(stride);
        row[0] = kBlocked;
        // The row first, in one pass the compiler can widen; the marked cells, which few rows hold, after.
        if (CopyRow(&grid.GetCell(0, y), row + 1, width) & kMarked)
            for (int x = 0; x < width; ++x)
                if (row[1 + x] & kMarked)
                    m_marked.push_back(IndexOf(x, y));
    }
    return true;
}

void CompactGrid::StoreGrowth(Object& grid) const
{
    for (int y = 0; y < m_height; ++y)
        StoreRow(m_cells.get() + std::size_t(y + 1) * std::size_t(m_stride) + 1, &grid.GetCell(0, y), m_width);
}
