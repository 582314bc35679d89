#include "image/CRasterMemFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CRasterMemFile::CRasterMemFile(const BYTE* buffer, DWORD size)
    : m_pBuffer(const_cast<BYTE*>(buffer)), m_dwSize(buffer ? size : 0), m_bFreeOnClose(buffer == nullptr),
      m_dwCapacity(buffer ? size : 0)
{
}

CRasterMemFile::~CRasterMemFile()
{
    Close();
}

bool CRasterMemFile::Open()
{
    if (m_pBuffer)
        return false;
    m_lPosition = 0;
    m_dwSize = 0;
    m_dwCapacity = 0;
    m_pBuffer = static_cast<BYTE*>(std::calloc(1, 1));
    m_bFreeOnClose = true;
    m_bOwnsBuffer = m_pBuffer != nullptr;
    return m_pBuffer != nullptr;
}

bool CRasterMemFile::Close()
{
    if (m_pBuffer && m_bFreeOnClose && m_bOwnsBuffer) {
        std::free(m_pBuffer);
        m_pBuffer = nullptr;
        m_dwSize = 0;
        m_dwCapacity = 0;
        m_bOwnsBuffer = false;
    }
    return true;
}

BYTE* CRasterMemFile::GetBuffer(bool detach)
{
    if (detach) {
        // The block is the caller's now: never free, grow or write it again.
        m_bFreeOnClose = false;
        m_bOwnsBuffer = false;
    } else {
        m_bFreeOnClose = m_bOwnsBuffer;
    }
    return m_pBuffer;
}

DWORD CRasterMemFile::Read(void* buffer, DWORD size, DWORD count)
{
    if (!buffer || !m_pBuffer || m_lPosition < 0 || DWORD(m_lPosition) >= m_dwSize)
        return 0;
    std::uint64_t want = std::uint64_t(size) * count;
    if (want == 0)
        return 0;
    std::uint64_t left = m_dwSize - DWORD(m_lPosition);
    std::uint64_t n = want < left ? want : left;
    std::memcpy(buffer, m_pBuffer + m_lPosition, size_t(n));
    m_lPosition += LONG(n);
    return DWORD(n / size);
}

bool CRasterMemFile::Alloc(DWORD n)
{
    if (n <= m_dwCapacity)
        return true;
    if (!m_bOwnsBuffer && m_pBuffer)
        return false;
    // The smallest multiple of 4096 above n, computed without wrapping.
    std::uint64_t capacity = (std::uint64_t(n) & ~std::uint64_t(0xFFF)) + 4096;
    if (capacity > 0x7FFFFFFFu)
        return false;
    BYTE* grown = static_cast<BYTE*>(std::realloc(m_pBuffer, size_t(capacity)));
    if (!grown)
        return false;
    std::memset(grown + m_dwCapacity, 0, size_t(capacity - m_dwCapacity));
    m_pBuffer = grown;
    m_dwCapacity = DWORD(capacity);
    m_bFreeOnClose = true;
    m_bOwnsBuffer = true;
    return true;
}

DWORD CRasterMemFile::Write(const void* buffer, DWORD size, DWORD count)
{
    if (!m_pBuffer || !buffer || !m_bOwnsBuffer)
        return 0;
    std::uint64_t n = std::uint64_t(size) * count;
    if (n == 0)
        return 0;
    std::uint64_t end = std::uint64_t(m_lPosition) + n;
    if (end > 0x7FFFFFFFu)
        return 0;
    if (end > m_dwCapacity && !Alloc(DWORD(end)))
        return 0;
    std::memcpy(m_pBuffer + m_lPosition, buffer, size_t(n));
    m_lPosition = LONG(end);
    if (DWORD(m_lPosition) > m_dwSize)
        m_dwSize = DWORD(m_lPosition);
    return count;
}

bool CRasterMemFile::Seek(LONG offset, int origin)
{
    if (!m_pBuffer)
        return false;
    std::int64_t pos;
    switch (origin) {
    case SEEK_SET: pos = offset; break;
    case SEEK_CUR: pos = std::int64_t(m_lPosition) + offset; break;
    case SEEK_END: pos = std::int64_t(m_dwSize) + offset; break;
    default: return false;
    }
    if (pos < 0)
        pos = 0;
    if (pos > 0x7FFFFFFF)
        pos = 0x7FFFFFFF;
    m_lPosition = LONG(pos);
    return true;
}

LONG CRasterMemFile::Tell()
{
    return m_pBuffer ? m_lPosition : -1;
}

LONG CRasterMemFile::Size()
{
    return m_pBuffer ? LONG(m_dwSize) : -1;
}

bool CRasterMemFile::Flush()
{
    return m_pBuffer != nullptr;
}

bool CRasterMemFile::Eof()
{
    return !m_pBuffer || DWORD(m_lPosition) >= m_dwSize;
}

LONG CRasterMemFile::Error()
{
    if (!m_pBuffer)
        return -1;
    return DWORD(m_lPosition) > m_dwSize ? 1 : 0;
}

bool CRasterMemFile::PutC(BYTE c)
{
    return Write(&c, 1, 1) == 1;
}

LONG CRasterMemFile::GetC()
{
    if (Eof())
        return -1;
    return m_pBuffer[m_lPosition++];
}
