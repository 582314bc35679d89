#include "image/CRasterGifLzw.h"

#include "image/CRasterImage.h"

#include <cstring>
#include <new>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Decoder

void CGifLzwDecoder::ResetDecoder(int size)
{
    m_codeWidth = short(size + 1);
    m_topCode = short(1 << (size + 1));
    m_clearCode = short(1 << size);
    m_endCode = short(m_clearCode + 1);
    m_firstFree = m_nextFree = short(m_clearCode + 2);
    m_bytesLeft = 0;
    m_bitsLeft = 0;
    m_subCursor = m_subBlock;
    std::memset(m_stack, 0, sizeof m_stack);
    std::memset(m_suffix, 0, sizeof m_suffix);
    std::memset(m_prefix, 0, sizeof m_prefix);
}

int CGifLzwDecoder::NextDataByte()
{
    if (m_bytesLeft <= 0) {
        int n = m_input->ReadByte();
        if (n < 0)
            return n < -2 ? n : -1;
        if (n == 0) {
            m_bytesLeft = -1;
            return -2;
        }
        for (int i = 0; i < n; ++i) {
            int b = m_input->ReadByte();
            if (b < 0)
                return -1; // the sub-block is cut short: the data ends here
            m_subBlock[i] = BYTE(b);
        }
        m_subCursor = m_subBlock;
        m_bytesLeft = short(n);
    }
    --m_bytesLeft;
    return *m_subCursor++;
}

int CGifLzwDecoder::ReadCode()
{
    if (m_bitsLeft == 0) {
        int b = NextDataByte();
        if (b == -2)
            return m_endCode;
        if (b < 0)
            return b;
        m_currentByte = BYTE(b);
        m_bitsLeft = 8;
    }
    DWORD code = DWORD(m_currentByte) >> (8 - m_bitsLeft);
    while (m_codeWidth > m_bitsLeft) {
        int b = NextDataByte();
        if (b == -2)
            return m_endCode;
        if (b < 0)
            return b;
        m_currentByte = BYTE(b);
        code |= DWORD(b) << m_bitsLeft;
        m_bitsLeft = short(m_bitsLeft + 8);
    }
    m_bitsLeft = short(m_bitsLeft - m_codeWidth);
    return int(code & ((1u << m_codeWidth) - 1));
}

