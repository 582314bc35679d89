#pragma once
// The data coders of the GIF codec, kept apart from the image record so that they can be driven and
// tested over plain byte and pixel interfaces: the LZW decoder, the LZW, plain-code and run-length
// encoders, and the interlaced row order. All tables are fixed arrays inside the coder objects, so
// no allocation happens per code.
#include "platform/core/WinTypes.h"

#include <cstdint>

// A source of single bytes: 0..255, or a negative value at the end of the data.
class CGifByteInput {
public:
    virtual int ReadByte() = 0;

protected:
    ~CGifByteInput() = default;
};

// Receives decoded pixel lines (one palette index per byte); a negative result stops decoding.
class CGifRowSink {
public:
    virtual int PutRow(BYTE* pixels, int length) = 0;

protected:
    ~CGifRowSink() = default;
};

// Delivers the pixels to encode in order; -1 after the last one.
class CGifPixelSource {
public:
    virtual int NextPixel() = 0;

protected:
    ~CGifPixelSource() = default;
};

// Takes finished bytes of encoded data (already framed into sub-blocks); false on a write fault.
class CGifByteOutput {
public:
    virtual bool WriteBytes(const BYTE* data, int count) = 0;

protected:
    ~CGifByteOutput() = default;
};

// Decoder results below zero besides the input's own end marker.
enum GifLzwError {
    GIF_LZW_NO_MEMORY = -10,
    GIF_LZW_BAD_CODE_SIZE = -20,
    GIF_LZW_CHAIN_TOO_LONG = -30,
};

// The variable-width LZW decoder of GIF image data, starting at the minimum-code-size byte.
class CGifLzwDecoder {
public:
    static constexpr int kMaxCodes = 4096;

    // Decodes one image's data into lines of lineWidth pixels; badCodes counts codes beyond the next
    // free table slot. Returns 0 at the end code or at the end of the input, a negative value for an
    // unusable code size, a chain that would overflow the stack, or a sink that refused a row.
    int DecodeLzw(CGifByteInput& input, CGifRowSink& sink, int lineWidth, int& badCodes);

    void ResetDecoder(int size);
    // The next code of the current width; the end code after a zero-length sub-block; negative at the
    // end of the input.
    int ReadCode();

private:
    // The next data byte, reading a new sub-block when the current one is used up; -2 after a
    // zero-length sub-block, another negative value at the end of the input.
    int NextDataByte();

    CGifByteInput* m_input = nullptr;
    short m_codeWidth = 0, m_clearCode = 0, m_endCode = 0, m_firstFree = 0, m_topCode = 0, m_nextFree = 0;
    short m_bytesLeft = 0, m_bitsLeft = 0;
    BYTE m_currentByte = 0;
    BYTE m_subBlock[257] = {};
    const BYTE* m_subCursor = m_subBlock;
    BYTE m_stack[kMaxCodes] = {};
    BYTE m_suffix[kMaxCodes] = {};
    WORD m_prefix[kMaxCodes] = {};
};

// The data sub-blocks an encoder writes: bytes gather until a block holds its limit (at most 255),
// then go out behind their length byte. A failed write is remembered until the next Start.
class CGifSubBlockWriter {
public:
    void Start(CGifByteOutput& out, int limit)
    {
        m_out = &out;
        m_limit = limit;
        m_count = 0;
        m_failed = false;
    }
    void Put(BYTE b)
    {
        m_data[m_count++] = b;
        if (m_count >= m_limit)
            Flush();
    }
    void Flush();
    bool Failed() const { return m_failed; }

private:
    CGifByteOutput* m_out = nullptr;
    int m_limit = 255;
    int m_count = 0;
    bool m_failed = false;
    BYTE m_data[256] = {};
};

// Shared bit packing of the LZW and plain-code encoders: codes go out least significant bit first in
// data sub-blocks of at most 254 bytes.
class CGifLzwEncoder {
public:
    static constexpr int kHashSize = 5003;
    static constexpr int kHashShift = 4;
    static constexpr int kMaxCodes = 4096;

    // Both encoders take the initial code width (minimum code size + 1) and write the data sub-blocks
    // without the terminating zero-length sub-block. They return false when a write failed.
    bool CompressLzw(int initBits, CGifPixelSource& pixels, CGifByteOutput& out);
    bool CompressPlain(int initBits, CGifPixelSource& pixels, CGifByteOutput& out);

    void ClearHash();

private:
    void Start(int initBits, CGifByteOutput& out);
    void PutCode(int code);

    CGifSubBlockWriter m_packets;
    DWORD m_accumulator = 0;
    int m_bitCount = 0;
    int m_codeWidth = 0;
    int m_maxCode = 0;
    int m_nextFree = 0;
    bool m_clearFlag = false;
    int m_initBits = 0;
    int m_clearCode = 0, m_endCode = 0;
    std::int32_t m_hashKey[kHashSize] = {};
    WORD m_codeTable[kHashSize] = {};
};

// Run-length encoder: emits only codes a standard LZW decoder builds into runs of one pixel value,
// so its output decodes with any GIF reader. Data sub-blocks hold up to 255 bytes.
class CGifRunEncoder {
public:
    bool CompressRuns(int initBits, CGifPixelSource& pixels, CGifByteOutput& out);

    // Shortest count of codes that spell out count pixels with run codes of up to maxCodes pixels.
    static std::int64_t TriangleCost(std::int64_t count, std::int64_t maxCodes);
    static std::int64_t IntegerSqrt(std::int64_t x);

private:
    void Reset();
    void PutCodeBits(int value);
    void PutPlain(int code);
    void PutClear();
    void FlushRun();
    void FromClear(std::int64_t count);
    void ClearOrRepeat(std::int64_t count);
    void WithTable(std::int64_t count);
    void RestoreClearLimit();

    CGifSubBlockWriter m_blocks;
    int m_runPixel = 0;
    int m_baseCode = 0;
    std::int64_t m_runCount = 0;
    int m_tablePixel = 0;
    int m_tableMax = 0;
    bool m_justCleared = false;
    int m_outBits = 0, m_outBitsInit = 0;
    int m_outCount = 0;
    int m_outBump = 0, m_outBumpInit = 0;
    int m_outClear = 0, m_outClearInit = 0;
    int m_maxOutCodes = 0;
    int m_clearCode = 0, m_endCode = 0;
    DWORD m_bitBuffer = 0;
    int m_bitCount = 0;
};

// The row order of an interlaced image: passes start at rows 0, 4, 2, 1 with steps 8, 8, 4, 2.
// Rows count from the top of the block.
class CGifInterlace {
public:
    void Start(int rowTotal);
    int Row() const { return m_nextRow; }
    // False once every pass is done (further lines have no row).
    bool Done() const { return m_pass > 3; }
    void Advance();

private:
    int m_nextRow = 0;
    int m_step = 8;
    int m_rowTotal = 0;
    int m_pass = 0;
};

// Packs a line of one index per byte in place to 1 or 4 bits per pixel (leftmost pixel in the high
// bits); other depths are left as they are.
void GifPackLine(BYTE* line, int width, int bpp);

// Unpacks width pixels of a packed row (1, 4 or 8 bits per pixel) to one index per byte.
void GifUnpackLine(const BYTE* packed, int width, int bpp, BYTE* out);
