#include "image/CRasterIOFile.h"

CRasterIOFile::CRasterIOFile(std::FILE* fp) : m_fp(fp), m_bCloseOnDestroy(fp == nullptr) {}

CRasterIOFile::~CRasterIOFile()
{
    Close();
}

bool CRasterIOFile::Open(const char* filename, const char* mode)
{
    if (m_fp || !filename || !mode)
        return false;
    m_fp = std::fopen(filename, mode);
    return m_fp != nullptr;
}

bool CRasterIOFile::Close()
{
    if (!m_fp || !m_bCloseOnDestroy)
        return true;
    int r = std::fclose(m_fp);
    m_fp = nullptr;
    return r == 0;
}

DWORD CRasterIOFile::Read(void* buffer, DWORD size, DWORD count)
{
    if (!m_fp || !buffer)
        return 0;
    return DWORD(std::fread(buffer, size, count, m_fp));
}

DWORD CRasterIOFile::Write(const void* buffer, DWORD size, DWORD count)
{
    if (!m_fp || !buffer)
        return 0;
    return DWORD(std::fwrite(buffer, size, count, m_fp));
}

bool CRasterIOFile::Seek(LONG offset, int origin)
{
    return m_fp && std::fseek(m_fp, offset, origin) == 0;
}

LONG CRasterIOFile::Tell()
{
    return m_fp ? LONG(std::ftell(m_fp)) : 0;
}

LONG CRasterIOFile::Size()
{
    if (!m_fp)
        return -1;
    long pos = std::ftell(m_fp);
    std::fseek(m_fp, 0, SEEK_END);
    long size = std::ftell(m_fp);
    std::fseek(m_fp, pos, SEEK_SET);
    return LONG(size);
}

bool CRasterIOFile::Flush()
{
    return m_fp && std::fflush(m_fp) == 0;
}

bool CRasterIOFile::Eof()
{
    return !m_fp || std::feof(m_fp) != 0;
}

LONG CRasterIOFile::Error()
{
    return m_fp ? LONG(std::ferror(m_fp)) : -1;
}

bool CRasterIOFile::PutC(BYTE c)
{
    return m_fp && std::fputc(c, m_fp) == c;
}

LONG CRasterIOFile::GetC()
{
    if (!m_fp)
        return -1;
    int c = std::fgetc(m_fp);
    return c == EOF ? -1 : LONG(c);
}