int CGifLzwDecoder::DecodeLzw(CGifByteInput& input, CGifRowSink& sink, int lineWidth, int& badCodes)
{
    badCodes = 0;
    m_input = &input;
    const int size = input.ReadByte();
    if (size < 0)
        return size;
    if (size < 2 || size > 9)
        return GIF_LZW_BAD_CODE_SIZE;
    ResetDecoder(size);
    if (lineWidth <= 0)
        return GIF_LZW_NO_MEMORY;

    std::vector<BYTE> line;
    try {
        line.assign(size_t(lineWidth) + 1, 0);
    } catch (const std::bad_alloc&) {
        CRasterImage::NoteAllocationFailure();
        return GIF_LZW_NO_MEMORY;
    }
    BYTE* out = line.data();
    int room = lineWidth;
    int oldCode = 0;
    int firstChar = 0;

    // Each code pushes its characters in reverse; popping them fills the line, which goes out whole.
    BYTE* sp = m_stack;
    BYTE* const stackEnd = m_stack + kMaxCodes;
    auto emit = [&](BYTE ch) -> int {
        *out++ = ch;
        if (--room == 0) {
            int r = sink.PutRow(line.data(), lineWidth);
            if (r < 0)
                return r;
            out = line.data();
            room = lineWidth;
        }
        return 0;
    };

    int c;
    while ((c = ReadCode()) != m_endCode) {
        if (c < 0)
            return 0;
        if (c == m_clearCode) {
            m_codeWidth = short(size + 1);
            m_nextFree = m_firstFree;
            m_topCode = short(1 << (size + 1));
            while ((c = ReadCode()) == m_clearCode) {
            }
            if (c == m_endCode)
                break;
            if (c < 0)
                return 0;
            if (c >= m_nextFree)
                c = 0;
            oldCode = firstChar = c;
            if (int r = emit(BYTE(c)); r < 0)
                return r;
            continue;
        }

        int code = c;
        if (code >= m_nextFree) {
            if (code > m_nextFree)
                ++badCodes;
            *sp++ = BYTE(firstChar);
            code = oldCode;
        }
        // Every prefix is below its own slot, so the chain is finite; the bound guards the stack.
        while (code >= m_firstFree) {
            if (sp >= stackEnd - 1)
                return GIF_LZW_CHAIN_TOO_LONG;
            *sp++ = m_suffix[code];
            code = m_prefix[code];
        }
        *sp++ = BYTE(code);
        if (m_nextFree < m_topCode) {
            firstChar = code;
            m_suffix[m_nextFree] = BYTE(code);
            m_prefix[m_nextFree] = WORD(oldCode);
            ++m_nextFree;
            oldCode = c;
        }
        if (m_nextFree >= m_topCode && m_codeWidth < 12) {
            m_topCode = short(m_topCode * 2);
            ++m_codeWidth;
        }
        while (sp > m_stack) {
            if (int r = emit(*--sp); r < 0)
                return r;
        }
    }
    if (room != lineWidth) {
        int r = sink.PutRow(line.data(), lineWidth - room);
        if (r < 0)
            return r;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// LZW and plain-code encoders

void CGifLzwEncoder::ClearHash()
{
    for (auto& k : m_hashKey)
        k = -1;
}

void CGifLzwEncoder::Start(int initBits, CGifByteOutput& out)
{
    m_packets.Start(out, 254);
    m_accumulator = 0;
    m_bitCount = 0;
    m_clearFlag = false;
    m_initBits = initBits;
    m_codeWidth = initBits;
    m_maxCode = (1 << initBits) - 1;
    m_clearCode = 1 << (initBits - 1);
    m_endCode = m_clearCode + 1;
    m_nextFree = m_clearCode + 2;
}

void CGifSubBlockWriter::Flush()
{
    if (m_count > 0) {
        const BYTE length = BYTE(m_count);
        if (!m_out->WriteBytes(&length, 1) || !m_out->WriteBytes(m_data, m_count))
            m_failed = true;
    }
    m_count = 0;
}

void CGifLzwEncoder::PutCode(int code)
{
    if (m_bitCount > 0)
        m_accumulator = (m_accumulator & ((1u << m_bitCount) - 1)) | (DWORD(code) << m_bitCount);
    else
        m_accumulator = DWORD(code);
    m_bitCount += m_codeWidth;
    while (m_bitCount >= 8) {
        m_packets.Put(BYTE(m_accumulator & 0xFF));
        m_accumulator >>= 8;
        m_bitCount -= 8;
    }

    if (m_nextFree > m_maxCode || m_clearFlag) {
        if (m_clearFlag) {
            m_codeWidth = m_initBits;
            m_maxCode = (1 << m_codeWidth) - 1;
            m_clearFlag = false;
        } else {
            ++m_codeWidth;
            m_maxCode = m_codeWidth == 12 ? kMaxCodes : (1 << m_codeWidth) - 1;
        }
    }

    if (code == m_endCode) {
        while (m_bitCount > 0) {
            m_packets.Put(BYTE(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_bitCount -= 8;
        }
        m_bitCount = 0;
        m_packets.Flush();
    }
}

bool CGifLzwEncoder::CompressLzw(int initBits, CGifPixelSource& pixels, CGifByteOutput& out)
{
    Start(initBits, out);
    int prefix = pixels.NextPixel();
    ClearHash();
    PutCode(m_clearCode);
    if (prefix < 0) {
        PutCode(m_endCode);
        return !m_packets.Failed();
    }

    int c;
    while ((c = pixels.NextPixel()) >= 0) {
        const std::int32_t key = (std::int32_t(c) << 12) + prefix;
        int i = ((c << kHashShift) ^ prefix) % kHashSize;
        bool found = false;
        if (m_hashKey[i] == key) {
            found = true;
        } else if (m_hashKey[i] >= 0) {
            const int disp = i == 0 ? 1 : kHashSize - i;
            // The table never fills (at most 4,096 of 5,003 slots), so an empty slot ends the probe.
            for (int probes = 0; probes < kHashSize; ++probes) {
                i -= disp;
                if (i < 0)
                    i += kHashSize;
                if (m_hashKey[i] == key) {
                    found = true;
                    break;
                }
                if (m_hashKey[i] <= 0)
                    break;
            }
        }
        if (found) {
            prefix = m_codeTable[i];
            continue;
        }
        PutCode(prefix);
        prefix = c;
        if (m_nextFree < kMaxCodes) {
            m_codeTable[i] = WORD(m_nextFree++);
            m_hashKey[i] = key;
        } else {
            ClearHash();
            m_nextFree = m_clearCode + 2;
            m_clearFlag = true;
            PutCode(m_clearCode);
        }
    }
    PutCode(prefix);
    PutCode(m_endCode);
    return !m_packets.Failed();
}

bool CGifLzwEncoder::CompressPlain(int initBits, CGifPixelSource& pixels, CGifByteOutput& out)
{
    Start(initBits, out);
    PutCode(m_clearCode);
    int c;
    while ((c = pixels.NextPixel()) >= 0) {
        PutCode(c);
        if (m_nextFree < kMaxCodes) {
            ++m_nextFree;
        } else {
            m_nextFree = m_clearCode + 2;
            m_clearFlag = true;
            PutCode(m_clearCode);
        }
    }
    PutCode(m_endCode);
    return !m_packets.Failed();
}

// ---------------------------------------------------------------------------------------------
// Run-length encoder

std::int64_t CGifRunEncoder::IntegerSqrt(std::int64_t x)
{
    if (x < 2)
        return x;
    std::int64_t r = 1;
    for (std::int64_t v = x; v; v >>= 2)
        r <<= 1;
    for (;;) {
        std::int64_t v = (x / r + r) / 2;
        if (v == r || v == r + 1)
            return r;
        r = v;
    }
}

std::int64_t CGifRunEncoder::TriangleCost(std::int64_t count, std::int64_t maxCodes)
{
    const std::int64_t per = maxCodes * (maxCodes + 1) / 2;
    std::int64_t cost = 0;
    if (per > 0 && count >= per) {
        cost += (count / per) * maxCodes;
        count %= per;
    }
    if (count > 0) {
        std::int64_t k = IntegerSqrt(count);
        while (k * (k + 1) >= 2 * count)
            --k;
        while (k * (k + 1) < 2 * count)
            ++k;
        cost += k;
    }
    return cost;
}

void CGifRunEncoder::Reset()
{
    m_outBits = m_outBitsInit;
    m_outBump = m_outBumpInit;
    m_outClear = m_outClearInit;
    m_outCount = 0;
    m_tableMax = 0;
    m_justCleared = true;
}

void CGifRunEncoder::PutCodeBits(int value)
{
    m_bitBuffer |= DWORD(value) << m_bitCount;
    m_bitCount += m_outBits;
    while (m_bitCount >= 8) {
        m_blocks.Put(BYTE(m_bitBuffer & 0xFF));
        m_bitBuffer >>= 8;
        m_bitCount -= 8;
    }
}

void CGifRunEncoder::PutClear()
{
    PutCodeBits(m_clearCode);
    Reset();
}

void CGifRunEncoder::PutPlain(int code)
{
    m_justCleared = false;
    PutCodeBits(code);
    ++m_outCount;
    if (m_outCount >= m_outBump) {
        ++m_outBits;
        m_outBump += 1 << (m_outBits - 1);
    }
    if (m_outCount >= m_outClear)
        PutClear();
}

void CGifRunEncoder::RestoreClearLimit()
{
    m_outClear = m_outClearInit;
    if (m_outCount >= m_outClear)
        PutClear();
}

void CGifRunEncoder::FromClear(std::int64_t count)
{
    m_outClear = m_maxOutCodes;
    m_tablePixel = m_runPixel;
    std::int64_t k = 1;
    while (count > 0) {
        if (k == 1) {
            m_tableMax = 1;
            PutPlain(m_runPixel);
            --count;
        } else if (count >= k) {
            m_tableMax = int(k);
            PutPlain(m_baseCode + int(k) - 2);
            count -= k;
        } else if (count == 1) {
            ++m_tableMax;
            PutPlain(m_runPixel);
            count = 0;
        } else {
            ++m_tableMax;
            PutPlain(m_baseCode + int(count) - 2);
            count = 0;
        }
        k = m_outCount == 0 ? 1 : k + 1;
    }
    RestoreClearLimit();
}

void CGifRunEncoder::ClearOrRepeat(std::int64_t count)
{
    if (1 + TriangleCost(count, m_maxOutCodes) < count) {
        PutClear();
        FromClear(count);
    } else {
        for (; count > 0; --count)
            PutPlain(m_runPixel);
    }
}

void CGifRunEncoder::WithTable(std::int64_t count)
{
    std::int64_t reps = count / m_tableMax;
    std::int64_t left = count % m_tableMax;
    std::int64_t extra = left ? 1 : 0;
    if (m_outCount + reps + extra > m_maxOutCodes) {
        reps = m_maxOutCodes - m_outCount;
        left = count - reps * m_tableMax;
        extra = 1 + TriangleCost(left, m_maxOutCodes);
    }
    if (1 + TriangleCost(count, m_maxOutCodes) < reps + extra) {
        PutClear();
        FromClear(count);
        return;
    }
    m_outClear = m_maxOutCodes;
    for (; reps > 0; --reps)
        PutPlain(m_baseCode + m_tableMax - 2);
    if (left > 0) {
        if (m_justCleared)
            FromClear(left);
        else if (left == 1)
            PutPlain(m_runPixel);
        else
            PutPlain(m_baseCode + int(left) - 2);
    }
    RestoreClearLimit();
}

void CGifRunEncoder::FlushRun()
{
    if (m_runCount == 1) {
        PutPlain(m_runPixel);
    } else if (m_justCleared) {
        FromClear(m_runCount);
    } else if (m_tableMax < 2 || m_tablePixel != m_runPixel) {
        ClearOrRepeat(m_runCount);
    } else {
        WithTable(m_runCount);
    }
    m_runCount = 0;
}

bool CGifRunEncoder::CompressRuns(int initBits, CGifPixelSource& pixels, CGifByteOutput& out)
{
    m_blocks.Start(out, 255);
    m_clearCode = 1 << (initBits - 1);
    m_endCode = m_clearCode + 1;
    m_baseCode = m_clearCode + 2;
    m_outBumpInit = m_clearCode - 1;
    m_outClearInit = initBits <= 3 ? 9 : m_outBumpInit - 1;
    m_outBitsInit = initBits;
    m_maxOutCodes = 4093 - m_clearCode;
    m_runCount = 0;
    m_runPixel = 0;
    m_tablePixel = 0;
    Reset();
    m_bitBuffer = 0;
    m_bitCount = 0;
    PutCodeBits(m_clearCode);

    for (;;) {
        const int c = pixels.NextPixel();
        if (m_runCount > 0 && c != m_runPixel)
            FlushRun();
        if (c < 0)
            break;
        if (c == m_runPixel) {
            ++m_runCount;
        } else {
            m_runPixel = c;
            m_runCount = 1;
        }
    }
    PutCodeBits(m_endCode);
    if (m_bitCount > 0)
        m_blocks.Put(BYTE(m_bitBuffer & 0xFF));
    m_blocks.Flush();
    return !m_blocks.Failed();
}

// ---------------------------------------------------------------------------------------------
// Interlace order and line packing

void CGifInterlace::Start(int rowTotal)
{
    m_nextRow = 0;
    m_step = 8;
    m_rowTotal = rowTotal;
    m_pass = 0;
}

void CGifInterlace::Advance()
{
    m_nextRow += m_step;
    while (m_nextRow >= m_rowTotal && m_pass <= 3) {
        if (m_pass > 0)
            m_step /= 2;
        ++m_pass;
        m_nextRow = m_step / 2;
    }
}

void GifPackLine(BYTE* line, int width, int bpp)
{
    if (bpp == 4) {
        for (int x = 0; x < width; ++x) {
            BYTE v = BYTE(line[x] & 0x0F);
            BYTE& dst = line[x / 2];
            if (x % 2 == 0)
                dst = BYTE(v << 4);
            else
                dst = BYTE(dst | v);
        }
    } else if (bpp == 1) {
        for (int x = 0; x < width; ++x) {
            BYTE bit = BYTE((line[x] & 1) << (7 - x % 8));
            BYTE& dst = line[x / 8];
            if (x % 8 == 0)
                dst = bit;
            else
                dst = BYTE(dst | bit);
        }
    }
}

void GifUnpackLine(const BYTE* packed, int width, int bpp, BYTE* out)
{
    for (int x = 0; x < width; ++x) {
        switch (bpp) {
        case 1: out[x] = BYTE((packed[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: out[x] = BYTE((packed[x >> 1] >> (4 * (1 - (x & 1)))) & 0x0F); break;
        default: out[x] = packed[x]; break;
        }
    }
}
