// The registry as it stands in the .reg text file: an ordered list of keys,
// each with its ordered values. Parsing and writing live here, so the rest of
// the registry never sees the text form.
#pragma once

#include "platform/Types.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// True when two key or value names are equal ignoring case, as the Windows
// registry compares them.
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

// The name with its case folded as SameRegistryName folds it: two names are
// the same exactly when their folded forms are equal.
std::u16string FoldedRegistryName(std::u16string_view name);

struct RegValue {
    std::u16string name;  // empty: the key's default value, written "@"
    DWORD type = 0;       // REG_* number
    std::vector<BYTE> data;
    std::vector<std::string> comments;  // ";" lines that stood above it, kept on rewrite

    bool operator==(const RegValue&) const = default;
};

struct RegKey {
    std::u16string path;  // full path with its root, e.g. HKEY_LOCAL_MACHINE\Software\Tarvolin
    std::vector<RegValue> values;
    std::vector<std::string> comments;
    // Folded value name to its place in `values`, kept by RegDocument once
    // the key holds many values, so that finding one does not walk them all.
    std::unordered_map<std::u16string, std::size_t> valueIndex;

    bool operator==(const RegKey&) const = default;
};

class RegDocument {
public:
    static constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

    // Reads a whole file (UTF-8 with or without a byte order mark, or UTF-16LE
    // with one). Returns nothing when any line cannot be understood, so that a
    // file is either taken whole or not at all.
    // Time and memory grow linearly with the file.
    static std::optional<RegDocument> Parse(std::string_view bytes);

    // The file text, UTF-8, one key block after another as regedit writes them.
    std::string Format() const;

    // A key exists when it is listed or some listed key lies below it.
    bool HasKey(std::u16string_view path) const;
    const RegValue* FindValue(std::u16string_view path, std::u16string_view name) const;

    // Adds the key at the end if it is not listed yet.
    RegKey& EnsureKey(std::u16string_view path);
    void SetValue(std::u16string_view path, const RegValue& value);

    // Same keys, values and comments in the same order.
    bool operator==(const RegDocument& other) const
    {
        return m_keys == other.m_keys && m_trailingComments == other.m_trailingComments;
    }

private:
    RegKey* FindKey(std::u16string_view path);
    const RegKey* FindKey(std::u16string_view path) const;
    static RegValue* FindValue(RegKey& key, std::u16string_view name);
    static void SetValue(RegKey& key, RegValue value);

    // Lets m_paths be searched with a view, without making a string.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view name) const { return std::hash<std::u16string_view>{}(name); }
    };
    static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);

    std::vector<RegKey> m_keys;  // in file order
    // The folded path of every listed key, with its place in m_keys, and of
    // every key above one, with kNotListed unless it is listed too. With a
    // path the paths above it are always there.
    std::unordered_map<std::u16string, std::size_t, NameHash, std::equal_to<>> m_paths;
    std::vector<std::string> m_trailingComments;
};

}  // namespace platform
