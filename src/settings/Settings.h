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
    CSettings();
    ~CSettings();

    BOOL Load();
    BOOL Save();

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
    NumberSetting m_numbers[6];
    TextSetting m_text;
};
