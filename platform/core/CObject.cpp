#include "platform/core/CObject.h"

#include <cstring>
#include <map>
#include <string>

namespace {
// Built on first use, so registrations from any translation unit's static initialisation find it ready.
std::map<std::string, CRuntimeClass*>& Registry()
{
    static std::map<std::string, CRuntimeClass*> registry;
    return registry;
}
}

CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass)
            return true;
    return false;
}

CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    auto& registry = Registry();
    auto it = registry.find(lpszClassName);
    return it == registry.end() ? nullptr : it->second;
}

void CRuntimeClass::Register(CRuntimeClass* pClass)
{
    if (pClass && pClass->m_lpszClassName)
        Registry()[pClass->m_lpszClassName] = pClass;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

bool CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}
