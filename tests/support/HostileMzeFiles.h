#pragma once
// Small .mze files that ask for far more memory than their size suggests, built field by field: a
// picture of side x side pixels at 8 bits whose run-length data ends at once (the rest of the picture
// is left at colour 0), so a kilobyte stands for hundreds of megabytes; and a text object whose text
// is as long as the test wants.
#include "image/CRasterImage.h"
#include "tests/support/MzeBytes.h"

#include <functional>
#include <string>
#include <vector>

namespace doc_test {

inline std::vector<unsigned char> RunLengthBmp(int side)
{
    MzeBytes b;
    const int rle = 4;  // one run of 255 pixels, then the end-of-bitmap code
    const int offBits = 14 + 40 + 256 * 4;
    b.Byte('B').Byte('M').Int(offBits + rle).Word(0).Word(0).Int(offBits);
    b.Int(40).Int(side).Int(side).Word(1).Word(8).Int(1 /* BI_RLE8 */).Int(rle).Int(2835).Int(2835).Int(256).Int(0);
    for (int i = 0; i < 256; ++i)
        b.Byte(i).Byte(i).Byte(255 - i).Byte(0);
    b.Byte(255).Byte(7).Byte(0).Byte(1);
    return b.bytes;
}

// A version 2.0 document of one cell whose layer objects `objects` writes (count of them).
inline std::vector<unsigned char> OneCellFile(int count, const std::function<void(MzeBytes&)>& objects)
{
    MzeBytes b;
    b.Double(2.0).String("MZE").Int(0).String("").Int(0).Int(1);
    b.Ints({400, -1, 0, -1, 0}).Ints({1, 7499, 1, 1, 9499, 1});
    b.Int(1).Int(0).Int(0).String("").Int(0).Int(0).Zeros(6);
    b.Double(1.0).Int(0).String("").Int(4).Int(1).Int(1).Int(1).Int(2).Double(0.0).Int(0).Zeros(3);
    b.Word(0).Word(0);
    b.Int(count);
    objects(b);
    b.Int(0).Zeros(24);
    return b.bytes;
}

// The start of a layer-object record, up to and including its text.
inline void ObjectHead(MzeBytes& b, int kind, int layer, const std::string& text)
{
    b.Double(1.0).String("NONE;").Int(kind).Int(0).Ints({0, 0, 1000, -1000}).Int(8).Int(0);
    b.Ints({0, 0, 0, 0}).Ints({0, 0}).Int(0).Int(layer).String(text);
}

// `pictures` run-length BMP pictures on the background layer, with a stored alpha level or without,
// stored with the BMP id or with id 0 (found by detection).
inline std::vector<unsigned char> HugePictureFile(int pictures, int side, bool alpha = true,
                                                  DWORD type = IMAGE_FORMAT_BMP)
{
    const std::vector<unsigned char> bmp = RunLengthBmp(side);
    return OneCellFile(pictures, [&](MzeBytes& b) {
        for (int i = 0; i < pictures; ++i) {
            ObjectHead(b, 3, 1, "");
            b.Int(alpha ? 1 : 0).Byte(alpha ? 128 : 0).Int(type).Int(std::int64_t(bmp.size())).Raw(bmp);
        }
    });
}

// One text object whose text is `length` bytes long.
inline std::vector<unsigned char> LongTextFile(std::size_t length)
{
    return OneCellFile(1, [&](MzeBytes& b) {
        ObjectHead(b, 1, 4, std::string(length, 'w'));
        const std::vector<unsigned char> block(60, 0);
        b.Int(60).Raw(block).Int(60).Raw(block);
    });
}

} // namespace doc_test
