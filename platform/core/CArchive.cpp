#include "platform/core/CArchive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <utility>

static_assert(std::endian::native == std::endian::little, "the archive writes native little-endian values");

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void*)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_bFlushOnDelete((nMode & bNoFlushOnDelete) == 0)
{
    // Buffers smaller than a few values only cost calls; the caller's buffer is not needed.
    m_buffer.resize(std::size_t(std::max(nBufSize, 128)));
}

CArchive::~CArchive()
{
    if (m_pFile && !m_bLoading && m_bFlushOnDelete) {
        try {
            Flush();
        } catch (const CException&) {
        }
    }
}

void CArchive::Throw(int cause) const
{
    throw CArchiveException(cause, m_pFile ? m_pFile->GetFilePath().GetString() : nullptr);
}

std::uint64_t CArchive::GetBytesLeft() const
{
    if (!m_pFile || !m_bLoading)
        return 0;
    const std::uint64_t length = m_pFile->GetLength();
    const std::uint64_t position = m_pFile->GetPosition();
    return (m_nEnd - m_nCur) + (length > position ? length - position : 0);
}

void CArchive::FillBuffer()
{
    m_nCur = 0;
    m_nEnd = m_pFile->Read(m_buffer.data(), UINT(m_buffer.size()));
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!m_pFile)
        Throw(CArchiveException::genericException);
    if (!m_bLoading)
        Throw(CArchiveException::writeOnly);
    auto* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nCur == m_nEnd) {
            // Large reads go straight to the file once the buffer is drained.
            if (nMax - done >= m_buffer.size()) {
                done += m_pFile->Read(out + done, nMax - done);
                break;
            }
            FillBuffer();
            if (m_nEnd == 0)
                break;
        }
        const std::size_t n = std::min<std::size_t>(m_nEnd - m_nCur, nMax - done);
        std::memcpy(out + done, m_buffer.data() + m_nCur, n);
        m_nCur += n;
        done += UINT(n);
    }
    return done;
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount)
{
    if (Read(lpBuf, nCount) != nCount)
        Throw(CArchiveException::endOfFile);
}

void CArchive::WriteBuffer()
{
    if (m_nCur > 0) {
        const std::size_t n = m_nCur;
        m_nCur = 0;
        m_pFile->Write(m_buffer.data(), UINT(n));
    }
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (!m_pFile)
        Throw(CArchiveException::genericException);
    if (m_bLoading)
        Throw(CArchiveException::readOnly);
    const auto* in = static_cast<const BYTE*>(lpBuf);
    if (m_nCur + nMax > m_buffer.size()) {
        WriteBuffer();
        if (nMax >= m_buffer.size()) {
            m_pFile->Write(in, nMax);
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_nCur, in, nMax);
    m_nCur += nMax;
}

void CArchive::Flush()
{
    if (m_pFile && !m_bLoading) {
        WriteBuffer();
        m_pFile->Flush();
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_nCur = m_nEnd = 0;
    m_pFile = nullptr;
}

CArchive& CArchive::operator<<(BYTE by)
{
    Write(&by, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD w)
{
    Write(&w, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD dw)
{
    Write(&dw, 4);
    return *this;
}

CArchive& CArchive::operator<<(float f)
{
    Write(&f, 4);
    return *this;
}

CArchive& CArchive::operator<<(double d)
{
    Write(&d, 8);
    return *this;
}

// Length prefix: one byte below 0xFF; else 0xFF and a WORD below 0xFFFE; else 0xFF, 0xFFFF and a DWORD.
CArchive& CArchive::operator<<(const CString& str)
{
    const std::size_t length = std::size_t(str.GetLength());
    if (length < 0xFF) {
        *this << BYTE(length);
    } else if (length < 0xFFFE) {
        *this << BYTE(0xFF) << WORD(length);
    } else if (length < 0xFFFFFFFF) {
        *this << BYTE(0xFF) << WORD(0xFFFF) << DWORD(length);
    } else {
        Throw(CArchiveException::genericException);
    }
    Write(str.GetString(), UINT(length));
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by)
{
    EnsureRead(&by, 1);
    return *this;
}

CArchive& CArchive::operator>>(char& ch)
{
    EnsureRead(&ch, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& w)
{
    EnsureRead(&w, 2);
    return *this;
}

CArchive& CArchive::operator>>(short& s)
{
    EnsureRead(&s, 2);
    return *this;
}

CArchive& CArchive::operator>>(int& i)
{
    EnsureRead(&i, 4);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& dw)
{
    EnsureRead(&dw, 4);
    return *this;
}

CArchive& CArchive::operator>>(float& f)
{
    EnsureRead(&f, 4);
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    EnsureRead(&d, 8);
    return *this;
}

CArchive& CArchive::operator>>(bool& b)
{
    BYTE by = 0;
    *this >> by;
    b = by != 0;
    return *this;
}

CArchive& CArchive::operator>>(CString& str)
{
    BYTE by = 0;
    *this >> by;
    std::uint64_t length = by;
    if (by == 0xFF) {
        WORD w = 0;
        *this >> w;
        length = w;
        if (w == 0xFFFE) {
            // The marker of a wide-character string, which this format never holds.
            Throw(CArchiveException::badSchema);
        }
        if (w == 0xFFFF) {
            DWORD dw = 0;
            *this >> dw;
            length = dw;
        }
    }
    if (length > GetBytesLeft())
        Throw(CArchiveException::endOfFile);
    // Read in place and moved in: a long string is held once, not twice.
    std::string text(std::size_t(length), '\0');
    EnsureRead(text.data(), UINT(length));
    str = CString(std::move(text));
    return *this;
}
