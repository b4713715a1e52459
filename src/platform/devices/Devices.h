// Win32-shaped access to the devices "UIO1:" (OID queries and sets on a named
// adapter) and "NDS0:" (the list of adapter names). Both answer from the
// installed WirelessProvider. Qt-free; the records are in Ndis.h.
#pragma once

#include "platform/Types.h"

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

// Opens "UIO1:" or "NDS0:" (names compared ignoring case). Any other name fails
// with ERROR_FILE_NOT_FOUND; with no provider installed the open fails with
// ERROR_DEV_NOT_EXIST. Returns INVALID_HANDLE_VALUE on failure. The access,
// share, creation and flag words are accepted as the caller gives them.
HANDLE CreateFileW(const WCHAR* fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// Sends a device control request synchronously. "UIO1:" takes
// IOCTL_NDISUIO_QUERY_OID_VALUE (the reply goes into the data part of the
// output buffer, after the same header as the input) and
// IOCTL_NDISUIO_SET_OID_VALUE; "NDS0:" takes IOCTL_NDIS_GET_ADAPTER_NAMES.
// Nothing is ever written past outBufferSize bytes of outBuffer. On failure
// returns FALSE and sets the last-error code. The overlapped argument is
// ignored: every request completes before the call returns.
BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer,
                     DWORD outBufferSize, DWORD* bytesReturned, void* overlapped);

// Closes a handle from CreateFileW. An unknown or already closed handle fails
// with ERROR_INVALID_HANDLE.
BOOL CloseHandle(HANDLE handle);

// The calling thread's last-error code.
DWORD GetLastError();
void SetLastError(DWORD errorCode);
