// The NDIS records, object identifiers and device control codes the devices
// "UIO1:" and "NDS0:" understand. Every multi-byte field is little-endian, as
// the records are laid out in memory on the machines we run on.
#pragma once

#include "platform/Types.h"

#include <bit>
#include <cstddef>

static_assert(std::endian::native == std::endian::little, "the NDIS records are little-endian");

using NDIS_OID = ULONG;

// Device control codes.
constexpr DWORD IOCTL_NDISUIO_QUERY_OID_VALUE = 0x00120804;  // query an OID on a named adapter ("UIO1:")
constexpr DWORD IOCTL_NDISUIO_SET_OID_VALUE = 0x00120814;    // set an OID on a named adapter ("UIO1:")
constexpr DWORD IOCTL_NDIS_GET_ADAPTER_NAMES = 0x0017003A;   // list every adapter name ("NDS0:")

// Object identifiers.
constexpr NDIS_OID OID_GEN_PHYSICAL_MEDIUM = 0x00010202;
constexpr NDIS_OID OID_802_11_BSSID_LIST_SCAN = 0x0D01011A;
constexpr NDIS_OID OID_802_11_BSSID_LIST = 0x0D010217;
// Vendor-specific (NDIS leaves the 0xFF range to vendors): how many scans of
// the adapter have ended so far, completed or cut short, as a ULONG that
// wraps around. A caller that asked for a scan learns it is over when the
// number moves on. ERROR_NOT_SUPPORTED where the radio does not tell.
constexpr NDIS_OID OID_TARVOLIN_SCANS_ENDED = 0xFF0A0001;

// Values of OID_GEN_PHYSICAL_MEDIUM.
constexpr ULONG NdisPhysicalMediumUnspecified = 0;
constexpr ULONG NdisPhysicalMediumWirelessLan = 1;

// NDIS_WLAN_BSSID::NetworkTypeInUse.
constexpr ULONG Ndis802_11FH = 0;
constexpr ULONG Ndis802_11DS = 1;
constexpr ULONG Ndis802_11OFDM5 = 2;   // 5 GHz (and 6 GHz) OFDM
constexpr ULONG Ndis802_11OFDM24 = 3;  // 2.4 GHz OFDM

// NDIS_WLAN_BSSID::InfrastructureMode.
constexpr ULONG Ndis802_11IBSS = 0;            // ad hoc peer
constexpr ULONG Ndis802_11Infrastructure = 1;  // access point
constexpr ULONG Ndis802_11AutoUnknown = 2;

// A query or set request on "UIO1:": the OID, a pointer to the adapter's
// NUL-terminated UTF-16 name (which stays in the caller's memory), then the
// OID's data. The data of a longer request simply runs on past Data[4]: a
// request buffer is this header followed by as many data bytes as the OID needs.
struct NDISUIO_QUERY_OID {
    NDIS_OID Oid;
    const WCHAR* ptcDeviceName;
    UCHAR Data[sizeof(ULONG)];
};
struct NDISUIO_SET_OID {
    NDIS_OID Oid;
    const WCHAR* ptcDeviceName;
    UCHAR Data[sizeof(ULONG)];
};
static_assert(offsetof(NDISUIO_QUERY_OID, ptcDeviceName) == sizeof(void*));
static_assert(offsetof(NDISUIO_QUERY_OID, Data) == 2 * sizeof(void*));
static_assert(offsetof(NDISUIO_SET_OID, Data) == offsetof(NDISUIO_QUERY_OID, Data));

// Where the data part of a request buffer begins.
constexpr std::size_t kNdisuioDataOffset = offsetof(NDISUIO_QUERY_OID, Data);

// The data of an OID_802_11_BSSID_LIST_SCAN set: a count, then that many
// frequencies in MHz, the only channels the scan visits. A count of 0 (or a
// data part of four zero bytes, as older callers send) asks for every channel.
struct NDIS_802_11_SCAN_FREQUENCIES {
    ULONG NumberOfFrequencies;
    ULONG FrequencyMhz[1];
};
// Most frequencies one scan request may name.
constexpr ULONG kMaxScanFrequencies = 32;
// The frequencies a scan request may name: 2.4, 4.9, 5 and 6 GHz.
constexpr ULONG kMinScanFrequencyMhz = 2400;
constexpr ULONG kMaxScanFrequencyMhz = 7125;

