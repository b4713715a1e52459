// The window programs where nobody sits at a window: a screenshot run that
// meets a message box, a start without a display, and the demo's settings
// kept apart from the real program's. The real executables run as child
// processes, with a settings folder of the test's own.
#include "pages/ChannelChart.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef TARVOLIN_PROGRAM
#error "TARVOLIN_PROGRAM and TARVOLIN_DEMO must name the programs"
#endif

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tarvolin-unattended-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        fs::create_directories(m_dir / "config" / "tarvolin");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs `env ENV... PROGRAM ARGS...` with the test's settings folder, at
    // most a minute (a run that waits for a person is killed and fails).
    int Run(const std::string& environment, const std::string& program, const std::vector<std::string>& args)
    {
        std::string command =
            "timeout -s KILL 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" +
            (m_dir / "config").string() + "' " + environment + " '" + program + "'";
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        command += " >'" + (m_dir / "out").string() + "' 2>'" + (m_dir / "err").string() + "' </dev/null";
        const int raw = std::system(command.c_str());
        m_out = Slurp(m_dir / "out");
        m_err = Slurp(m_dir / "err");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    fs::path Write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return m_dir / name;
    }
    fs::path Settings(const char* name) const { return m_dir / "config" / "tarvolin" / name; }

    fs::path m_dir;
    std::string m_out, m_err;
};

const char* const kTarvolin = TARVOLIN_PROGRAM;
const char* const kDemo = TARVOLIN_DEMO;

struct BoxCase {
    const char* name;
    const char* scenario;
    const char* said;  // the box's words on stderr
};

void PrintTo(const BoxCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScreenshotWithBox : public UnattendedRun, public ::testing::WithParamInterface<BoxCase> { };

// The box is said on stderr and answered; the picture is written all the same.
TEST_P(ScreenshotWithBox, SaysTheBoxWritesThePictureAndEnds)
{
    const BoxCase& c = GetParam();
    const fs::path scenario = Write("radio.scn", c.scenario);
    const fs::path picture = m_dir / "shot.png";
    ASSERT_EQ(Run("", kDemo, {"--scenario", scenario.string(), "--screenshot", picture.string(), "--ticks", "4"}), 0)
        << m_err;
    EXPECT_EQ(Slurp(picture).substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_NE(m_err.find(std::string("tarvolin-demo: ") + c.said), std::string::npos) << m_err;
    EXPECT_EQ(m_out, picture.string() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScreenshotWithBox,
    ::testing::Values(BoxCase{"NoAdapter", "adapter eth0 wired\n", "No wireless adapter was found"},
                      BoxCase{"ScansRefused",
                              "adapter wlan0 wireless trigger=denied\n"
                              "network 02:00:00:00:00:01 ssid=\"One\" channel=1 open signal=0:-50\n",
                              "Scans cannot be started"}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

// The demo's simulated wlan0 must not take the place of the user's adapter
// in the real program's settings file, which stays as it was, byte for byte.
TEST_F(UnattendedRun, DemoKeepsASettingsFileOfItsOwn)
{
    const std::string real = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Tarvolin]\r\n"
                             "\"Adapter\"=\"mine0\"\r\n\"FontSize\"=dword:00000010\r\n";
    std::ofstream(Settings("registry.reg"), std::ios::binary) << real;
    ASSERT_EQ(Run("", kDemo, {"--screenshot", (m_dir / "shot.png").string(), "--ticks", "2"}), 0) << m_err;
    EXPECT_EQ(Slurp(Settings("registry.reg")), real);
    EXPECT_NE(Slurp(Settings("registry-demo.reg")).find("\"Adapter\"=\"wlan0\""), std::string::npos)
        << Slurp(Settings("registry-demo.reg"));
}

// Without a display the programs say so in one line, name what works
// without one, end with 1 and leave the settings alone.
TEST_F(UnattendedRun, WithoutADisplayTheProgramsSaySoInOneLine)
{
    for (const std::string environment :
         {"", "DISPLAY=:97", "WAYLAND_DISPLAY=no-such-compositor QT_QPA_PLATFORM=wayland"}) {
        for (const char* program : {kTarvolin, kDemo}) {
            SCOPED_TRACE(environment + " " + program);
            EXPECT_EQ(Run(environment, program, {}), 1) << m_err;
            const std::string name = fs::path(program).filename().string();
            EXPECT_EQ(m_err.rfind(name + ": needs a graphical session", 0), 0u) << m_err;
            EXPECT_EQ(m_err.find('\n'), m_err.size() - 1) << "not one line:\n" << m_err;
            for (const char* word : {"tarvolin-scan", "tarvolin-demo --screenshot"})
                EXPECT_NE(m_err.find(word), std::string::npos) << m_err;
            EXPECT_EQ(m_out, "");
            EXPECT_TRUE(fs::is_empty(m_dir / "config" / "tarvolin"));
        }
    }
}

// --view channels pictures the channels page on the band asked for: only that
// band's networks show in their colours.
TEST_F(UnattendedRun, ChannelsViewPicturesTheBandAskedFor)
{
    const fs::path scenario = Write("bands.scn", "adapter wlan0 wireless\n"
                                                 "network 3c:00:00:00:00:01 ssid=\"Low\" channel=1 security=wpa2 "
                                                 "signal=0:-50\n"
                                                 "network 3c:00:00:00:00:02 ssid=\"Mid\" channel=44 security=wpa2 "
                                                 "width=80 signal=0:-50\n"
                                                 "network 3c:00:00:00:00:03 ssid=\"High\" freq=5975 security=wpa3 "
                                                 "signal=0:-50\n");
    const BYTE macs[3][6] = {{0x3c, 0, 0, 0, 0, 1}, {0x3c, 0, 0, 0, 0, 2}, {0x3c, 0, 0, 0, 0, 3}};
    QRgb colours[3];
    for (int i = 0; i < 3; ++i) {
        const COLORREF c = ChannelChart::ColourOf(macs[i]);
        colours[i] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    ASSERT_TRUE(colours[0] != colours[1] && colours[1] != colours[2] && colours[0] != colours[2]);
    struct Case {
        const char* view;
        int shown;  // the network whose colour the picture holds; -1 none
    };
    for (const Case& c : {Case{"channels", 0}, Case{"channels-5", 1}, Case{"channels-6", 2}, Case{"scanner", -1}}) {
        SCOPED_TRACE(c.view);
        const fs::path picture = m_dir / "shot.png";
        ASSERT_EQ(
            Run("", kDemo,
                {"--scenario", scenario.string(), "--screenshot", picture.string(), "--ticks", "2", "--view", c.view}),
            0)
            << m_err;
        const QImage image(QString::fromStdString(picture.string()));
        ASSERT_FALSE(image.isNull());
        for (int i = 0; i < 3; ++i) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += (image.pixel(x, y) & 0xFFFFFF) == (colours[i] & 0xFFFFFF) ? 1 : 0;
            if (i == c.shown) {
                EXPECT_GT(count, 100) << "network " << i;
            } else {
                EXPECT_EQ(count, 0) << "network " << i;
            }
        }
    }
}

}  // namespace
