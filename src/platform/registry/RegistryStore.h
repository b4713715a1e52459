// The process's view of the registry file and its open key handles.
//
// Every open re-reads the file, so the program always sees what is on disk.
// Values set through a handle are kept with that handle; when it is closed
// the file is read again, every pending value of every open handle is laid
// over it and the result is written. Other keys and values in the file, and
// changes made to it by other tools meanwhile, are therefore kept.
#pragma once

#include "platform/registry/RegDocument.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFile.h"

#include <map>
#include <memory>
#include <mutex>

// An open key. Handles are checked against the store's table before use, so
// a stale or foreign handle is reported, never followed.
struct HKEY__ {
    std::u16string path;
    REGSAM access = 0;
    bool created = false;                                          // made by RegCreateKeyExW: written at close
    std::vector<platform::RegValue> pending;                       // values set through this handle
    std::unordered_map<std::u16string, std::size_t> pendingIndex;  // folded name to its place in pending
};

namespace platform {

class RegistryStore {
public:
    static RegistryStore& Instance();

    LONG Open(HKEY parent, const WCHAR* subKey, REGSAM access, bool create, HKEY* result, DWORD* disposition);
    LONG Query(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* dataSize);
    LONG Set(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD dataSize);
    LONG Close(HKEY key);

private:
    HKEY__* Lookup(HKEY key);
    // The file as it stands with every open handle's pending changes laid over.
    RegistryFileContents::State Reload(const std::string& path);
    LONG Commit(const std::string& path);

    std::mutex m_mutex;
    std::map<HKEY, std::unique_ptr<HKEY__>> m_handles;
    RegDocument m_document;
};

}  // namespace platform
