// The grid record of a document file: the grid's own fields and its cells in index order.
#include "maze/Object.h"

#include "maze/MzeArchive.h"
#include "platform/core/CArchive.h"

#include <bit>
#include <cmath>
#include <memory>

static_assert(std::endian::native == std::endian::little, "cells are stored as their in-memory words");

void Object::Serialize(CArchive& ar, double)
{
    if (ar.IsStoring()) {
        ar << 1.0 << baseFlags << name << sides << kind << width << height;
        ar << 2 << innerRadius << innerRingCells;
        mze::WriteZeros(ar, 3);
        // A cell in memory is its stored form: the flags word, then the passage word, little-endian.
        if (cells)
            ar.Write(cells.get(), UINT(GetCellCount() * std::int64_t(sizeof(MazeCell))));
        return;
    }

    // Everything is read and checked before the grid changes, so a broken record leaves it whole.
    mze::ReadDouble(ar);
    int newBaseFlags = mze::ReadIntIn(ar, 0, 0xFFFF);
    CString newName;
    ar >> newName;
    // The shape and move tables stay those of the grid the rebuild made, so the sides must match them.
    mze::ReadIntIn(ar, sides, sides);
    // Ring cells are read only into the ring grid that a ring template's rebuild made.
    int newKind = kind == 2 ? mze::ReadIntIn(ar, 2, 2) : mze::ReadIntIn(ar, 0, 1);
    if (newKind == 0)
        newKind = 1;
    int newWidth = mze::ReadIntIn(ar, 1, mze::kMaxCellsPerSide);
    int newHeight = mze::ReadIntIn(ar, 1, mze::kMaxCellsPerSide);
    int marker = mze::ReadInt(ar);
    double newInnerRadius = innerRadius;
    int newInnerRingCells = innerRingCells;
    if (marker == 2) {
        newInnerRadius = mze::ReadDouble(ar);
        if (!std::isfinite(newInnerRadius) || newInnerRadius < 0.0 || newInnerRadius > 1.0)
            mze::Reject();
        newInnerRingCells = mze::ReadIntIn(ar, 0, mze::kMaxCellsPerSide);
    }
    mze::SkipInts(ar, 3);

    const std::int64_t count = std::int64_t(newWidth) * newHeight;
    if (count > kMaxCells)
        mze::Reject();
    if (std::uint64_t(count) * mze::kCellBytes > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::unique_ptr<MazeCell[]> newCells(new MazeCell[std::size_t(count)]());
    ar.EnsureRead(newCells.get(), UINT(count * 4));
    // Passages may only name sides the cell has.
    const unsigned validSides = sides >= 16 ? 0xFFFFu : ((1u << sides) - 1u);
    for (std::int64_t i = 0; i < count; ++i) {
        if (newCells[std::size_t(i)].passages & ~validSides)
            mze::Reject();
    }

    if (!AllocCells(newWidth, newHeight))
        AfxThrowMemoryException();
    std::copy(newCells.get(), newCells.get() + count, cells.get());
    baseFlags = newBaseFlags;
    name = newName;
    kind = newKind;
    innerRadius = newInnerRadius;
    innerRingCells = newInnerRingCells;
}
