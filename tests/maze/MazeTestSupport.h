#pragma once
// Helpers for the maze tests: documents over square templates, random templates, and a reference
// implementation of growth and solving written straight from the rules, with a linear-search frontier,
// column-order passes and no shortcuts, against which the document's results are compared cell by cell.
#include "maze/CVantrelDoc.h"
#include "platform/core/Random.h"

#include <memory>
#include <queue>
#include <vector>

namespace maze_test {

inline std::unique_ptr<CVantrelDoc> MakeDoc(int cellsX, int cellsY, int seed = 1)
{
    auto doc = std::make_unique<CVantrelDoc>();
    doc->m_nCellsX = cellsX;
    doc->m_nCellsY = cellsY;
    doc->m_nSeed = seed;
    doc->CreateGrid();
    return doc;
}

inline Object& Grid(CVantrelDoc& doc) { return *doc.m_pGrids[0]; }
inline MazeCell& Cell(CVantrelDoc& doc, int x, int y) { return Grid(doc).GetCell(x, y); }

// A cheap generator for templates, apart from the program's generator.
struct TestRng {
    unsigned long long s;
    unsigned Next()
    {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(s >> 33);
    }
    int Below(int n) { return int(Next() % unsigned(n)); }
};

constexpr int kDx[5] = {0, 0, 1, 0, -1};
constexpr int kDy[5] = {0, -1, 0, 1, 0};
constexpr int kRev[5] = {0, 3, 4, 1, 2};

struct ReferenceMaze {
    int w, h;
    std::vector<MazeCell> cells;
    std::vector<frontier_location> frontier;
    int startX = -1, startY = -1, seed = 1, placedMarks = 0;
    std::vector<std::pair<int, int>> startPoints;

    ReferenceMaze(int w0, int h0) : w(w0), h(h0), cells(std::size_t(w0 * h0), MazeCell{0, 0}) {}

    bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    MazeCell& C(int x, int y) { return cells[std::size_t(x + y * w)]; }
    bool Free(int x, int y) { return In(x, y) && !C(x, y).passages && !(C(x, y).flags & 0xF); }

    void RemoveFrontier(int x, int y)
    {
        for (std::size_t i = 0; i < frontier.size(); ++i)
            if (frontier[i] == frontier_location{x, y, 0}) {
                frontier[i] = frontier.back();
                frontier.pop_back();
                return;
            }
    }
    void Open(int d, int x, int y)
    {
        C(x, y).passages |= WORD(1 << (d - 1));
        if (C(x, y).flags & CELL_FRONTIER) {
            C(x, y).flags &= WORD(~CELL_FRONTIER);
            RemoveFrontier(x, y);
        }
    }
    int AddFree(int x, int y, int v[])
    {
        v[0] = 0;
        for (int d = 1; d <= 4; ++d) {
            v[d] = 0;
            int nx = x + kDx[d], ny = y + kDy[d];
            if (In(nx, ny) && !C(nx, ny).passages && !(C(nx, ny).flags & 0xF)) {
                C(nx, ny).flags |= CELL_FRONTIER;
                frontier.push_back({nx, ny, 0});
                v[d] = 1;
                ++v[0];
            }
        }
        return v[0];
    }
    int Pick(const int v[])
    {
        int total = 0;
        for (int d = 1; d <= 4; ++d)
            total += v[d] != 0;
        if (!total)
            return 0;
        int r = VantrelRand() % total;
        for (int d = 1; d <= 4; ++d)
            if (v[d] && --r < 0)
                return d;
        return 0;
    }

    void MakeMaze()
    {
        // A placed-mark bit counts only while some cell carries its mark.
        bool startMarked = false, stopMarked = false;
        for (const MazeCell& c : cells) {
            startMarked |= (c.flags & 0x10) != 0;
            stopMarked |= (c.flags & 0x20) != 0;
        }
        if (!(placedMarks & 0x10) || !startMarked)
            C(0, 0).flags |= 0x50;
        if (!(placedMarks & 0x20) || !stopMarked)
            C(w - 1, h - 1).flags |= 0x60;
        for (auto& c : cells)
            c.flags &= 0x7FFE;
        frontier.clear();
        int v[17] = {};
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                if (C(x, y).passages)
                    AddFree(x, y, v);
        if (frontier.empty()) {
            if (seed != -1)
                VantrelSrand(unsigned(seed));
            // A start cell outside the grid is as good as none.
            if (!In(startX, startY))
                startX = startY = -1;
            if (startX == -1 && startY == -1) {
                do {
                    startX = VantrelRand() % w;
                    startY = VantrelRand() % h;
                } while (!Free(startX, startY));
            } else if (!Free(startX, startY)) {
                return;
            }
            if (startPoints.empty())
                startPoints.push_back({startX, startY});
            if (AddFree(startX, startY, v)) {
                int d = Pick(v);
                Open(d, startX, startY);
                startX += kDx[d];
                startY += kDy[d];
                Open(kRev[d], startX, startY);
                AddFree(startX, startY, v);
            }
        }
        Grow();
    }

