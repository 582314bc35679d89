#include "platform/core/CMemFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
// Larger than any file the program builds in memory, small enough that size arithmetic cannot wrap.
constexpr std::uint64_t kMaxMemFileSize = std::uint64_t(1) << 40;
}

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes ? nGrowBytes : 1024) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize) { Attach(lpBuffer, nBufferSize); }

CMemFile::~CMemFile() { Free(); }

void CMemFile::Free()
{
    if (m_bOwnBuffer)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bOwnBuffer = true;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize)
{
    Free();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = m_nFileSize = lpBuffer ? nBufferSize : 0;
    m_bOwnBuffer = false;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bOwnBuffer = true;
    return buffer;
}

BOOL CMemFile::Open(const char* lpszFileName, UINT, CFileException* pError)
{
    // A memory file has no name to open.
    if (pError)
        *pError = CFileException(CFileException::genericException, -1, lpszFileName);
    return FALSE;
}

void CMemFile::Reserve(std::uint64_t nNewSize)
{
    if (nNewSize <= m_nBufferSize)
        return;
    if (!m_bOwnBuffer || nNewSize > kMaxMemFileSize)
        AfxThrowMemoryException();
    std::uint64_t capacity = std::max<std::uint64_t>(m_nBufferSize * 2, m_nBufferSize + m_nGrowBytes);
    capacity = std::max(capacity, nNewSize);
    capacity = std::min(capacity, kMaxMemFileSize);
    auto* grown = static_cast<BYTE*>(std::realloc(m_lpBuffer, std::size_t(capacity)));
    if (!grown)
        AfxThrowMemoryException();
    // Bytes past the content are zero, so a seek past the end and a write leave no garbage between.
    std::memset(grown + m_nBufferSize, 0, std::size_t(capacity - m_nBufferSize));
    m_lpBuffer = grown;
    m_nBufferSize = capacity;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const auto n = UINT(std::min<std::uint64_t>(nCount, m_nFileSize - m_nPosition));
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const std::uint64_t end = m_nPosition + nCount;
    Reserve(end);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    m_nFileSize = std::max(m_nFileSize, end);
}

std::uint64_t CMemFile::Seek(std::int64_t lOff, UINT nFrom)
{
    const std::int64_t base = nFrom == current ? std::int64_t(m_nPosition)
                              : nFrom == end   ? std::int64_t(m_nFileSize)
                                               : 0;
    if ((lOff < 0 && base + lOff < 0) || (lOff > 0 && std::uint64_t(base + lOff) > kMaxMemFileSize))
        throw CFileException(CFileException::badSeek, -1, m_strFileName);
    m_nPosition = std::uint64_t(base + lOff);
    return m_nPosition;
}

void CMemFile::SetLength(std::uint64_t dwNewLen)
{
    Reserve(dwNewLen);
    if (dwNewLen < m_nFileSize && m_bOwnBuffer)
        std::memset(m_lpBuffer + dwNewLen, 0, std::size_t(m_nFileSize - dwNewLen));
    m_nFileSize = dwNewLen;
    m_nPosition = std::min(m_nPosition, dwNewLen);
}

void CMemFile::Close() { Free(); }
