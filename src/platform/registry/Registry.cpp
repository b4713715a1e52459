#include "platform/registry/Registry.h"

#include "platform/registry/RegistryStore.h"

using platform::RegistryStore;

LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD, REGSAM samDesired, PHKEY result)
{
    return RegistryStore::Instance().Open(key, subKey, samDesired, false, result, nullptr);
}

LONG RegCreateKeyExW(HKEY key, const WCHAR* subKey, DWORD, WCHAR*, DWORD, REGSAM samDesired, void*, PHKEY result,
                     DWORD* disposition)
{
    return RegistryStore::Instance().Open(key, subKey, samDesired, true, result, disposition);
}

LONG RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    return RegistryStore::Instance().Query(key, valueName, type, data, dataSize);
}

LONG RegSetValueExW(HKEY key, const WCHAR* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    return RegistryStore::Instance().Set(key, valueName, type, data, dataSize);
}

LONG RegCloseKey(HKEY key)
{
    return RegistryStore::Instance().Close(key);
}
