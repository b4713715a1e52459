#include "platform/registry/RegistryStore.h"

#include "platform/registry/RegistryPath.h"

namespace platform {

namespace {

const std::u16string kLocalMachine = u"HKEY_LOCAL_MACHINE";

bool IsLocalMachine(HKEY key)
{
    return key == HKEY_LOCAL_MACHINE;
}

// Joins a sub key to its parent's path. Empty components ("a\\b") are refused
// as Windows refuses them; a trailing backslash is allowed.
bool JoinPath(const std::u16string& parent, const WCHAR* subKey, std::u16string& path)
{
    path = parent;
    if (!subKey)
        return true;
    std::u16string_view rest(subKey);
    while (!rest.empty() && rest.back() == u'\\')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        std::size_t slash = rest.find(u'\\');
        std::u16string_view part = rest.substr(0, slash);
        if (part.empty())
            return false;
        path += u'\\';
        path += part;
        if (slash == std::u16string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return true;
}

}  // namespace

RegistryStore& RegistryStore::Instance()
{
    static RegistryStore store;
    return store;
}

HKEY__* RegistryStore::Lookup(HKEY key)
{
    auto it = m_handles.find(key);
    return it == m_handles.end() ? nullptr : it->second.get();
}

RegistryFileContents::State RegistryStore::Reload(const std::string& path)
{
    RegistryFileContents contents;
    if (!path.empty())
        contents = ReadRegistryFile(path);
    m_document = std::move(contents.document);
    for (const auto& [handle, key] : m_handles) {
        if (key->created)
            m_document.EnsureKey(key->path);
        for (const RegValue& value : key->pending)
            m_document.SetValue(key->path, value);
    }
    return contents.state;
}

LONG RegistryStore::Commit(const std::string& path)
{
    if (path.empty())
        return ERROR_FILE_NOT_FOUND;
    if (Reload(path) == RegistryFileContents::State::Broken) {
        LONG moved = MoveBrokenFileAside(path);
        if (moved != ERROR_SUCCESS)
            return moved;  // never write over a file we could not read
    }
    return WriteRegistryFile(path, m_document.Format());
}

LONG RegistryStore::Open(HKEY parent, const WCHAR* subKey, REGSAM access, bool create, HKEY* result, DWORD* disposition)
{
    std::lock_guard lock(m_mutex);
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::u16string parentPath;
    if (IsLocalMachine(parent)) {
        parentPath = kLocalMachine;
    } else if (HKEY__* p = Lookup(parent)) {
        parentPath = p->path;
    } else {
        return ERROR_INVALID_HANDLE;
    }
    std::u16string path;
    if (!JoinPath(parentPath, subKey, path))
        return ERROR_INVALID_PARAMETER;

    std::string file = RegistryFilePath();
    Reload(file);
    bool exists = path == kLocalMachine || m_document.HasKey(path);
    if (!exists && (!create || file.empty()))
        return ERROR_FILE_NOT_FOUND;

    auto key = std::make_unique<HKEY__>();
    key->path = path;
    key->access = access;
    key->created = !exists;
    if (!exists)
        m_document.EnsureKey(path);
    HKEY handle = key.get();
    m_handles.emplace(handle, std::move(key));
    *result = handle;
    if (disposition)
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

LONG RegistryStore::Query(HKEY key, const WCHAR* name, DWORD* type, BYTE* data, DWORD* dataSize)
{
    std::lock_guard lock(m_mutex);
    std::u16string path;
    if (IsLocalMachine(key)) {
        path = kLocalMachine;
    } else if (HKEY__* k = Lookup(key)) {
        if (!(k->access & KEY_QUERY_VALUE))
            return ERROR_ACCESS_DENIED;
        path = k->path;
    } else {
        return ERROR_INVALID_HANDLE;
    }
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    const RegValue* value = m_document.FindValue(path, name ? std::u16string_view(name) : std::u16string_view());
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    DWORD size = static_cast<DWORD>(value->data.size());
    if (!data) {
        if (dataSize)
            *dataSize = size;
        return ERROR_SUCCESS;
    }
    DWORD room = *dataSize;
    *dataSize = size;
    if (size > room)
        return ERROR_MORE_DATA;
    std::copy(value->data.begin(), value->data.end(), data);
    return ERROR_SUCCESS;
}

LONG RegistryStore::Set(HKEY key, const WCHAR* name, DWORD type, const BYTE* data, DWORD dataSize)
{
    std::lock_guard lock(m_mutex);
    HKEY__* k = Lookup(key);
    if (!k)
        return IsLocalMachine(key) ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
    if (!(k->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!data && dataSize != 0)
        return ERROR_INVALID_PARAMETER;
    RegValue value;
    value.name = name ? name : u"";
    value.type = type;
    if (data)
        value.data.assign(data, data + dataSize);
    m_document.SetValue(k->path, value);
    const auto [it, added] = k->pendingIndex.try_emplace(FoldedRegistryName(value.name), k->pending.size());
    if (added)
        k->pending.push_back(std::move(value));
    else
        k->pending[it->second] = std::move(value);
    return ERROR_SUCCESS;
}

LONG RegistryStore::Close(HKEY key)
{
    std::lock_guard lock(m_mutex);
    auto it = m_handles.find(key);
    if (it == m_handles.end())
        return IsLocalMachine(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    LONG result = ERROR_SUCCESS;
    if (it->second->created || !it->second->pending.empty())
        result = Commit(RegistryFilePath());
    m_handles.erase(it);
    return result;
}

}  // namespace platform
