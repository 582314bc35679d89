#include "platform/core/Profile.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// 8-bit text passes through Latin-1, which maps every byte to one character and back unchanged.
QString ToQ(const char* text) { return QString::fromLatin1(text ? text : ""); }

CString FromQ(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return CString(std::string(bytes.constData(), std::size_t(bytes.size())));
}

bool Usable(const char* lpszSection, const char* lpszEntry)
{
    return lpszSection && *lpszSection && lpszEntry && *lpszEntry;
}

// The open batch of the process's profile: its settings object holds the batched writes until the
// outermost batch closes.
struct Batch {
    int depth = 0;
    QString path;
    std::unique_ptr<QSettings> settings;
};
Batch& TheBatch()
{
    static Batch batch;
    return batch;
}

QString PathOf(const CProfile& profile) { return QString::fromLocal8Bit(profile.GetProfilePath().GetString()); }

// The batch's settings when the profile's file is the batch's, else null.
QSettings* BatchFor(const CProfile& profile)
{
    Batch& batch = TheBatch();
    return batch.settings && batch.path == PathOf(profile) ? batch.settings.get() : nullptr;
}

// The stored value of an entry, or an invalid variant.
QVariant Lookup(const CProfile& profile, const char* lpszSection, const char* lpszEntry)
{
    if (!Usable(lpszSection, lpszEntry))
        return {};
    const auto read = [&](QSettings& settings) {
        settings.beginGroup(ToQ(lpszSection));
        QVariant value = settings.value(ToQ(lpszEntry));
        settings.endGroup();
        return value;
    };
    if (QSettings* batch = BatchFor(profile))
        return read(*batch);
    QSettings settings(PathOf(profile), QSettings::IniFormat);
    return read(settings);
}

bool IsBinary(const QVariant& value) { return value.typeId() == QMetaType::QByteArray; }

// Applies one change and writes the file at once, so that nothing is lost if the program stops; in a
// batch, the batch's close writes it.
template <typename Change>
BOOL Store(const CProfile& profile, const char* lpszSection, Change change)
{
    if (!lpszSection || !*lpszSection)
        return FALSE;
    if (QSettings* batch = BatchFor(profile)) {
        batch->beginGroup(ToQ(lpszSection));
        change(*batch);
        batch->endGroup();
        return TRUE;
    }
    QSettings settings(PathOf(profile), QSettings::IniFormat);
    settings.beginGroup(ToQ(lpszSection));
    change(settings);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError ? TRUE : FALSE;
}

} // namespace

CString CProfile::GetProfilePath() const
{
    std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : "") + "/.config";
    }
    if (!m_strRegistryKey.IsEmpty())
        folder += "/" + m_strRegistryKey.str();
    return CString(folder + "/" + (m_strAppName.IsEmpty() ? std::string("profile") : m_strAppName.str()) + ".ini");
}

UINT CProfile::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) const
{
    const QVariant value = Lookup(*this, lpszSection, lpszEntry);
    if (!value.isValid() || IsBinary(value))
        return UINT(nDefault);
    if (value.typeId() == QMetaType::Int)
        return UINT(value.toInt());
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    return ok ? UINT(number) : UINT(nDefault);
}

CString CProfile::GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault) const
{
    const QVariant value = Lookup(*this, lpszSection, lpszEntry);
    if (!value.isValid() || IsBinary(value) || !value.canConvert<QString>())
        return CString(lpszDefault);
    return FromQ(value.toString());
}

BOOL CProfile::GetProfileBinary(const char* lpszSection, const char* lpszEntry, std::vector<BYTE>& data) const
{
    data.clear();
    const QVariant value = Lookup(*this, lpszSection, lpszEntry);
    if (!IsBinary(value))
        return FALSE;
    const QByteArray bytes = value.toByteArray();
    data.assign(reinterpret_cast<const BYTE*>(bytes.constData()),
                reinterpret_cast<const BYTE*>(bytes.constData()) + bytes.size());
    return TRUE;
}

BOOL CProfile::GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes) const
{
    if (ppData)
        *ppData = nullptr;
    if (pBytes)
        *pBytes = 0;
    std::vector<BYTE> data;
    if (!ppData || !pBytes || !GetProfileBinary(lpszSection, lpszEntry, data))
        return FALSE;
    *ppData = new BYTE[data.empty() ? 1 : data.size()];
    if (!data.empty())
        std::memcpy(*ppData, data.data(), data.size());
    *pBytes = UINT(data.size());
    return TRUE;
}

BOOL CProfile::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue)
{
    if (!lpszEntry || !*lpszEntry)
        return FALSE;
    return Store(*this, lpszSection, [&](QSettings& s) { s.setValue(ToQ(lpszEntry), nValue); });
}

BOOL CProfile::WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue)
{
    if (lpszEntry && !*lpszEntry)
        return FALSE;
    return Store(*this, lpszSection, [&](QSettings& s) {
        if (!lpszEntry)
            s.remove(QString()); // the whole group
        else if (!lpszValue)
            s.remove(ToQ(lpszEntry));
        else
            s.setValue(ToQ(lpszEntry), ToQ(lpszValue));
    });
}

BOOL CProfile::WriteProfileBinary(const char* lpszSection, const char* lpszEntry, const BYTE* pData, UINT nBytes)
{
    if (!lpszEntry || !*lpszEntry || (!pData && nBytes))
        return FALSE;
    return Store(*this, lpszSection, [&](QSettings& s) {
        s.setValue(ToQ(lpszEntry), QByteArray(reinterpret_cast<const char*>(pData), qsizetype(nBytes)));
    });
}

CProfile& AfxGetProfile()
{
    static CProfile profile;
    return profile;
}

CProfileBatch::CProfileBatch()
{
    Batch& batch = TheBatch();
    if (batch.depth++ == 0) {
        batch.path = PathOf(AfxGetProfile());
        batch.settings = std::make_unique<QSettings>(batch.path, QSettings::IniFormat);
    }
}

CProfileBatch::~CProfileBatch()
{
    Batch& batch = TheBatch();
    if (--batch.depth == 0) {
        batch.settings->sync();
        batch.settings.reset();
    }
}
