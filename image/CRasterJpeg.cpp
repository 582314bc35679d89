#include "image/CRasterJpeg.h"

#include "image/CRasterFile.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

constexpr std::size_t kStreamBuffer = 4096;
// Memory libjpeg may take for whole-image buffers (progressive and multi-scan files).
constexpr long kMaxLibraryMemory = 512L * 1024 * 1024;

// libjpeg's error manager followed by the jump back to the codec and the text that receives the
// library's message (the image's lastError).
struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char* text;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    JpegError* err = reinterpret_cast<JpegError*>(cinfo->err);
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    std::snprintf(err->text, 256, "%s", message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated file, corrupt data that the library skips) are not shown: the program has
// no console.
void JpegOutputMessage(j_common_ptr) {}

void InstallErrors(JpegError* err, char* text)
{
    jpeg_std_error(&err->pub);
    err->pub.error_exit = JpegErrorExit;
    err->pub.output_message = JpegOutputMessage;
    err->text = text;
}

// A CRasterFile as libjpeg's source and destination, with a 4 KiB buffer.
struct JpegStreamManager {
    jpeg_destination_mgr dest;
    jpeg_source_mgr src;
    CRasterFile* stream;
    JOCTET* buffer;
    bool startOfFile;
    bool atEnd; // the stream ran dry and the buffer holds the supplied end-of-image marker

    explicit JpegStreamManager(CRasterFile* s)
        : dest{}, src{}, stream(s), buffer(static_cast<JOCTET*>(std::malloc(kStreamBuffer))), startOfFile(true),
          atEnd(false)
    {
        dest.init_destination = InitDestination;
        dest.empty_output_buffer = EmptyOutputBuffer;
        dest.term_destination = TermDestination;
        src.init_source = InitSource;
        src.fill_input_buffer = FillInputBuffer;
        src.skip_input_data = SkipInputData;
        src.resync_to_restart = jpeg_resync_to_restart;
        src.term_source = TermSource;
    }
    ~JpegStreamManager() { std::free(buffer); }
    JpegStreamManager(const JpegStreamManager&) = delete;
    JpegStreamManager& operator=(const JpegStreamManager&) = delete;

    static JpegStreamManager* Of(j_compress_ptr cinfo)
    {
        return reinterpret_cast<JpegStreamManager*>(reinterpret_cast<char*>(cinfo->dest) -
                                                    offsetof(JpegStreamManager, dest));
    }
    static JpegStreamManager* Of(j_decompress_ptr cinfo)
    {
        return reinterpret_cast<JpegStreamManager*>(reinterpret_cast<char*>(cinfo->src) -
                                                    offsetof(JpegStreamManager, src));
    }

    static void InitDestination(j_compress_ptr cinfo)
    {
        JpegStreamManager* m = Of(cinfo);
        m->dest.next_output_byte = m->buffer;
        m->dest.free_in_buffer = kStreamBuffer;
    }
    static boolean EmptyOutputBuffer(j_compress_ptr cinfo)
    {
        JpegStreamManager* m = Of(cinfo);
        if (m->stream->Write(m->buffer, 1, kStreamBuffer) != kStreamBuffer)
            ERREXIT(cinfo, JERR_FILE_WRITE);
        m->dest.next_output_byte = m->buffer;
        m->dest.free_in_buffer = kStreamBuffer;
        return TRUE;
    }
    static void TermDestination(j_compress_ptr cinfo)
    {
        JpegStreamManager* m = Of(cinfo);
        const std::size_t pending = kStreamBuffer - m->dest.free_in_buffer;
        if (pending > 0 && m->stream->Write(m->buffer, 1, DWORD(pending)) != pending)
            ERREXIT(cinfo, JERR_FILE_WRITE);
        m->stream->Flush();
        if (m->stream->Error())
            ERREXIT(cinfo, JERR_FILE_WRITE);
    }

    static void InitSource(j_decompress_ptr cinfo) { Of(cinfo)->startOfFile = true; }
    static boolean FillInputBuffer(j_decompress_ptr cinfo)
    {
        JpegStreamManager* m = Of(cinfo);
        std::size_t n = m->stream->Read(m->buffer, 1, kStreamBuffer);
        if (n == 0) {
            if (m->startOfFile)
                ERREXIT(cinfo, JERR_INPUT_EMPTY);
            WARNMS(cinfo, JWRN_JPEG_EOF);
            m->buffer[0] = 0xFF;
            m->buffer[1] = JPEG_EOI;
            n = 2;
            m->atEnd = true;
        }
        m->src.next_input_byte = m->buffer;
        m->src.bytes_in_buffer = n;
        m->startOfFile = false;
        return TRUE;
    }
    static void SkipInputData(j_decompress_ptr cinfo, long n)
    {
        JpegStreamManager* m = Of(cinfo);
        if (n <= 0)
            return;
        while (n > long(m->src.bytes_in_buffer)) {
            n -= long(m->src.bytes_in_buffer);
            FillInputBuffer(cinfo);
            // Past the end only the supplied end-of-image marker remains; skipping stops there.
            if (m->atEnd)
                return;
        }
        m->src.next_input_byte += n;
        m->src.bytes_in_buffer -= std::size_t(n);
    }
    static void TermSource(j_decompress_ptr) {}
};

