#pragma once
// Guarded reading of document files. Every count and size read from a file is checked against the
// bytes the archive still holds and a hard limit before anything is allocated or looped over; a value
// that cannot be right ends the load with the archive's own exception, as a short file does.
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"

#include <cmath>
#include <cstdint>

namespace mze {

// Limits no file written by the program comes near.
constexpr std::int64_t kMaxCellsPerSide = 100000;   // the Dimensions page's own limit
constexpr std::int64_t kMaxPageSize = 1000000;      // 1000 inches, in thousandths
constexpr std::int64_t kMaxObjects = 100000;
constexpr std::int64_t kMaxStartPoints = 10000000;
constexpr std::int64_t kMaxImageBytes = 256000000;  // the image library's own cap
// The memory a document's pictures may take once decoded (pixels and alpha planes), all together; a
// file whose pictures need more is refused.
constexpr std::uint64_t kPictureBudgetBytes = 1000000000;
constexpr int kFontBlockBytes = 60;

// The ranges of the header fields the reader takes; the writer refuses a document outside them.
struct Range {
    std::int64_t lo, hi;
    constexpr bool Holds(std::int64_t v) const { return v >= lo && v <= hi; }
};
constexpr Range kScaleRange{0, kMaxPageSize};
constexpr Range kOffsetRange{-kMaxPageSize, kMaxPageSize};
constexpr Range kCellsRange{1, kMaxCellsPerSide};
constexpr Range kPageRange{1, kMaxPageSize};
constexpr Range kSignRange{-1, 1};  // and never 0

// Smallest possible stored sizes, used to bound counts by the bytes left.
constexpr std::uint64_t kCellBytes = 4;
constexpr std::uint64_t kPointBytes = 8;
constexpr std::uint64_t kMinObjectBytes = 8 + 1 + 4 * 19;

[[noreturn]] inline void Reject()
{
    AfxThrowArchiveException(CArchiveException::genericException);
}

inline int ReadInt(CArchive& ar)
{
    int v = 0;
    ar >> v;
    return v;
}

inline double ReadDouble(CArchive& ar)
{
    double v = 0;
    ar >> v;
    return v;
}

// An int that must lie in [lo, hi].
inline int ReadIntIn(CArchive& ar, std::int64_t lo, std::int64_t hi)
{
    int v = ReadInt(ar);
    if (v < lo || v > hi)
        Reject();
    return v;
}

inline int ReadIntIn(CArchive& ar, Range range)
{
    return ReadIntIn(ar, range.lo, range.hi);
}

// A count of items of at least bytesEach bytes that the rest of the file must be able to hold.
inline int ReadCount(CArchive& ar, std::uint64_t bytesEach, std::int64_t maxCount)
{
    int n = ReadIntIn(ar, 0, maxCount);
    if (std::uint64_t(n) * bytesEach > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    return n;
}

// Skips n bytes, which the caller has checked the file holds.
inline void Skip(CArchive& ar, std::uint64_t n)
{
    unsigned char chunk[256];
    while (n > 0) {
        UINT take = UINT(n < sizeof chunk ? n : sizeof chunk);
        ar.EnsureRead(chunk, take);
        n -= take;
    }
}

inline void SkipInts(CArchive& ar, int n)
{
    Skip(ar, std::uint64_t(n) * 4);
}

inline void WriteZeros(CArchive& ar, int nInts)
{
    for (int i = 0; i < nInts; ++i)
        ar << 0;
}

} // namespace mze
