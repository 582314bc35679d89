#pragma once
// One cell of a maze grid: a state word and a passage word, four bytes, stored row after row.
#include "platform/core/WinTypes.h"

constexpr WORD CELL_FRONTIER = 0x0001;
constexpr WORD CELL_BLACKENED = 0x0002;
constexpr WORD CELL_ERASED = 0x0004;
constexpr WORD CELL_START = 0x0010;
constexpr WORD CELL_STOP = 0x0020;
constexpr WORD CELL_HIDDEN = 0x0040;
constexpr WORD CELL_SOLUTION = 0x8000;
// Any of these bits blocks a cell: it is neither carved into nor added to the frontier.
constexpr WORD CELL_BLOCKING_MASK = 0x000F;
// Make Maze and Clear keep every state bit but these two.
constexpr WORD CELL_KEEP_ON_CLEAR = WORD(~(CELL_FRONTIER | CELL_SOLUTION));
// Most sides a cell can have: one passage bit each.
constexpr int MAX_CELL_SIDES = 16;

struct MazeCell {
    WORD flags;
    WORD passages;  // bit (d-1) set when side d is open

    bool HasPassage(int d) const { return d >= 1 && d <= MAX_CELL_SIDES && (passages >> (d - 1)) & 1; }
    bool IsCarved() const { return passages != 0; }
    // Number of open sides (a bit count that needs no processor extension).
    int OpenSides() const
    {
        unsigned v = passages;
        v = v - ((v >> 1) & 0x5555u);
        v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
        v = (v + (v >> 4)) & 0x0F0Fu;
        return int((v + (v >> 8)) & 0x1Fu);
    }
};
static_assert(sizeof(MazeCell) == 4, "cells are stored as two 16-bit words");
