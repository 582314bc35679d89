#pragma once
// The component model shared by the JPEG 2000 family's readers and writers: an image is a list of
// planes of integer samples, each with its own size, precision and sign.
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CRasterFile;

namespace jas {

struct Component {
    DWORD width = 0;
    DWORD height = 0;
    int prec = 8;    // bits per sample
    bool sgnd = false;
    const std::int32_t* data = nullptr; // width x height samples, rows from the top
    std::vector<std::int32_t> own;      // the samples, when this component holds them itself

    void Allocate(DWORD w, DWORD h)
    {
        width = w;
        height = h;
        own.assign(std::size_t(w) * h, 0);
        data = own.data();
    }
    std::int32_t* Samples() { return own.data(); }
};

enum class ColorSpace { Unknown, Srgb, Gray, Sycc };

struct ComponentImage {
    std::vector<Component> comps;
    ColorSpace space = ColorSpace::Unknown;
    std::shared_ptr<void> owner; // keeps a library's sample planes alive
};

enum class Family { None, Jp2, Jpc, Pgx, Pnm, Ras };

// The family member whose signature starts the bytes, or None.
Family DetectFamily(const BYTE* head, std::size_t size);

// Most samples a decoded image may hold (all components together).
constexpr std::uint64_t kMaxSamples = 256000000;

// What a JP2 file or JPEG 2000 code stream declares in its main and tile-part headers. Work counts
// 14 a tile (its SOT and SOD markers, the least a tile-part is), 1 a resolution of a tile-component
// and 1 a packet (the least a packet is); the counts stop growing once they pass their allowance.
struct DeclaredWork {
    std::uint64_t bytes = 0;   // of the code stream
    std::uint64_t samples = 0; // of all components
    std::uint64_t tiles = 0;
    std::uint64_t work = 0;
    std::uint64_t packets = 0;
    std::uint64_t codeBlocks = 0;
};

// Reads the declared work of the stream at its position, which it keeps; false when the picture
// header cannot be read (the library then refuses the stream itself).
bool ReadDeclaredWork(CRasterFile& stream, Family family, DeclaredWork& out);
// The work and the code-blocks a code stream of so many bytes may declare: many times what a
// complete stream of that size can hold, so that only absurd declarations are refused.
std::uint64_t WorkAllowance(std::uint64_t bytes);
std::uint64_t CodeBlockAllowance(std::uint64_t bytes);
// The message that refuses the declared work, or empty when the work is within its allowance.
std::string DisproportionateWork(const DeclaredWork& work);

// Readers leave the stream after what they read; false when the data is not a usable image.
// ReadJpeg2000 gives the reason in refusal when it refuses declared work before decoding.
bool ReadJpeg2000(CRasterFile& stream, Family family, ComponentImage& out, std::string& refusal);
bool ReadPnm(CRasterFile& stream, ComponentImage& out);
bool ReadPgx(CRasterFile& stream, ComponentImage& out);
bool ReadRas(CRasterFile& stream, ComponentImage& out);

// Writers take 8-bit unsigned components (1 grey or 3 red, green, blue) of equal size.
// rate is the wanted size as a fraction of the raw size (1 or more: no limit).
bool WriteJpeg2000(CRasterFile& stream, Family family, const ComponentImage& in, double rate);
bool WritePnm(CRasterFile& stream, const ComponentImage& in);
bool WritePgx(CRasterFile& stream, const ComponentImage& in);
bool WriteRas(CRasterFile& stream, const ComponentImage& in);

} // namespace jas
