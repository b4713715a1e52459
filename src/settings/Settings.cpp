#include "settings/Settings.h"

#include "platform/registry/Registry.h"

#include <vector>

namespace {

// The Adapter value is read into 64 code units: 63 characters and a NUL.
constexpr DWORD kAdapterUnits = 64;

}  // namespace

CSettings::CSettings()
    : m_numbers{
          {u"FontSize", 12, 0},
          {u"ScanSpeed", 2, 0},
          {u"HideWEP", 0, 0},
          {u"HidePeer", 0, 0},
          {u"SoundOff", 1, 0},
          {u"Language", 0, 0},
      },
      m_text{u"Adapter", CString(), CString()}
{
}

CSettings::~CSettings() = default;

BOOL CSettings::Load()
{
    HKEY key = nullptr;
    bool open = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyName, 0, KEY_READ, &key) == ERROR_SUCCESS;

    for (NumberSetting& setting : m_numbers) {
        // Any value of at most four bytes is taken as the little-endian bytes
        // of the number, whatever its type; shorter data only replaces the low
        // bytes. Larger data does not fit and the default is used.
        auto raw = static_cast<DWORD>(setting.value);
        BYTE bytes[4] = {static_cast<BYTE>(raw), static_cast<BYTE>(raw >> 8), static_cast<BYTE>(raw >> 16),
                         static_cast<BYTE>(raw >> 24)};
        DWORD size = sizeof bytes;
        if (open && RegQueryValueExW(key, setting.name, nullptr, nullptr, bytes, &size) == ERROR_SUCCESS) {
            setting.value =
                static_cast<LONG>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24));
        } else {
            setting.value = setting.defaultValue;
        }
    }

    // Zeroed first, so data shorter than the buffer or without a terminator
    // never lets stale memory into the text.
    BYTE buffer[kAdapterUnits * 2] = {};
    DWORD size = sizeof buffer;
    if (open && RegQueryValueExW(key, m_text.name, nullptr, nullptr, buffer, &size) == ERROR_SUCCESS) {
        CString text;
        for (DWORD i = 0; i < kAdapterUnits; ++i) {
            auto c = static_cast<WCHAR>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
            if (c == 0)
                break;
            text.push_back(c);
        }
        m_text.text = std::move(text);
    } else {
        m_text.text = m_text.defaultText;
    }

    if (open)
        RegCloseKey(key);
    return TRUE;
}

BOOL CSettings::Save()
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return FALSE;

    for (const NumberSetting& setting : m_numbers) {
        auto raw = static_cast<DWORD>(setting.value);
        const BYTE bytes[4] = {static_cast<BYTE>(raw), static_cast<BYTE>(raw >> 8), static_cast<BYTE>(raw >> 16),
                               static_cast<BYTE>(raw >> 24)};
        RegSetValueExW(key, setting.name, 0, REG_DWORD, bytes, sizeof bytes);
    }

    std::vector<BYTE> text;
    text.reserve((m_text.text.size() + 1) * 2);
    for (WCHAR c : m_text.text) {
        text.push_back(static_cast<BYTE>(c));
        text.push_back(static_cast<BYTE>(c >> 8));
    }
    text.push_back(0);
    text.push_back(0);
    RegSetValueExW(key, m_text.name, 0, REG_SZ, text.data(), static_cast<DWORD>(text.size()));

    // The values reach the file when the key is closed; a failed write is a
    // failed save, not a silent success.
    return RegCloseKey(key) == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL CSettings::GetValue(int index, LONG& value) const
{
    if (index < 0 || index >= kNumberCount)
        return FALSE;
    value = m_numbers[index].value;
    return TRUE;
}

BOOL CSettings::SetValue(int index, LONG value)
{
    if (index < 0 || index >= kNumberCount)
        return FALSE;
    m_numbers[index].value = value;
    return TRUE;
}

BOOL CSettings::GetString(int index, CString& text) const
{
    if (index != SettingAdapter)
        return FALSE;
    text = m_text.text;
    return TRUE;
}

BOOL CSettings::SetString(int index, const CString& text)
{
    if (index != SettingAdapter)
        return FALSE;
    m_text.text = text;
    return TRUE;
}
