#pragma once
// Splits a JPEG stream into its marker segments, reads the EXIF (APP1) block's TIFF directories, the
// frame header and the comment into an ExifData record, and writes the kept segments back around
// newly encoded image data. Every offset and count taken from the file is checked against the
// segment it lies in; directory nesting is bounded.
#include "platform/core/WinTypes.h"

#include <cstddef>

class CRasterFile;

struct ExifData {
    char Version[5];
    char CameraMake[32];
    char CameraModel[40];
    char DateTime[20];
    LONG Height, Width;
    LONG Orientation;
    LONG IsColor;
    LONG Process;
    LONG FlashUsed;
    float FocalLength;
    float ExposureTime;
    float ApertureFNumber;
    float Distance;
    float CCDWidth;
    float ExposureBias;
    LONG Whitebalance;
    LONG MeteringMode;
    LONG ExposureProgram;
    LONG ISOequivalent;
    LONG CompressionLevel;
    float FocalplaneXRes;
    float FocalplaneYRes;
    float FocalplaneUnits;
    float Xresolution;
    float Yresolution;
    float ResolutionUnit;
    float Brightness;
    char Comments[1000];
    const BYTE* ThumbnailPointer; // into the kept EXIF segment
    DWORD ThumbnailSize;
    bool IsExif;
};

class CRasterExifInfo {
public:
    // ReadSegments modes.
    static constexpr int EXIF_READ_EXIF = 1;  // the EXIF block and the comment
    static constexpr int EXIF_READ_IMAGE = 2; // everything after the start of scan, as one entry
    static constexpr int MAX_SECTIONS = 20;
    static constexpr int M_IMAGE_DATA = 0x123; // marker of the entry holding the data after the scan header
    // Directories one EXIF block may lead to (the chain and the sub-directories together).
    static constexpr int MAX_DIRECTORIES = 32;

    struct Section {
        BYTE* Data; // the two length bytes, then the payload
        int Type;   // marker
        DWORD Size; // the length field (the image data entry: its byte count)
    };

    // Fills info (not owned), or a zeroed record of its own when info is null.
    explicit CRasterExifInfo(ExifData* info = nullptr);
    ~CRasterExifInfo();
    CRasterExifInfo(const CRasterExifInfo&) = delete;
    CRasterExifInfo& operator=(const CRasterExifInfo&) = delete;

    bool ReadSegments(CRasterFile* stream, int mode);
    // payload: the APP1 payload after the length bytes; length: its size in bytes.
    bool ReadExifSegment(BYTE* payload, DWORD length);
    // dir lies inside the TIFF block [base, base + length).
    bool ReadDirectory(const BYTE* dir, const BYTE* base, DWORD length, ExifData* info,
                       const BYTE** lastReferenced, int depth = 0);
    void ReadComment(const BYTE* segment, DWORD length);
    void ReadFrameHeader(const BYTE* segment, DWORD length, int marker);
    void KeepExifOnly();
    Section* FindSegment(int marker);
    bool WriteSegments(CRasterFile* stream);

    const ExifData* GetData() const { return m_info; }
    const char* GetLastError() const { return m_lastError; }
    int GetSectionCount() const { return m_sectionsRead; }
    const Section& GetSection(int i) const { return m_sections[i]; }

    static int ReadBig16(const BYTE* p);
    int Read16(const BYTE* p) const;
    LONG Read32(const BYTE* p) const;
    // value holds at least the bytes of one component of format.
    double ConvertValue(const BYTE* value, int format) const;
    static int BytesPerFormat(int format);

private:
    void SetError(const char* text);
    void DropLast();

    ExifData* m_info;
    char m_lastError[256] = {};
    LONG m_exifImageWidth = 0;
    int m_motorolaOrder = 0;
    // One more than the segments the scan keeps: the image data after the last one.
    Section m_sections[MAX_SECTIONS + 1] = {};
    int m_sectionsRead = 0;
    bool m_ownsInfo = false;
    int m_directoriesRead = 0;
};
