// Win32-shaped registry API. Only HKEY_LOCAL_MACHINE exists; its keys and
// values live in one text file in the Windows .reg export format (see
// RegistryPath.h for where). Every call returns a Win32 error code.
#pragma once

#include "platform/Types.h"

#include <cstdint>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

// Value types, numbered as on Windows.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_RESOURCE_LIST = 8;
constexpr DWORD REG_FULL_RESOURCE_DESCRIPTOR = 9;
constexpr DWORD REG_RESOURCE_REQUIREMENTS_LIST = 10;
constexpr DWORD REG_QWORD = 11;
constexpr DWORD REG_QWORD_LITTLE_ENDIAN = 11;

// Access rights. Reading needs KEY_QUERY_VALUE, writing KEY_SET_VALUE.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key below `key` (null or empty subKey: the key itself).
// ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD options, REGSAM samDesired, PHKEY result);

// Opens the key, creating it when missing. The new key reaches the file when
// the returned handle is closed. `disposition` (may be null) tells which.
LONG RegCreateKeyExW(HKEY key, const WCHAR* subKey, DWORD reserved, WCHAR* keyClass, DWORD options, REGSAM samDesired,
                     void* securityAttributes, PHKEY result, DWORD* disposition);

// Reads a value (null or empty name: the key's default value). With a null
// `data` only the type and the size in bytes are returned. Data that fits
// *dataSize is copied whatever its type and *dataSize set to its size; larger
// data gives ERROR_MORE_DATA with *dataSize set to the size needed.
LONG RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);

// Sets a value to `dataSize` bytes of `type`, kept byte for byte.
LONG RegSetValueExW(HKEY key, const WCHAR* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);

// Closes the handle. If values were set or the key was created through it,
// the file is written now (atomically); a failed write is returned here.
LONG RegCloseKey(HKEY key);
