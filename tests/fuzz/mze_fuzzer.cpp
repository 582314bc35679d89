// Loads arbitrary bytes as a maze document through an archive over memory. A file that loads must save
// and load again, or be refused by the writer with its message; a file that does not load must leave
// the document as it was.
#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint64_t kMaxRoundTripPictureBytes = 16u << 20;

std::vector<unsigned char> Store(CVantrelDoc& doc)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
    }
    std::vector<unsigned char> out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty())
        file.Read(out.data(), UINT(out.size()));
    return out;
}

// True when the load went through without an exception and without a refusal.
bool Load(CVantrelDoc& doc, const unsigned char* data, std::size_t size)
{
    std::vector<unsigned char> copy(data, data + size);
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    try {
        doc.Serialize(ar);
    } catch (const CException&) {
        return false;
    }
    return !doc.GetFileFailed();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Settings go to a private folder in memory; message boxes answer with their default button.
    char pattern[] = "/dev/shm/mze-fuzz-XXXXXX";
    const char* dir = mkdtemp(pattern);
    setenv("XDG_CONFIG_HOME", dir ? dir : "/tmp", 1);
    AfxGetProfile().SetRegistryKey("Quillmont");
    AfxGetProfile().SetAppName("FREEQuillmont");
    SetMessageBoxHandler([](const MessageBoxRequest& r) { return MessageBoxDefaultAnswer(r.type); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    static CVantrelDoc* doc = [] {
        auto* d = new CVantrelDoc();
        d->m_nCellsX = 4;
        d->m_nCellsY = 3;
        d->OnFileNew();
        return d;
    }();
    doc->m_dVersion = 2.0;
    const std::vector<unsigned char> before = Store(*doc);

    CVantrelDoc fresh;
    fresh.m_nCellsX = 4;
    fresh.m_nCellsY = 3;
    if (Load(fresh, data, size)) {
        // A few bytes can stand for a picture of hundreds of megabytes (the image library reads past
        // the end of its data as zeros); such a document is not written and read again here.
        std::uint64_t pictureBytes = 0;
        for (int i = 0; i < fresh.m_objects.GetSize(); ++i)
            if (const CRasterImage* image = fresh.m_objects[i].m_pImage)
                pictureBytes += std::uint64_t(image->GetEffWidth()) * image->GetHeight();
        if (pictureBytes > kMaxRoundTripPictureBytes)
            return 0;
        fresh.m_dVersion = 2.0;
        fresh.m_strError.Empty();
        const std::vector<unsigned char> saved = Store(fresh);
        CVantrelDoc again;
        // What the writer writes, the reader reads; a document it cannot write it refuses, saying why,
        // and writes nothing (a picture that no format holds within the reader's limits).
        if (fresh.GetFileFailed()) {
            if (!saved.empty() || std::strncmp(fresh.m_strError.GetString(), "ERROR: Could not save", 21) != 0)
                __builtin_trap();
        } else if (!Load(again, saved.data(), saved.size())) {
            __builtin_trap();
        }
    }

    // Into a document that holds a maze: a refused file leaves it exactly as it was.
    const bool loaded = Load(*doc, data, size);
    doc->m_dVersion = 2.0;
    if (!loaded && Store(*doc) != before)
        __builtin_trap();
    return 0;
}