struct NDIS_802_11_SSID {
    ULONG SsidLength;  // bytes used in Ssid, 0 to 32
    UCHAR Ssid[32];    // the name as broadcast, not terminated
};

struct NDIS_802_11_CONFIGURATION_FH {
    ULONG Length;
    ULONG HopPattern;
    ULONG HopSet;
    ULONG DwellTime;
};

struct NDIS_802_11_CONFIGURATION {
    ULONG Length;        // sizeof(NDIS_802_11_CONFIGURATION)
    ULONG BeaconPeriod;  // time units of 1024 us
    ULONG ATIMWindow;    // time units, ad hoc only
    ULONG DSConfig;      // centre frequency in kHz
    NDIS_802_11_CONFIGURATION_FH FHConfig;
};

// One network in a BSSID list. Length counts the whole record; a driver may
// append information elements after the fixed part, so the next record starts
// Length bytes after this one.
struct NDIS_WLAN_BSSID {
    ULONG Length;
    UCHAR MacAddress[6];
    UCHAR Reserved[2];
    NDIS_802_11_SSID Ssid;
    ULONG Privacy;           // 0 open, 1 encryption required
    LONG Rssi;               // dBm
    ULONG NetworkTypeInUse;  // Ndis802_11FH, DS, OFDM5 or OFDM24
    NDIS_802_11_CONFIGURATION Configuration;
    ULONG InfrastructureMode;  // Ndis802_11IBSS, Infrastructure or AutoUnknown
    UCHAR SupportedRates[8];
};

// The extended record: the same fields with 16 supported rates, then the
// length of the information elements and the elements themselves. IEs starts
// with the beacon's fixed fields (NDIS_802_11_FIXED_IEs); the elements as
// heard follow them. Length covers the whole record, so a reader that reads
// only the fixed part still finds the next record.
struct NDIS_802_11_FIXED_IEs {
    UCHAR Timestamp[8];
    USHORT BeaconInterval;
    USHORT Capabilities;
};

struct NDIS_WLAN_BSSID_EX {
    ULONG Length;
    UCHAR MacAddress[6];
    UCHAR Reserved[2];
    NDIS_802_11_SSID Ssid;
    ULONG Privacy;
    LONG Rssi;
    ULONG NetworkTypeInUse;
    NDIS_802_11_CONFIGURATION Configuration;
    ULONG InfrastructureMode;
    UCHAR SupportedRates[16];
    ULONG IELength;  // bytes in IEs: the fixed fields and the elements
    UCHAR IEs[1];
};

// Where the extended record's IEs begin, and the size of a record with none.
constexpr std::size_t kBssidExFixedSize = 116;

// The reply to OID_802_11_BSSID_LIST: a count, then that many records back
// to back (Bssid[1] marks where they start).
struct NDIS_802_11_BSSID_LIST {
    ULONG NumberOfItems;
    NDIS_WLAN_BSSID Bssid[1];
};

static_assert(sizeof(NDIS_802_11_SSID) == 36);
static_assert(sizeof(NDIS_802_11_CONFIGURATION) == 32);
static_assert(sizeof(NDIS_WLAN_BSSID) == 104);
static_assert(offsetof(NDIS_WLAN_BSSID, MacAddress) == 4);
static_assert(offsetof(NDIS_WLAN_BSSID, Ssid) == 12);
static_assert(offsetof(NDIS_WLAN_BSSID, Privacy) == 48);
static_assert(offsetof(NDIS_WLAN_BSSID, Rssi) == 52);
static_assert(offsetof(NDIS_WLAN_BSSID, NetworkTypeInUse) == 56);
static_assert(offsetof(NDIS_WLAN_BSSID, Configuration) == 60);
static_assert(offsetof(NDIS_WLAN_BSSID, Configuration) + offsetof(NDIS_802_11_CONFIGURATION, DSConfig) == 72);
static_assert(offsetof(NDIS_WLAN_BSSID, InfrastructureMode) == 92);
static_assert(offsetof(NDIS_WLAN_BSSID, SupportedRates) == 96);
static_assert(offsetof(NDIS_802_11_BSSID_LIST, Bssid) == 4);
static_assert(sizeof(NDIS_802_11_FIXED_IEs) == 12);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, InfrastructureMode) == offsetof(NDIS_WLAN_BSSID, InfrastructureMode));
static_assert(offsetof(NDIS_WLAN_BSSID_EX, IELength) == 112);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, IEs) == kBssidExFixedSize);