LONG DensityToDpi(double v)
{
    if (!(v == v) || v <= 0)
        return 0;
    return v >= double(std::numeric_limits<LONG>::max()) ? std::numeric_limits<LONG>::max() : LONG(v);
}

} // namespace

// The setjmp parts: their locals need no destructors, so a long jump from libjpeg leaks nothing.
struct CRasterImageJPG::Impl {
    static bool Decode(CRasterImageJPG& img, jpeg_decompress_struct* cinfo, JpegError* err, JpegStreamManager* mgr,
                       bool isExif);
    static bool Encode(CRasterImageJPG& img, jpeg_compress_struct* cinfo, JpegError* err, JpegStreamManager* mgr);
};

bool CRasterImageJPG::Impl::Decode(CRasterImageJPG& img, jpeg_decompress_struct* cinfo, JpegError* err,
                                   JpegStreamManager* mgr, bool isExif)
{
    std::memset(cinfo, 0, sizeof *cinfo);
    InstallErrors(err, img.m_info.lastError);
    cinfo->err = &err->pub;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
    cinfo->src = &mgr->src;
    jpeg_read_header(cinfo, TRUE);

    const DWORD options = img.GetCodecOption(IMAGE_FORMAT_JPG);
    if (options & DECODE_GRAYSCALE)
        cinfo->out_color_space = JCS_GRAYSCALE;
    if (options & DECODE_QUANTIZE) {
        cinfo->quantize_colors = TRUE;
        cinfo->desired_number_of_colors = img.m_info.jpegQuality;
    }
    if (options & DECODE_DITHER)
        cinfo->dither_mode = J_DITHER_MODE(img.m_dither);
    if (options & DECODE_ONEPASS)
        cinfo->two_pass_quantize = FALSE;
    if (options & DECODE_NOSMOOTH)
        cinfo->do_fancy_upsampling = FALSE;
    // A scale of 0 means full size (the library would take a zero denominator as double size).
    cinfo->scale_num = 1;
    cinfo->scale_denom = img.m_info.jpegScale ? img.m_info.jpegScale : 1;

    if (img.m_info.escape == -1) {
        jpeg_calc_output_dimensions(cinfo);
        img.m_head.biWidth = LONG(cinfo->output_width);
        img.m_head.biHeight = LONG(cinfo->output_height);
        jpeg_destroy_decompress(cinfo);
        return true;
    }

    // Colour rows arrive in the image's own blue, green, red order.
    if (cinfo->out_color_space == JCS_RGB && !cinfo->quantize_colors)
        cinfo->out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);
    if (!img.Create(LONG(cinfo->output_width), LONG(cinfo->output_height), 8 * DWORD(cinfo->output_components),
                    IMAGE_FORMAT_JPG)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }

    const ExifData& exif = img.m_exifInfo;
    const bool jfifInCm = cinfo->density_unit == 2;
    const LONG jfifX = jfifInCm ? LONG(cinfo->X_density * 2.54 + 0.5) : LONG(cinfo->X_density);
    const LONG jfifY = jfifInCm ? LONG(cinfo->Y_density * 2.54 + 0.5) : LONG(cinfo->Y_density);
    const bool exifX = isExif && exif.Xresolution != 0 && exif.ResolutionUnit != 0;
    const bool exifY = isExif && exif.Yresolution != 0 && exif.ResolutionUnit != 0;
    img.SetXDPI(exifX ? DensityToDpi(double(exif.Xresolution) / exif.ResolutionUnit) : jfifX);
    img.SetYDPI(exifY ? DensityToDpi(double(exif.Yresolution) / exif.ResolutionUnit) : jfifY);

    if (cinfo->quantize_colors) {
        // A grey colour map has one row.
        const bool rgbMap = cinfo->out_color_components >= 3;
        img.SetPalette(DWORD(cinfo->actual_number_of_colors), cinfo->colormap[0],
                       rgbMap ? cinfo->colormap[1] : nullptr, rgbMap ? cinfo->colormap[2] : nullptr);
    } else if (cinfo->out_color_space == JCS_GRAYSCALE) {
        img.SetGrayPalette();
    }

    const bool cmyk = cinfo->output_components == 4 && !cinfo->quantize_colors;
    const DWORD rowSamples = cinfo->output_width * DWORD(cinfo->output_components);
    JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, rowSamples, 1);
    CRasterRowIterator iter(&img);
    iter.Upset();
    const DWORD eff = img.GetEffWidth();
    while (cinfo->output_scanline < cinfo->output_height) {
        if (img.m_info.escape) {
            jpeg_destroy_decompress(cinfo);
            return false;
        }
        BYTE* row = iter.GetRow();
        if (cmyk || !row || rowSamples > eff) {
            jpeg_read_scanlines(cinfo, buffer, 1);
            if (cmyk && row) {
                const BYTE* s = buffer[0];
                for (DWORD x = 0, d = 0; d + 3 <= eff && x + 4 <= rowSamples; x += 4, d += 3) {
                    const unsigned k = s[x + 3];
                    row[d] = BYTE((k * s[x + 2]) / 255);
                    row[d + 1] = BYTE((k * s[x + 1]) / 255);
                    row[d + 2] = BYTE((k * s[x]) / 255);
                }
            } else {
                iter.SetRow(buffer[0], LONG(rowSamples));
            }
        } else {
            jpeg_read_scanlines(cinfo, &row, 1);
        }
        iter.PrevRow();
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

bool CRasterImageJPG::Impl::Encode(CRasterImageJPG& img, jpeg_compress_struct* cinfo, JpegError* err,
                                   JpegStreamManager* mgr)
{
    std::memset(cinfo, 0, sizeof *cinfo);
    InstallErrors(err, img.m_info.lastError);
    cinfo->err = &err->pub;
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    cinfo->dest = &mgr->dest;
    cinfo->image_width = img.GetWidth();
    cinfo->image_height = img.GetHeight();
    const bool grey = img.GetPalette() != nullptr;
    cinfo->input_components = grey ? 1 : 3;
    // 24-bit rows are blue, green, red: the library takes them as they are.
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;

    jpeg_set_defaults(cinfo);
    const DWORD options = img.GetCodecOption(IMAGE_FORMAT_JPG);
    if (options & ENCODE_ARITHMETIC)
        cinfo->arith_code = TRUE;
    if (options & ENCODE_GRAYSCALE)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    if (options & ENCODE_OPTIMIZE)
        cinfo->optimize_coding = TRUE;
    if (options & ENCODE_PROGRESSIVE)
        jpeg_simple_progression(cinfo);
    if (options & ENCODE_SMOOTHING)
        cinfo->smoothing_factor = img.m_smoothing;
    jpeg_set_quality(cinfo, img.m_info.jpegQuality, (options & ENCODE_BASELINE) ? TRUE : FALSE);
    cinfo->density_unit = 1;
    cinfo->X_density = UINT16(img.GetXDPI());
    cinfo->Y_density = UINT16(img.GetYDPI());

    jpeg_start_compress(cinfo, TRUE);
    const LONG h = LONG(img.GetHeight());
    for (LONG y = h - 1; y >= 0; --y) {
        JSAMPROW row = img.GetBits(DWORD(y));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

CRasterImageJPG::CRasterImageJPG() : CRasterImage(IMAGE_FORMAT_JPG) {}

CRasterImageJPG::~CRasterImageJPG()
{
    delete m_exif;
}

bool CRasterImageJPG::ReadExif(CRasterFile* stream)
{
    delete m_exif;
    std::memset(&m_exifInfo, 0, sizeof m_exifInfo);
    m_exif = new (std::nothrow) CRasterExifInfo(&m_exifInfo);
    if (!m_exif)
        return false;
    const LONG pos = stream->Tell();
    m_exif->ReadSegments(stream, CRasterExifInfo::EXIF_READ_EXIF);
    stream->Seek(pos, SEEK_SET);
    return m_exifInfo.IsExif;
}

bool CRasterImageJPG::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    const bool isExif = ReadExif(stream);
    JpegStreamManager mgr(stream);
    if (!mgr.buffer)
        return false;
    jpeg_decompress_struct cinfo;
    JpegError err;
    return Impl::Decode(*this, &cinfo, &err, &mgr, isExif);
}

bool CRasterImageJPG::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    if (GetPalette() && !IsGrayScale()) {
        SetLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }
    const LONG pos = stream->Tell();
    {
        JpegStreamManager mgr(stream);
        if (!mgr.buffer)
            return false;
        jpeg_compress_struct cinfo;
        JpegError err;
        if (!Impl::Encode(*this, &cinfo, &err, &mgr))
            return false;
    }
    // An EXIF block this object read goes back in front of the new image data.
    if (m_exif && m_exifInfo.IsExif) {
        m_exif->KeepExifOnly();
        stream->Seek(pos, SEEK_SET);
        m_exif->ReadSegments(stream, CRasterExifInfo::EXIF_READ_IMAGE);
        stream->Seek(pos, SEEK_SET);
        m_exif->WriteSegments(stream);
    }
    return true;
}

bool DecodeJpeg(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageJPG>(stream);
}

bool EncodeJpeg(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageJPG>(stream);
}
