// A private configuration folder for one test: XDG_CONFIG_HOME points at a
// fresh temporary folder for the test's lifetime, so the registry file the
// code under test reads and writes is this test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

class TempConfigHome {
public:
    TempConfigHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvolin-test-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        m_root = pattern;
        setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~TempConfigHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    std::filesystem::path Root() const { return m_root; }
    std::filesystem::path Folder() const { return m_root / "tarvolin"; }
    std::filesystem::path File() const { return Folder() / "registry.reg"; }

    void WriteFile(const std::string& bytes) const
    {
        std::filesystem::create_directories(Folder());
        std::ofstream(File(), std::ios::binary) << bytes;
    }
    std::string ReadFile() const { return ReadPath(File()); }

    static std::string ReadPath(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Names of everything in the folder, for checking what was left behind.
    std::set<std::string> FolderEntries() const
    {
        std::set<std::string> names;
        if (std::filesystem::exists(Folder())) {
            for (const auto& entry : std::filesystem::directory_iterator(Folder()))
                names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path m_root;
};
