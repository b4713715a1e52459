// The scanning engine: the program's only access to the wireless hardware.
// It lists the wireless adapters, asks an adapter for a new scan, and reads
// the adapter's current BSSID list into ScanEntry records.
#pragma once

#include "platform/Sync.h"
#include "platform/Types.h"
#include "scan/ScanEntry.h"

#include <cstdarg>
#include <cstddef>

struct NDIS_WLAN_BSSID;

class CWifiTarv {
public:
    // Receives every trace with its printf-style format and arguments: the
    // first argument is the operation's name, "%S" an adapter name (UTF-16)
    // and "%d" an error code or a count.
    using TraceSink = void (*)(const char* format, va_list arguments);

    // Size of the whole BSSID list query, request header included.
    static constexpr std::size_t kBssidListBufferSize = 65536;
    // Size of the adapter name reply and of the buffer GetAdapters needs.
    static constexpr std::size_t kAdapterNamesBufferSize = 2048;

    CWifiTarv();
    ~CWifiTarv();
    CWifiTarv(const CWifiTarv&) = delete;
    CWifiTarv& operator=(const CWifiTarv&) = delete;

    // Opens "UIO1:" unless it is open already.
    bool OpenDriver();
    // Closes the driver handle and marks it as not open.
    void CloseDriver();

    // Fills buffer with the names of the wireless adapters separated by
    // commas and NUL-terminated. length is in bytes: on input the buffer's
    // size (at least kAdapterNamesBufferSize for every name to fit), on output
    // the byte length of the names without the terminator.
    bool GetAdapters(WCHAR* buffer, DWORD* length);
    // Whether the adapter reports the wireless LAN physical medium.
    bool IsWireless(const WCHAR* adapter);
    // Asks the adapter to start a new scan; the next GetBSSIDs reads its
    // results. With a frequency (MHz) the scan visits that channel alone,
    // where the adapter can limit it; otherwise it sweeps every channel.
    bool RefreshBSSIDs(const WCHAR* adapter, ULONG frequencyMhz = 0);
    // How many scans of the adapter have ended so far (a number that wraps
    // around): once it moves on after RefreshBSSIDs, the scan asked for is
    // over and GetBSSIDs reads what it heard. False when the adapter cannot
    // tell; count is then left as it was.
    bool GetScanCount(const WCHAR* adapter, ULONG* count);
    // Reads the adapter's current BSSID list into entries (capacity records)
    // and stores the number written in count. On failure entries and count
    // are left as they were.
    bool GetBSSIDs(const WCHAR* adapter, ScanEntry* entries, DWORD capacity, DWORD* count);

    // Conversion of the driver's records, shared by GetBSSIDs and its tests.
    // Converts the NDIS_802_11_BSSID_LIST in the size bytes at list (the data
    // part of a reply) into at most capacity entries; returns how many.
    static DWORD ConvertBssidList(const BYTE* list, std::size_t size, ScanEntry* entries, DWORD capacity);
    // The fixed part's fields; the details the fixed part can tell.
    static void ConvertBssid(const NDIS_WLAN_BSSID& record, ScanEntry& entry);
    // Frequency and details from the elements of the extended record at
    // record (Length bytes, already checked to lie inside the list).
    static void ConvertElements(const BYTE* record, ULONG length, ScanEntry& entry);
    // The centre frequency in MHz of a DSConfig; 0 when it says none.
    static ULONG FrequencyFromDSConfig(ULONG dsConfig);
    // The signal in dBm, also when a driver puts it in the upper 16 bits.
    static LONG RssiFromField(LONG rssi);
    // The 802.11 channel number of a DSConfig (a frequency in kHz, or a
    // channel number already when 14 or less); 0 when the frequency is in no band.
    static ULONG ChannelFromDSConfig(ULONG dsConfig);

    // The program discards its traces; a tool or a test may install a sink.
    static void SetTraceSink(TraceSink sink);

private:
    static void Trace(const char* format, ...);
    bool SendOid(DWORD code, ULONG oid, const WCHAR* adapter, BYTE* buffer, std::size_t size);

    CRITICAL_SECTION m_lock;
    HANDLE m_driver = nullptr;  // "UIO1:", or nullptr when not open
};
