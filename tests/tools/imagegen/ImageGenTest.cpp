// The committed pictures, the program's and the application icon for desktop
// menus, are exactly what the generator draws.
#include <QImage>
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
    const std::string command = std::string("'") + TARVOLIN_IMAGEGEN + "' '" + (out / "res").string() +
                                "' --app-icons '" + (out / "data/icons").string() + "'";
    ASSERT_EQ(0, std::system(command.c_str()));

    const fs::path top(TARVOLIN_SOURCE_DIR);
    std::set<std::string> committed;
    for (const char* folder : {"res/bitmaps", "res/icons", "data/icons"})
        for (const std::string& file : FilesBelow(top / folder))
            committed.insert(std::string(folder) + "/" + file);
    const std::set<std::string> generated = FilesBelow(out);
    EXPECT_EQ(committed, generated);
    for (const std::string& file : generated) {
        SCOPED_TRACE(file);
        const std::vector<char> made = ReadFile(out / file);
        EXPECT_FALSE(made.empty());
        EXPECT_TRUE(made == ReadFile(top / file));
    }
    fs::remove_all(out);
}

// The application icon comes at every size the icon theme asks for, each PNG
// as large as its folder says, with a transparent corner and an opaque
// middle.
TEST(ImageGen, ApplicationIconFitsItsThemeFolders)
{
    const fs::path hicolor = fs::path(TARVOLIN_SOURCE_DIR) / "data/icons/hicolor";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon(QString::fromStdString(
            (hicolor / (std::to_string(size) + "x" + std::to_string(size)) / "apps/org.tarvolin.Tarvolin.png")
                .string()));
        ASSERT_EQ(QSize(size, size), icon.size());
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(0, qAlpha(icon.pixel(0, 0)));
        EXPECT_EQ(255, qAlpha(icon.pixel(size / 2, size / 2)));
    }
    std::ifstream svg(hicolor / "scalable/apps/org.tarvolin.Tarvolin.svg");
    std::string text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("<svg xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_NE(std::string::npos, text.find("</svg>"));
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
