// The committed pictures are exactly what the generator draws.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Paths of the files below folder, relative to it.
std::set<std::string> FilesBelow(const fs::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), folder).generic_string());
    return files;
}

TEST(ImageGen, ReproducesTheCommittedPicturesByteForByte)
{
    const fs::path out = fs::temp_directory_path() / ("tarvolin-imagegen-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string command = std::string("'") + TARVOLIN_IMAGEGEN + "' '" + out.string() + "'";
    ASSERT_EQ(0, std::system(command.c_str()));

    const fs::path res = fs::path(TARVOLIN_SOURCE_DIR) / "res";
    std::set<std::string> committed;
    for (const char* folder : {"bitmaps", "icons"})
        for (const std::string& file : FilesBelow(res / folder))
            committed.insert(std::string(folder) + "/" + file);
    const std::set<std::string> generated = FilesBelow(out);
    EXPECT_EQ(committed, generated);
    for (const std::string& file : generated) {
        SCOPED_TRACE(file);
        const std::vector<char> made = ReadFile(out / file);
        EXPECT_FALSE(made.empty());
        EXPECT_TRUE(made == ReadFile(res / file));
    }
    fs::remove_all(out);
}

TEST(ImageGen, WithoutAFolderItExplainsItselfAndFails)
{
    const std::string command = std::string("'") + TARVOLIN_IMAGEGEN + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_NE(-1, status);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(2, WEXITSTATUS(status));
}

}  // namespace
