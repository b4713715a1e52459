// The program's seven persistent settings, kept in memory and moved to and
// from the registry once at start and once at exit.
#pragma once

#include "platform/Types.h"

// Indices of the numeric settings.
enum SettingIndex : int {
    SettingFontSize = 0,
    SettingScanSpeed = 1,
    SettingHideWEP = 2,
    SettingHidePeer = 3,
    SettingSoundOff = 4,
    SettingLanguage = 5,
};
// Index of the text setting.
constexpr int SettingAdapter = 0;

class CSettings {
public:
    static constexpr int kNumberCount = 6;
    // The registry key under HKEY_LOCAL_MACHINE that holds all seven values.
    static constexpr const WCHAR* kKeyName = u"Software\\Tarvolin";

    // Fills in names and defaults; the current values stay 0 and the text
    // empty until Load.
    CSettings();
    ~CSettings();

    // Reads every setting; one that is missing or unreadable takes its
    // default. Always succeeds.
    BOOL Load();
    // Writes all seven values. FALSE when the key cannot be created or the
    // file holding it cannot be written.
    BOOL Save();

    // In-memory access by index; FALSE (output untouched) for an unknown index.
    BOOL GetValue(int index, LONG& value) const;
    BOOL SetValue(int index, LONG value);
    BOOL GetString(int index, CString& text) const;
    BOOL SetString(int index, const CString& text);

private:
    struct NumberSetting {
        const WCHAR* name;
        LONG defaultValue;
        LONG value;
    };
    struct TextSetting {
        const WCHAR* name;
        CString defaultText;
        CString text;
    };
    NumberSetting m_numbers[kNumberCount];
    TextSetting m_text;
};
