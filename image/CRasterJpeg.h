#pragma once
// Baseline and progressive JPEG files through libjpeg: decodes to 8-bit grey (or quantised) and 24-bit
// images, taking the resolution from the EXIF block when there is one and from the JFIF header
// otherwise; encodes 24-bit and grey-ramp 8-bit images.
#include "image/CRasterExif.h"
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImageJPG : public CRasterImage {
public:
    // Codec option bits (GetCodecOption(IMAGE_FORMAT_JPG)).
    static constexpr DWORD ENCODE_BASELINE = 0x01;
    static constexpr DWORD ENCODE_ARITHMETIC = 0x02;
    static constexpr DWORD ENCODE_GRAYSCALE = 0x04;
    static constexpr DWORD ENCODE_OPTIMIZE = 0x08;
    static constexpr DWORD ENCODE_PROGRESSIVE = 0x10;
    static constexpr DWORD ENCODE_SMOOTHING = 0x40;
    static constexpr DWORD DECODE_GRAYSCALE = 0x80;
    static constexpr DWORD DECODE_QUANTIZE = 0x100;
    static constexpr DWORD DECODE_DITHER = 0x200;
    static constexpr DWORD DECODE_ONEPASS = 0x400;
    static constexpr DWORD DECODE_NOSMOOTH = 0x800;

    CRasterImageJPG();
    ~CRasterImageJPG() override;
    CRasterImageJPG(const CRasterImageJPG&) = delete;
    CRasterImageJPG& operator=(const CRasterImageJPG&) = delete;

    bool Decode(CRasterFile* stream);
    bool Encode(CRasterFile* stream);
    // Runs the EXIF reader over the stream and returns to where it started; true when the file has
    // a readable EXIF block.
    bool ReadExif(CRasterFile* stream);

    const ExifData& GetExifData() const { return m_exifInfo; }
    const CRasterExifInfo* GetExifReader() const { return m_exif; }

private:
    struct Impl;
    friend struct Impl;

    CRasterExifInfo* m_exif = nullptr;
    ExifData m_exifInfo{};
    int m_smoothing = 0; // 0..100, with ENCODE_SMOOTHING
    int m_dither = 1;    // libjpeg's J_DITHER_MODE, with DECODE_DITHER (ordered)
};

// Dispatch entry points (format id 3).
bool DecodeJpeg(CRasterImage& image, CRasterFile* stream);
bool EncodeJpeg(CRasterImage& image, CRasterFile* stream);