    void Grow()
    {
        int x = startX, y = startY;
        while (!frontier.empty()) {
            int i = VantrelRand() % int(frontier.size());
            x = frontier[std::size_t(i)].x;
            y = frontier[std::size_t(i)].y;
            int carved[17] = {};
            for (int d = 1; d <= 4; ++d) {
                int nx = x + kDx[d], ny = y + kDy[d];
                carved[d] = In(nx, ny) && C(nx, ny).passages;
            }
            int d = Pick(carved);
            if (!d)
                continue;
            C(x, y).flags &= WORD(~CELL_FRONTIER);
            frontier[std::size_t(i)] = frontier.back();
            frontier.pop_back();
            Open(d, x, y);
            Open(kRev[d], x + kDx[d], y + kDy[d]);
            int cand[17] = {};
            AddFree(x, y, cand);
            while (cand[0] > 0) {
                d = Pick(cand);
                Open(d, x, y);
                x += kDx[d];
                y += kDy[d];
                Open(kRev[d], x, y);
                AddFree(x, y, cand);
            }
        }
        startX = x;
        startY = y;
        Solve();
    }

    // Dead-end filling as whole column-order passes until nothing changes.
    void Solve()
    {
        std::vector<MazeCell> backup = cells;
        bool changed = true;
        while (changed) {
            changed = false;
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y) {
                    int cx = x, cy = y, s = 0;
                    int n = Exits(cx, cy, s);
                    while (n == 1) {
                        changed = true;
                        C(cx, cy).passages &= WORD(~(1 << (s - 1)));
                        // A side the square cell does not have leads nowhere.
                        if (s > 4)
                            break;
                        int nx = cx + kDx[s], ny = cy + kDy[s];
                        if (!In(nx, ny))
                            break;
                        cx = nx;
                        cy = ny;
                        C(cx, cy).passages &= WORD(~(1 << (kRev[s] - 1)));
                        n = Exits(cx, cy, s);
                    }
                }
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].passages)
                backup[i].flags |= CELL_SOLUTION;
            cells[i] = backup[i];
        }
    }
    int Exits(int x, int y, int& s)
    {
        int n = 0;
        for (int b = 0; b < 16; ++b)
            if (C(x, y).passages & (1 << b)) {
                ++n;
                s = b + 1;
            }
        if (n > 0 && (C(x, y).flags & 0x30))
            ++n;
        return n;
    }
};

// Copies the document grid's cells into a reference maze of the same size.
inline ReferenceMaze ReferenceOf(CVantrelDoc& doc)
{
    Object& g = Grid(doc);
    ReferenceMaze ref(g.width, g.height);
    for (int i = 0; i < g.width * g.height; ++i)
        ref.cells[std::size_t(i)] = g.cells[std::size_t(i)];
    ref.startX = doc.m_nStartX;
    ref.startY = doc.m_nStartY;
    ref.seed = doc.m_nSeed;
    ref.placedMarks = doc.m_nPlacedMarks;
    return ref;
}

inline bool SameCells(CVantrelDoc& doc, const ReferenceMaze& ref)
{
    Object& g = Grid(doc);
    for (int i = 0; i < g.width * g.height; ++i) {
        const MazeCell& a = g.cells[std::size_t(i)];
        const MazeCell& b = ref.cells[std::size_t(i)];
        if (a.flags != b.flags || a.passages != b.passages)
            return false;
    }
    return true;
}

// Blackens a random share (in percent) of the cells.
inline void BlackenRandomCells(CVantrelDoc& doc, TestRng& rng, int percent)
{
    Object& g = Grid(doc);
    for (int i = 0; i < g.width * g.height; ++i)
        if (rng.Below(100) < percent)
            g.cells[std::size_t(i)].flags = CELL_BLACKENED;
}

}  // namespace maze_test
