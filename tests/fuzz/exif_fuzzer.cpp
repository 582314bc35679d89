// EXIF reader under arbitrary bytes: the input is an APP1 payload, read directly from a buffer of
// exactly its size, then wrapped in a minimal JPEG stream (with a comment and a frame header) that
// the segment reader splits, keeps the EXIF part of and writes back.
#include "image/CRasterExif.h"
#include "image/CRasterMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 65533)
        return 0;
    {
        BYTE* payload = static_cast<BYTE*>(std::malloc(size ? size : 1));
        if (size)
            std::memcpy(payload, data, size);
        CRasterExifInfo reader;
        reader.ReadExifSegment(payload, DWORD(size));
        std::free(payload);
    }

    std::vector<BYTE> jpeg = {0xFF, 0xD8, 0xFF, 0xE1, BYTE((size + 2) >> 8), BYTE(size + 2)};
    jpeg.insert(jpeg.end(), data, data + size);
    const BYTE tail[] = {0xFF, 0xFE, 0x00, 0x06, 'a', '\r', '\n', 'b', 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00,
                         0x03, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9};
    jpeg.insert(jpeg.end(), tail, tail + sizeof tail);
    CRasterMemFile in(jpeg.data(), DWORD(jpeg.size()));
    CRasterExifInfo reader;
    if (reader.ReadSegments(&in, CRasterExifInfo::EXIF_READ_EXIF | CRasterExifInfo::EXIF_READ_IMAGE)) {
        reader.KeepExifOnly();
        CRasterMemFile in2(jpeg.data(), DWORD(jpeg.size()));
        reader.ReadSegments(&in2, CRasterExifInfo::EXIF_READ_IMAGE);
        CRasterMemFile out;
        out.Open();
        reader.WriteSegments(&out);
    }
    return 0;
}
