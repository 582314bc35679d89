#pragma once
// A layer picture as a document file holds it: the image field of the layer-object record (alpha
// present, alpha level, format id, byte count, the encoded bytes).
//
// Whatever is stored comes back: a picture is stored in the format it was loaded from when that format
// holds it (its encoder takes the picture, the bytes stay within the reader's limit, and they decode to
// the same picture, or for a lossy encoding to one of the same size); otherwise it is stored as PNG with
// PNG's id. A picture that neither holds cannot be stored, and the save that asks for it is refused.
#include "maze/MzeArchive.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

class CArchive;
class CRasterImage;

class StoredPicture {
public:
    // Encodes the picture (null or holding no pixels: stored with no bytes, which reads back as no
    // picture). False when no format holds it in at most maxBytes; error then says why, in words for
    // the save's message ("a picture of 20 x 10 pixels is too large ...").
    bool Encode(const CRasterImage* picture, CString& error, std::uint64_t maxBytes = mze::kMaxImageBytes);

    // The record's image field. Reading checks the alpha flag, the format id and the byte count (against
    // the bytes left and the reader's limit) and throws the archive's exception when they cannot be right.
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    // The picture the reader makes of the field: the bytes decoded with the stored id and, when alpha is
    // present and decoding made no alpha plane, a plane at the stored level; palette alpha is enabled
    // with alpha present. Null when there are no bytes or they do not decode; *pOutOfMemory then says
    // whether the picture failed for want of memory rather than for its bytes.
    std::unique_ptr<CRasterImage> Decode(bool* pOutOfMemory = nullptr) const;

    // A lower bound of the memory Decode will take for the picture (its pixels, palette and alpha
    // plane), read from the picture's header without decoding it; 0 when the format's header does not
    // tell (the decoded picture is then counted once it is there).
    std::uint64_t DecodedBytesAtLeast() const;

    DWORD GetType() const { return m_type; }
    std::uint64_t GetSize() const { return m_size; }

private:
    struct Free {
        void operator()(BYTE* p) const { std::free(p); }
    };

    // Encodes in one format and checks what the reader would make of it; false leaves no bytes.
    bool TryFormat(const CRasterImage& picture, DWORD type, std::uint64_t maxBytes, bool& tooLarge);

    int m_alphaPresent = 0;
    BYTE m_alphaLevel = 0;
    DWORD m_type = 0;
    std::unique_ptr<BYTE, Free> m_bytes;
    std::uint64_t m_size = 0;
};

// The memory a decoded picture holds: its pixel block and its alpha and selection planes.
std::uint64_t PictureBytes(const CRasterImage& picture);

// Whether two pictures show the same: the same size and, pixel for pixel, the same colour and opacity
// where a pixel shows, and the same pixels hidden (fully transparent or of the transparent colour).
bool SamePicture(const CRasterImage& a, const CRasterImage& b);
