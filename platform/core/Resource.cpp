#include "platform/core/Resource.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// One loaded resource; handed out as HRSRC and, for its data, as HGLOBAL. Entries are never freed,
// so the bytes stay valid for the life of the process as module resources do.
struct HRSRC__ {
    QByteArray data;
};

namespace {

std::mutex g_lock;
std::map<std::string, std::unique_ptr<HRSRC__>>& Cache()
{
    static std::map<std::string, std::unique_ptr<HRSRC__>> cache;
    return cache;
}

const char* TypeName(LPCSTR type, char* buffer, unsigned size)
{
    if (!IS_INTRESOURCE(type))
        return type;
    unsigned id = unsigned(reinterpret_cast<std::uintptr_t>(type));
    switch (id) {
    case 1: return "CURSOR";
    case 2: return "BITMAP";
    case 3: return "ICON";
    case 10: return "RCDATA";
    default: std::snprintf(buffer, size, "#%u", id); return buffer;
    }
}

} // namespace

const char* ResourcePath(LPCSTR name, LPCSTR type, char* buffer, unsigned size)
{
    if (!buffer || size == 0)
        return "";
    buffer[0] = 0;
    if (!name || !type)
        return buffer;
    char typeBuf[16];
    const char* typeName = TypeName(type, typeBuf, sizeof typeBuf);
    if (IS_INTRESOURCE(name))
        std::snprintf(buffer, size, ":/res/%s/%u", typeName, unsigned(reinterpret_cast<std::uintptr_t>(name)));
    else
        std::snprintf(buffer, size, ":/res/%s/%s", typeName, name[0] == '#' ? name + 1 : name);
    return buffer;
}

HRSRC FindResource(HMODULE, LPCSTR name, LPCSTR type)
{
    char path[512];
    ResourcePath(name, type, path, sizeof path);
    if (!path[0])
        return nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    auto& cache = Cache();
    auto it = cache.find(path);
    if (it != cache.end())
        return it->second.get();
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto entry = std::make_unique<HRSRC__>();
    entry->data = file.readAll();
    HRSRC handle = entry.get();
    cache.emplace(path, std::move(entry));
    return handle;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return resource;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? DWORD(resource->data.size()) : 0;
}

LPVOID LockResource(HGLOBAL data)
{
    if (!data)
        return nullptr;
    HRSRC__* entry = static_cast<HRSRC__*>(data);
    // An empty resource still has an address, as a locked zero-length resource would.
    return entry->data.data();
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}
