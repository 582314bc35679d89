#pragma once
// GIF files: reads GIF87a/GIF89a (LZW, interlace, frames composed with their disposal, comments,
// transparency, true-colour mosaics) and writes GIF89a with one of three data encoders; 24-bit images
// are written as a mosaic of 17 x 15 pixel cells, each with its own 256-entry palette.
#include "image/CRasterGifLzw.h"
#include "image/CRasterImage.h"

#include <vector>

class CRasterFile;
class CRasterRowIterator;

// The parts of an image descriptor the reader uses.
struct GifImageDescriptor {
    WORD left = 0;
    WORD top = 0;
    WORD width = 0;
    WORD height = 0;
    BYTE flags = 0; // bit 7 local table, bit 6 interlaced, bits 0-2 table size code
};

class CRasterImageGIF : public CRasterImage {
public:
    // Data encoders chosen by the GIF codec option; anything else means LZW.
    static constexpr DWORD GIF_ENCODE_PLAIN = 1;
    static constexpr DWORD GIF_ENCODE_RUNS = 2;
    static constexpr int kReadBufferSize = 16384;
    static constexpr int kReadChunk = 16383;

    CRasterImageGIF();
    ~CRasterImageGIF() override;

    // Decodes the frame selected by the info block's frame field; sets the frame count.
    bool Decode(CRasterFile* stream);
    // Writes the whole image; above 8 bits per pixel as a true-colour mosaic.
    bool Encode(CRasterFile* stream);

    // Codec-object state: the last comment read (or the one to write), the loop count of an
    // application extension, the disposal method of the last graphic control read (or to write).
    const char* GetComment() const { return m_comment; }
    void SetComment(const char* text);
    int GetLoopCount() const { return m_loopCount; }
    int GetDisposalMethod() const { return m_disposalMethod; }
    void SetDisposalMethod(int method) { m_disposalMethod = method; }
    const BYTE* GetGraphicControl() const { return m_graphicControl; }

    // ---- reading ----
    int ReadByte();
    bool ReadExtension(CRasterFile* stream);
    // Counts the frames after the header (and global table), then returns to where it started.
    LONG CountFrames(CRasterFile* stream, int tableCount, WORD screenWidth, WORD screenHeight);
    int DecodeLzw(int lineWidth, int& badCodes);
    int PutRow(BYTE* pixels, int length);
    int SkipToNextImage(CRasterFile* stream, LONG position);
    static void MergeFrame(CRasterImage& background, CRasterImage& frame, const GifImageDescriptor& descriptor);

    // ---- writing ----
    bool EncodeTrueColor(CRasterFile* stream);
    void WriteScreen(CRasterFile* stream);
    void WriteGraphicControl(CRasterFile* stream);
    void WriteComment(CRasterFile* stream);
    void WriteImage(CRasterFile* stream, bool localTable);
    int NextPixel();
    void PutWord(CRasterFile* stream, WORD value);
    bool CompressLzw(int initBits);
    bool CompressPlain(int initBits);
    bool CompressRuns(int initBits);

private:
    struct Adapters;
    friend struct Adapters;

    void PutByte(CRasterFile* stream, BYTE value);
    void PutBytes(CRasterFile* stream, const void* data, DWORD count);
    // Positions the image reader before one block's data and decodes it into this image (or only
    // walks it when image is false); then leaves the stream just after the data.
    void DecodeBlockData(CRasterFile* stream, const GifImageDescriptor& d, bool toImage, int bpp);

    BYTE m_graphicControl[4] = {}; // flags, delay (little-endian), transparent index
    LONG m_curX = 0;
    LONG m_curY = 0;
    LONG m_pixelsLeft = 0;
    std::vector<BYTE> m_encodeLine; // the row being encoded, one index per byte
    bool m_interlaced = false;
    CGifInterlace m_interlace;
    LONG m_rowsLeft = 0;
    int m_rowBpp = 8;
    int m_rowWidth = 0;
    CRasterRowIterator* m_rowIterator = nullptr;
    CRasterFile* m_in = nullptr;
    CRasterFile* m_out = nullptr;
    bool m_writeFault = false;
    int m_readPos = kReadBufferSize;
    int m_readFill = 0;
    BYTE m_readBuffer[kReadBufferSize] = {};
    CGifLzwDecoder m_decoder;
    CGifLzwEncoder m_lzw;
    CGifRunEncoder m_runs;
    char m_comment[256] = {};
    int m_loopCount = 0;
    int m_disposalMethod = 0;
};

// Dispatch entry points (format id 2).
bool DecodeGif(CRasterImage& image, CRasterFile* stream);
bool EncodeGif(CRasterImage& image, CRasterFile* stream);
