#pragma once
// A working copy of a square grid, one byte a cell, that Make Maze grows on when nothing is drawn
// meanwhile: a quarter of the cells' memory keeps growth's scattered accesses in cache. A border of
// blocked cells surrounds the grid, so every cell's four neighbours lie in the array and no step tests
// the edge; a cell is named by its index in the array.
#include "maze/MazeCell.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Object;

class CompactGrid {
public:
    // Bits of a cell's byte.
    static constexpr std::uint8_t kOpenSides = 0x0F;   // bit d-1: side d (1 north .. 4 west) is open
    static constexpr std::uint8_t kFrontier = 0x10;    // CELL_FRONTIER
    static constexpr std::uint8_t kBlocked = 0x20;     // another blocking state bit, or the border
    static constexpr std::uint8_t kOpenBeyond = 0x40;  // a side above the fourth is open
    static constexpr std::uint8_t kMarked = 0x80;      // CELL_START or CELL_STOP
    static constexpr std::uint8_t kCarved = kOpenSides | kOpenBeyond;
    static constexpr std::uint8_t kNotFree = kCarved | kFrontier | kBlocked;

    // Copies the cells of grid, which must have them; false, with no copy, when memory is short.
    bool Load(const Object& grid);
    // Lets the copy go, keeping its geometry and its marked cells.
    void Release() { m_cells.reset(); }
    // Gives the grid's cells the copy's open sides 1 to 4 (growth only opens sides) and frontier marks.
    void StoreGrowth(Object& grid) const;

    std::uint8_t* Cells() { return m_cells.get(); }
    // The cells with a START or STOP mark when the copy was made, in index order.
    const std::vector<std::uint32_t>& Marked() const { return m_marked; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The cell beyond side d (1..4) of cell i is i + Step(d); side d's reverse is side (d + 1) % 4 + 1.
    std::ptrdiff_t Step(int d) const { return d == 1 ? -m_stride : d == 2 ? 1 : d == 3 ? m_stride : -1; }
    std::uint32_t IndexOf(int x, int y) const
    {
        return std::uint32_t(std::ptrdiff_t(y + 1) * m_stride + 1 + x);
    }
    int XOf(std::uint32_t i) const { return int(std::ptrdiff_t(i) % m_stride) - 1; }
    int YOf(std::uint32_t i) const { return int(std::ptrdiff_t(i) / m_stride) - 1; }

private:
    std::unique_ptr<std::uint8_t[]> m_cells;
    std::vector<std::uint32_t> m_marked;
    int m_width = 0;
    int m_height = 0;
    // A row and its border byte: the byte left of a row's first cell is right of the row above's last.
    std::ptrdiff_t m_stride = 0;
};
