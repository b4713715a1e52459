// tarvolin-demo in a real window on an X server (Xvfb). The picture is
// taken from the X server, not by the program.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include "pages/ChannelChart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#ifndef TARVOLIN_DEMO
#error "TARVOLIN_DEMO must name the demo program"
#endif
#ifndef TARVOLIN_SHOT_DIR
#error "TARVOLIN_SHOT_DIR must name the folder for the pictures of the tabs"
#endif

namespace fs = std::filesystem;

namespace {

class Child {
public:
    ~Child() { Stop(SIGKILL); }
    void Start(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
               int keepFd = -1)
    {
        m_pid = fork();
        if (m_pid == 0) {
            for (const auto& [name, value] : env)
                setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> args;
            for (const auto& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            (void)keepFd;
            execvp(args[0], args.data());
            _exit(127);
        }
    }
    // Ends the child with a signal; its exit status, or -1.
    int Stop(int signal)
    {
        if (m_pid <= 0)
            return -1;
        kill(m_pid, signal);
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
        return -1;
    }
    bool Running() const { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

private:
    pid_t m_pid = -1;
};

// Starts Xvfb on a free display and returns its number, or -1.
int StartXvfb(Child& server, const std::string& screen = "480x400x24")
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    server.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                 {}, fds[1]);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number.push_back(c);
    close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}

int CountColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    return count;
}

// Runs a command and gives its standard output.
std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr)
            text += buffer;
        pclose(pipe);
    }
    return text;
}

// One value of `xdotool getwindowgeometry --shell`, or -1.
int GeometryValue(const std::string& geometry, const std::string& name)
{
    const std::size_t at = geometry.find(name + "=");
    return at == std::string::npos ? -1 : std::atoi(geometry.c_str() + at + name.size() + 1);
}

// An Xvfb server with the demo on it, and this process's own connection to
// the same server to take its pictures from.
class DemoOnXvfb {
public:
    // Starts both; false when Xvfb did not start.
    bool Start(const std::string& screen, const std::vector<std::string>& options,
               const std::vector<std::pair<std::string, std::string>>& env)
    {
        const int display = StartXvfb(m_server, screen);
        if (display < 0)
            return false;
        m_name = ":" + std::to_string(display);
        if (m_withWindowManager && !StartWindowManager())
            return false;
        char pattern[] = "/tmp/tarvolin-xvfb-XXXXXX";
        m_config = mkdtemp(pattern);
        if (!m_settings.empty()) {
            fs::create_directories(SettingsFile().parent_path());
            std::ofstream(SettingsFile(), std::ios::binary) << m_settings;
        }
        m_demoEnv = {{"DISPLAY", m_name}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_CONFIG_HOME", m_config.string()}};
        m_demoEnv.insert(m_demoEnv.end(), env.begin(), env.end());
        StartDemo(options);

        setenv("DISPLAY", m_name.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char arg0[] = "test_real_window";
        static char* args[] = {arg0, nullptr};
        m_application = std::make_unique<QGuiApplication>(argc, args);
        return true;
    }
    // Runs an X client (xdotool) against the server; its output.
    std::string X(const std::string& command) const { return Output("DISPLAY=" + m_name + " " + command); }
    QImage Grab(int x = 0, int y = 0, int width = -1, int height = -1) const
    {
        return m_application->primaryScreen()->grabWindow(0, x, y, width, height).toImage();
    }
    void Save(const QImage& image, const char* file) const
    {
        image.save(QString::fromStdString((m_config / file).string()));
    }
    // The settings folder (and pictures) stay for a look when a test failed.
    void Finish(bool failed)
    {
        if (!failed)
            fs::remove_all(m_config);
    }
    Child& Demo() { return m_demo; }
    const fs::path& ConfigFolder() const { return m_config; }
    const std::string& DisplayName() const { return m_name; }
    // Runs a window manager (openbox) on the server before the demo starts.
    void WithWindowManager() { m_withWindowManager = true; }
    // Starts openbox and waits until it manages the screen (it then names
    // itself on the root window). On a loaded machine its first connection
    // can fail; it is started again then, up to three times.
    bool StartWindowManager()
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_windowManager.Start({"openbox"}, {{"DISPLAY", m_name}});
            for (int i = 0; i < 200 && m_windowManager.Running(); ++i) {
                if (X("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos)
                    return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            m_windowManager.Stop(SIGKILL);
        }
        std::fprintf(stderr, "openbox did not take the screen\n");
        return false;
    }
    // The demo's settings file as it finds it at its first start.
    void WithSettings(std::string contents) { m_settings = std::move(contents); }
    fs::path SettingsFile() const { return m_config / "tarvolin" / "registry-demo.reg"; }
    // Starts the demo (again, once the last one ended) on the same server
    // and settings.
    void StartDemo(const std::vector<std::string>& options)
    {
        std::vector<std::string> argv{TARVOLIN_DEMO};
        argv.insert(argv.end(), options.begin(), options.end());
        m_demo.Start(argv, m_demoEnv);
    }

private:
    bool m_withWindowManager = false;
    std::string m_settings;
    std::vector<std::pair<std::string, std::string>> m_demoEnv;
    Child m_server;
    Child m_windowManager;
    Child m_demo;
    std::string m_name;
    fs::path m_config;
    std::unique_ptr<QGuiApplication> m_application;
};

TEST(RealWindow, DemoPaintsItsListOnTheXServer)
{
    DemoOnXvfb xvfb;
    ASSERT_TRUE(xvfb.Start("480x400x24", {}, {})) << "Xvfb did not start";
    Child& demo = xvfb.Demo();

    // A few scan ticks of one second each; poll the screen until the list
    // shows heard networks.
    QImage shot;
    const QRgb lit = qRgb(0x32, 0xFF, 0x32);
    for (int i = 0; i < 60; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(demo.Running()) << "the demo ended early";
        shot = xvfb.Grab();
        if (CountColour(shot, lit) > 3)
            break;
    }
    xvfb.Save(shot, "screen.png");
    // The wedges of the "Sig" column: green lit columns, grey unlit ones.
    EXPECT_GT(CountColour(shot, lit), 3);
    EXPECT_GT(CountColour(shot, qRgb(0xDC, 0xDC, 0xDC)), 20);
    // Rows of text: black text pixels on the list's white background.
    EXPECT_GT(CountColour(shot, qRgb(0, 0, 0)), 200);
    // Secured names in red.
    EXPECT_GT(CountColour(shot, qRgb(0xFF, 0, 0)), 20);

    // A click through the X server on the "Options" tab, right of the
    // "Scanner" tab at the top of the window, brings up the options page:
    // the list goes and the blue information sign shows.
    const std::string window = xvfb.X("xdotool search --name '^Tarvolin$' | head -n 1");
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    const std::string geometry = xvfb.X("xdotool getwindowgeometry --shell " + window);
    const int x = GeometryValue(geometry, "X");
    const int y = GeometryValue(geometry, "Y");
    ASSERT_GE(x, 0) << geometry;
    ASSERT_GE(y, 0) << geometry;
    xvfb.X("xdotool mousemove " + std::to_string(x + 120) + " " + std::to_string(y + 16) + " click 1");
    const QRgb information = qRgb(0x2A, 0x6F, 0xD6);
    for (int i = 0; i < 40; ++i) {
        shot = xvfb.Grab();
        if (CountColour(shot, information) > 50 && CountColour(shot, lit) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    xvfb.Save(shot, "options.png");
    EXPECT_GT(CountColour(shot, information), 50);
    EXPECT_EQ(CountColour(shot, lit), 0);

    EXPECT_EQ(demo.Stop(SIGTERM), 0);
    xvfb.Finish(HasFailure());
}

// A scenario with a wired adapter only: no wireless adapter to scan with,
// so the window says so in a message box after its first scan tick.
class WiredScenario {
public:
    WiredScenario()
    {
        char pattern[] = "/tmp/tarvolin-wired-XXXXXX";
        m_folder = mkdtemp(pattern);
        std::ofstream(File()) << "adapter eth0 wired\n";
    }
    ~WiredScenario() { fs::remove_all(m_folder); }
    std::string File() const { return (m_folder / "wired.scn").string(); }

private:
    fs::path m_folder;
};

// The X ids of the demo's visible windows named Tarvolin once there are
// `count` of them (the main window and a message box), or as many as there
// were after ten seconds.
std::vector<std::string> WaitForWindows(DemoOnXvfb& xvfb, std::size_t count)
{
    std::vector<std::string> windows;
    for (int i = 0; i < 100 && windows.size() < count && xvfb.Demo().Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        windows.clear();
        std::istringstream found(xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$'"));
        for (std::string line; std::getline(found, line);)
            windows.push_back(line);
    }
    return windows;
}

// Without a wireless adapter the window tells so in a message box. A stop
// signal (a logout) while the box waits for its answer still ends the
// program in order, with its settings saved.
TEST(RealWindow, StopSignalEndsTheProgramWhileItsNoticeIsOpen)
{
    const WiredScenario scenario;
    DemoOnXvfb xvfb;
    ASSERT_TRUE(xvfb.Start("480x400x24", {"--scenario", scenario.File()}, {})) << "Xvfb did not start";
    Child& demo = xvfb.Demo();
    // The main window, then the box after the first scan tick.
    ASSERT_EQ(WaitForWindows(xvfb, 2).size(), 2u) << "no message box came up";

    EXPECT_EQ(demo.Stop(SIGTERM), 0);
    EXPECT_TRUE(fs::exists(xvfb.ConfigFolder() / "tarvolin" / "registry-demo.reg"));
    xvfb.Finish(HasFailure());
}

// The demo's window zoomed, by its --zoom option or by the desktop's scale
// factor: every pixel is a square block, and the X server's clicks land on
// what is drawn where they land.
struct ZoomCase {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::pair<std::string, std::string>> env;
    int factor;
};

void PrintTo(const ZoomCase& c, std::ostream* os)
{
    *os << c.name;
}

// How many factor x factor blocks of the image, counted from the given
// corner, hold more than one colour.
int MixedBlocks(const QImage& image, int factor, int left = 0)
{
    int mixed = 0;
    for (int y = 0; y + factor <= image.height(); y += factor)
        for (int x = left; x + factor <= image.width(); x += factor) {
            const QRgb corner = image.pixel(x, y);
            bool same = true;
            for (int dy = 0; dy < factor && same; ++dy)
                for (int dx = 0; dx < factor && same; ++dx)
                    same = image.pixel(x + dx, y + dy) == corner;
            mixed += same ? 0 : 1;
        }
    return mixed;
}

class ZoomedWindow : public ::testing::TestWithParam<ZoomCase> { };

TEST_P(ZoomedWindow, ShowsEveryPixelAsABlockAndTakesClicksWhereTheyLand)
{
    const ZoomCase& c = GetParam();
    DemoOnXvfb xvfb;
    ASSERT_TRUE(xvfb.Start("1280x1200x24", c.options, c.env)) << "Xvfb did not start";
    Child& demo = xvfb.Demo();

    std::string window;
    for (int i = 0; i < 100 && window.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(demo.Running()) << "the demo ended early";
        window = xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$' | head -n 1");
    }
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    const std::string geometry = xvfb.X("xdotool getwindowgeometry --shell " + window);
    const int x = GeometryValue(geometry, "X");
    const int y = GeometryValue(geometry, "Y");
    const int width = GeometryValue(geometry, "WIDTH");
    const int height = GeometryValue(geometry, "HEIGHT");
    // The handheld's work area, 240 x 268 pixels, enlarged.
    EXPECT_EQ(width, 240 * c.factor) << geometry;
    EXPECT_EQ(height, 268 * c.factor) << geometry;

    // Wait for the list's lit signal wedges, then look at the window's pixels.
    const QRgb lit = qRgb(0x32, 0xFF, 0x32);
    QImage shot;
    for (int i = 0; i < 60; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(demo.Running()) << "the demo ended early";
        shot = xvfb.Grab(x, y, width, height);
        if (CountColour(shot, lit) > 3 * c.factor * c.factor)
            break;
    }
    xvfb.Save(shot, "zoomed.png");
    EXPECT_GT(CountColour(shot, lit), 3 * c.factor * c.factor);
    EXPECT_GT(CountColour(shot, qRgb(0, 0, 0)), 200 * c.factor * c.factor);
    EXPECT_EQ(MixedBlocks(shot, c.factor), 0) << "blurred or re-rendered pixels";
    // Blocks counted from half a block further right straddle the edges of
    // the drawing: the picture has detail at the size of one block.
    if (c.factor > 1) {
        EXPECT_GT(MixedBlocks(shot, c.factor, c.factor / 2), 100);
    }

    // The Options tab, 120 pixels from the window's left and 16 down, is
    // clicked at its enlarged place.
    xvfb.X("xdotool mousemove " + std::to_string(x + 120 * c.factor) + " " + std::to_string(y + 16 * c.factor) +
           " click 1");
    const QRgb information = qRgb(0x2A, 0x6F, 0xD6);
    for (int i = 0; i < 40; ++i) {
        shot = xvfb.Grab(x, y, width, height);
        if (CountColour(shot, information) > 50 * c.factor * c.factor && CountColour(shot, lit) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    xvfb.Save(shot, "zoomed-options.png");
    EXPECT_GT(CountColour(shot, information), 50 * c.factor * c.factor);
    EXPECT_EQ(CountColour(shot, lit), 0);
    EXPECT_EQ(MixedBlocks(shot, c.factor), 0);

    EXPECT_EQ(demo.Stop(SIGTERM), 0);
    xvfb.Finish(HasFailure());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZoomedWindow,
    ::testing::Values(ZoomCase{"ZoomOne", {"--zoom", "1"}, {}, 1}, ZoomCase{"ZoomTwo", {"--zoom", "2"}, {}, 2},
                      ZoomCase{"ZoomThree", {"--zoom=3"}, {}, 3},
                      ZoomCase{"DesktopScaleTwo", {}, {{"QT_SCALE_FACTOR", "2"}}, 2},
                      ZoomCase{"ZoomTwoOnDesktopScaleTwo", {"--zoom", "2"}, {{"QT_SCALE_FACTOR", "2"}}, 4}),
    [](const ::testing::TestParamInfo<ZoomCase>& info) { return std::string(info.param.name); });

// The visible main window's X id, waiting for it to come up; empty when it
// did not.
std::string WaitForMainWindow(DemoOnXvfb& xvfb)
{
    std::string window;
    for (int i = 0; i < 100 && window.empty() && xvfb.Demo().Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        window = xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$' | head -n 1");
    }
    while (!window.empty() && window.back() == '\n')
        window.pop_back();
    return window;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Started on a screen under a window manager, the window picks its zoom:
// the one asked for, else the one kept in the settings file by the zoom keys,
// each as far as it fits; else the screen's, the largest at which it takes
// at most 70 % of the height. A kept value that is no zoom is passed over and
// stays in the file as it was. The desktop cannot stretch the window, and it
// carries the application's icon and the desktop entry's name as class.
struct ScreenCase {
    const char* name;
    const char* screen;
    std::vector<std::string> options;
    int zoom;
    const char* kept = nullptr;  // the line under the zoom's key in the settings file, if any
};

void PrintTo(const ScreenCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowOnScreen : public ::testing::TestWithParam<ScreenCase> { };

TEST_P(WindowOnScreen, TakesTheZoomThatFitsAndKeepsItsSize)
{
    const ScreenCase& c = GetParam();
    DemoOnXvfb xvfb;
    xvfb.WithWindowManager();
    if (c.kept != nullptr)
        xvfb.WithSettings(std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                                      "[HKEY_LOCAL_MACHINE\\Software\\Tarvolin\\Window]\r\n") +
                          c.kept + "\r\n\r\n");
    ASSERT_TRUE(xvfb.Start(c.screen, c.options, {})) << "Xvfb did not start";
    const std::string window = WaitForMainWindow(xvfb);
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";

    const std::string geometry = xvfb.X("xdotool getwindowgeometry --shell " + window);
    EXPECT_EQ(GeometryValue(geometry, "WIDTH"), 240 * c.zoom) << geometry;
    EXPECT_EQ(GeometryValue(geometry, "HEIGHT"), 268 * c.zoom) << geometry;

    // Asked to stretch the window, the window manager keeps it as it is.
    xvfb.X("xdotool windowsize " + window + " 800 700");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string after = xvfb.X("xdotool getwindowgeometry --shell " + window);
    EXPECT_EQ(GeometryValue(after, "WIDTH"), 240 * c.zoom) << after;
    EXPECT_EQ(GeometryValue(after, "HEIGHT"), 268 * c.zoom) << after;

    // The class names the desktop entry; the icon is there (its sizes grow
    // with the zoom).
    const std::string properties = xvfb.X("xprop -id " + window + " WM_CLASS _NET_WM_ICON");
    EXPECT_NE(properties.find("WM_CLASS(STRING) = \"tarvolin-demo\", \"org.tarvolin.Tarvolin\""), std::string::npos)
        << properties.substr(0, 200);
    EXPECT_NE(properties.find("_NET_WM_ICON(CARDINAL) = \tIcon ("), std::string::npos) << properties.substr(0, 200);

    EXPECT_EQ(xvfb.Demo().Stop(SIGTERM), 0);
    if (c.kept != nullptr) {
        const std::string saved = ReadText(xvfb.SettingsFile());
        EXPECT_NE(saved.find(c.kept), std::string::npos) << saved;
        EXPECT_NE(saved.find("\"FontSize\"="), std::string::npos) << saved;
    }
    xvfb.Finish(HasFailure());
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowOnScreen,
    ::testing::Values(ScreenCase{"FullHd", "1920x1080x24", {}, 2}, ScreenCase{"Laptop", "1366x768x24", {}, 1},
                      ScreenCase{"Qhd", "2560x1440x24", {}, 3},
                      // Four times as high (1072 pixels and the title bar)
                      // would not fit on 1024 lines: three.
                      ScreenCase{"ZoomFourOn1024", "1280x1024x24", {"--zoom", "4"}, 3},
                      ScreenCase{"ZoomOneOnQhd", "2560x1440x24", {"--zoom=1"}, 1},
                      ScreenCase{"KeptThree", "1920x1080x24", {}, 3, "\"Zoom\"=dword:00000003"},
                      ScreenCase{"KeptOne", "1920x1080x24", {}, 1, "\"Zoom\"=dword:00000001"},
                      ScreenCase{"KeptFourCapped", "1920x1080x24", {}, 3, "\"Zoom\"=dword:00000004"},
                      ScreenCase{"ZoomOptionOverKept", "1920x1080x24", {"--zoom", "1"}, 1, "\"Zoom\"=dword:00000003"},
                      ScreenCase{"KeptOutOfRange", "1920x1080x24", {}, 2, "\"Zoom\"=dword:00000009"},
                      ScreenCase{"KeptOfTheWrongType", "1920x1080x24", {}, 2, "\"Zoom\"=\"3\""}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

// A second copy started while one runs brings the running window to the
// front and ends; only the first writes the settings file. A socket left by
// a killed copy does not stop the next start.
// The three tabs tapped in turn through the X server, at twice the size: each
// shows its own page, every pixel a 2 x 2 block. The pictures stay in the
// build folder for a look.
TEST(RealWindow, ThreeTabsTappedInTurnShowTheirPages)
{
    constexpr int factor = 2;
    DemoOnXvfb xvfb;
    ASSERT_TRUE(xvfb.Start("1280x1200x24", {"--zoom", "2"}, {})) << "Xvfb did not start";
    Child& demo = xvfb.Demo();
    const std::string window = WaitForMainWindow(xvfb);
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    const std::string geometry = xvfb.X("xdotool getwindowgeometry --shell " + window);
    const int x = GeometryValue(geometry, "X");
    const int y = GeometryValue(geometry, "Y");
    const int width = GeometryValue(geometry, "WIDTH");
    const int height = GeometryValue(geometry, "HEIGHT");
    ASSERT_EQ(width, 240 * factor) << geometry;

    const QRgb lit = qRgb(0x32, 0xFF, 0x32);
    const QRgb information = qRgb(0x2A, 0x6F, 0xD6);
    // Two networks of the street walk heard from its first step, on 2.4 GHz.
    const BYTE cityHotspot[6] = {0x02, 0xc1, 0x7e, 0x00, 0x00, 0x01};
    const BYTE operatorHotspot[6] = {0x02, 0xa4, 0x11, 0x3c, 0x90, 0x10};
    auto inColour = [](const QImage& image, const BYTE(&mac)[6]) {
        const COLORREF c = ChannelChart::ColourOf(mac);
        return CountColour(image, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    };
    auto hills = [&](const QImage& image) { return inColour(image, cityHotspot) + inColour(image, operatorHotspot); };
    struct Tab {
        const char* name;
        int at;  // the tab's middle, pixels from the window's left at zoom 1
        bool (*shows)(int lit, int information, int hills);
    };
    const Tab tabs[] = {
        {"options", 110, [](int l, int i, int) { return l == 0 && i > 50 * factor * factor; }},
        {"channels", 180, [](int l, int i, int h) { return l == 0 && i == 0 && h > 50 * factor * factor; }},
        {"scanner", 30, [](int l, int, int h) { return l > 3 * factor * factor && h == 0; }},
    };
    fs::create_directories(TARVOLIN_SHOT_DIR);
    for (const Tab& tab : tabs) {
        SCOPED_TRACE(tab.name);
        // A few scan ticks first, so the lists hold networks.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        xvfb.X("xdotool mousemove " + std::to_string(x + tab.at * factor) + " " + std::to_string(y + 16 * factor) +
               " click 1");
        QImage shot;
        bool shown = false;
        for (int i = 0; i < 50 && !shown; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            shot = xvfb.Grab(x, y, width, height);
            shown = tab.shows(CountColour(shot, lit), CountColour(shot, information), hills(shot));
        }
        shot.save(
            QString::fromStdString((fs::path(TARVOLIN_SHOT_DIR) / (std::string("tab-") + tab.name + ".png")).string()));
        EXPECT_TRUE(shown) << "lit " << CountColour(shot, lit) << ", information " << CountColour(shot, information)
                           << ", hills " << hills(shot);
        EXPECT_EQ(MixedBlocks(shot, factor), 0) << "blurred or re-rendered pixels";
    }
    EXPECT_EQ(demo.Stop(SIGTERM), 0);
    xvfb.Finish(HasFailure());
}

TEST(RealWindow, SecondStartRaisesTheRunningWindowAndEnds)
{
    DemoOnXvfb xvfb;
    xvfb.WithWindowManager();
    char runtimePattern[] = "/tmp/tarvolin-runtime-XXXXXX";
    const std::string runtime = mkdtemp(runtimePattern);
    const std::vector<std::pair<std::string, std::string>> env{{"XDG_RUNTIME_DIR", runtime}};
    ASSERT_TRUE(xvfb.Start("1280x1024x24", {}, env)) << "Xvfb did not start";
    const std::string window = WaitForMainWindow(xvfb);
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    const fs::path settings = xvfb.ConfigFolder() / "tarvolin" / "registry-demo.reg";

    xvfb.X("xdotool windowminimize --sync " + window);
    ASSERT_EQ(xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$'"), "");

    // The second copy, with the same settings folder and runtime folder.
    const std::string config = xvfb.ConfigFolder().string();
    const std::string second = "XDG_CONFIG_HOME=" + config + " XDG_RUNTIME_DIR=" + runtime +
                               " QT_QPA_PLATFORM=xcb timeout 20 " TARVOLIN_DEMO "; echo status $?";
    EXPECT_EQ(xvfb.X(second), "status 0\n");
    EXPECT_FALSE(fs::exists(settings)) << "the second copy wrote the settings";
    std::string raised;
    for (int i = 0; i < 50 && raised.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        raised = xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$'");
    }
    EXPECT_EQ(raised, window + "\n") << "the running window did not come back";
    EXPECT_EQ(xvfb.X("xdotool getactivewindow"), window + "\n");
    EXPECT_TRUE(xvfb.Demo().Running());

    // Killed, the first copy leaves its socket; the next start runs anyway.
    EXPECT_EQ(xvfb.Demo().Stop(SIGKILL), -1);
    ASSERT_FALSE(fs::is_empty(runtime)) << "no socket in the runtime folder";
    Child third;
    third.Start({TARVOLIN_DEMO}, {{"DISPLAY", xvfb.DisplayName()},
                                  {"QT_QPA_PLATFORM", "xcb"},
                                  {"XDG_CONFIG_HOME", config},
                                  {"XDG_RUNTIME_DIR", runtime}});
    std::string shown;
    for (int i = 0; i < 100 && shown.empty() && third.Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = xvfb.X("xdotool search --onlyvisible --name '^Tarvolin$'");
    }
    EXPECT_FALSE(shown.empty()) << "the start after a killed copy did not show its window";
    EXPECT_EQ(third.Stop(SIGTERM), 0);
    EXPECT_TRUE(fs::exists(settings));

    xvfb.Finish(HasFailure());
    if (!HasFailure())
        fs::remove_all(runtime);
}

// One coordinate of `xwininfo`'s "Absolute upper-left" lines, or -1.
int AbsoluteValue(const std::string& info, const std::string& axis)
{
    const std::string name = "Absolute upper-left " + axis + ":";
    const std::size_t at = info.find(name);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
}

// The main window's size at a zoom, as "WIDTHxHEIGHT".
std::string ZoomedSize(int zoom)
{
    return std::to_string(240 * zoom) + "x" + std::to_string(268 * zoom);
}

// A window's size as "WIDTHxHEIGHT": once it is `expected`, or what it is
// after two seconds.
std::string WindowSize(const DemoOnXvfb& xvfb, const std::string& window, const std::string& expected)
{
    std::string size;
    for (int i = 0; i < 40; ++i) {
        const std::string geometry = xvfb.X("xdotool getwindowgeometry --shell " + window);
        size =
            std::to_string(GeometryValue(geometry, "WIDTH")) + "x" + std::to_string(GeometryValue(geometry, "HEIGHT"));
        if (size == expected)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return size;
}

// Gives the window the keyboard and presses keys (xdotool's names) on it.
void PressKeys(const DemoOnXvfb& xvfb, const std::string& window, const std::string& keys)
{
    xvfb.X("xdotool windowactivate --sync " + window + " key --delay 150 " + keys);
}

// Whether the settings file keeps the given zoom under the window's key.
bool KeepsZoom(const DemoOnXvfb& xvfb, int zoom)
{
    const std::string file = ReadText(xvfb.SettingsFile());
    const std::size_t key = file.find("[HKEY_LOCAL_MACHINE\\Software\\Tarvolin\\Window]");
    const std::string name = "\"Zoom\"=dword:";
    const std::size_t value = key == std::string::npos ? key : file.find(name, key);
    if (value == std::string::npos || file.find('[', key + 1) < value)
        return false;
    return std::strtoul(file.substr(value + name.size(), 8).c_str(), nullptr, 16) == static_cast<unsigned>(zoom);
}

// The window's content, once it is drawn: every pixel a zoom x zoom block,
// with detail at the size of one block; with `tap`, a click on the Options
// tab (120 pixels from the left, 16 down) brings up the options page.
void ExpectBlocksAndTap(const DemoOnXvfb& xvfb, const std::string& window, int zoom, bool tap)
{
    // Where the content is on the screen (xdotool counts the window
    // manager's frame in).
    const std::string place = xvfb.X("xwininfo -id " + window);
    const int x = AbsoluteValue(place, "X");
    const int y = AbsoluteValue(place, "Y");
    ASSERT_GE(x, 0) << place;
    ASSERT_GE(y, 0) << place;
    const int width = 240 * zoom;
    const int height = 268 * zoom;
    const int area = zoom * zoom;
    const QRgb lit = qRgb(0x32, 0xFF, 0x32);
    const QRgb information = qRgb(0x2A, 0x6F, 0xD6);
    // The list's lit signal wedges, or the options page's information sign.
    QImage shot;
    for (int i = 0; i < 60; ++i) {
        shot = xvfb.Grab(x, y, width, height);
        if (CountColour(shot, lit) > 3 * area || CountColour(shot, information) > 50 * area)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    xvfb.Save(shot, ("zoom-" + std::to_string(zoom) + ".png").c_str());
    EXPECT_EQ(MixedBlocks(shot, zoom), 0) << "blurred or re-rendered pixels at zoom " << zoom;
    EXPECT_GT(MixedBlocks(shot, zoom, zoom / 2), 100);
    if (!tap)
        return;
    EXPECT_GT(CountColour(shot, lit), 3 * area);
    xvfb.X("xdotool mousemove " + std::to_string(x + 120 * zoom) + " " + std::to_string(y + 16 * zoom) + " click 1");
    for (int i = 0; i < 40; ++i) {
        shot = xvfb.Grab(x, y, width, height);
        if (CountColour(shot, information) > 50 * area && CountColour(shot, lit) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    xvfb.Save(shot, ("zoom-" + std::to_string(zoom) + "-options.png").c_str());
    EXPECT_GT(CountColour(shot, information), 50 * area);
    EXPECT_EQ(CountColour(shot, lit), 0);
    EXPECT_EQ(MixedBlocks(shot, zoom), 0);
}

// Ctrl+Plus, Ctrl+Minus and Ctrl+0 change the zoom of the running window
// (also one started with --zoom): it takes the new size, its pixels stay
// square blocks and a click lands on what is drawn under it. The zoom
// chosen last is the next start's.
TEST(RealWindow, ZoomKeysResizeTheWindowAndTheNextStartKeepsTheZoom)
{
    DemoOnXvfb xvfb;
    xvfb.WithWindowManager();
    ASSERT_TRUE(xvfb.Start("1920x1080x24", {"--zoom", "1"}, {})) << "Xvfb did not start";
    std::string window = WaitForMainWindow(xvfb);
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(1)), ZoomedSize(1));

    // From one pixel per pixel to blocks; a tap on the Options tab.
    PressKeys(xvfb, window, "ctrl+plus");
    ASSERT_EQ(WindowSize(xvfb, window, ZoomedSize(2)), ZoomedSize(2));
    EXPECT_TRUE(KeepsZoom(xvfb, 2)) << ReadText(xvfb.SettingsFile());
    ExpectBlocksAndTap(xvfb, window, 2, true);

    // Three times as high, the window moves up to stay on the screen.
    PressKeys(xvfb, window, "ctrl+plus");
    ASSERT_EQ(WindowSize(xvfb, window, ZoomedSize(3)), ZoomedSize(3));
    EXPECT_TRUE(KeepsZoom(xvfb, 3)) << ReadText(xvfb.SettingsFile());
    ExpectBlocksAndTap(xvfb, window, 3, false);

    // Four times as high does not fit 1080 lines: Ctrl+Plus does nothing
    // (the larger size does not come), and the Ctrl+Minus after it leads to
    // two.
    PressKeys(xvfb, window, "ctrl+plus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(4)), ZoomedSize(3));
    EXPECT_TRUE(KeepsZoom(xvfb, 3));
    PressKeys(xvfb, window, "ctrl+minus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(2)), ZoomedSize(2));
    PressKeys(xvfb, window, "ctrl+plus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(3)), ZoomedSize(3));

    // The stop saves the program's settings beside the kept zoom.
    ASSERT_EQ(xvfb.Demo().Stop(SIGTERM), 0);
    std::string settings = ReadText(xvfb.SettingsFile());
    EXPECT_TRUE(KeepsZoom(xvfb, 3)) << settings;
    EXPECT_NE(settings.find("\"FontSize\"=dword:0000000c"), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Adapter\"=\"wlan0\""), std::string::npos) << settings;

    // The next start takes the kept zoom.
    xvfb.StartDemo({});
    window = WaitForMainWindow(xvfb);
    ASSERT_FALSE(window.empty()) << "no window at the second start";
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(3)), ZoomedSize(3));

    // Down to one, where Ctrl+Minus does nothing: the Ctrl+Plus after it
    // leads to two.
    PressKeys(xvfb, window, "ctrl+minus ctrl+minus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(1)), ZoomedSize(1));
    PressKeys(xvfb, window, "ctrl+minus");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(1)), ZoomedSize(1));
    EXPECT_TRUE(KeepsZoom(xvfb, 1)) << ReadText(xvfb.SettingsFile());
    PressKeys(xvfb, window, "ctrl+plus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(2)), ZoomedSize(2));

    // Ctrl+0: the screen's choice, two, from three, and no zoom kept.
    PressKeys(xvfb, window, "ctrl+plus");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(3)), ZoomedSize(3));
    PressKeys(xvfb, window, "ctrl+0");
    EXPECT_EQ(WindowSize(xvfb, window, ZoomedSize(2)), ZoomedSize(2));
    EXPECT_TRUE(KeepsZoom(xvfb, 0)) << ReadText(xvfb.SettingsFile());

    EXPECT_EQ(xvfb.Demo().Stop(SIGTERM), 0);
    xvfb.Finish(HasFailure());
}

// A zoom key while a message box waits resizes the box with the window.
TEST(RealWindow, ZoomKeysResizeAnOpenMessageBox)
{
    const WiredScenario scenario;
    DemoOnXvfb xvfb;
    xvfb.WithWindowManager();
    ASSERT_TRUE(xvfb.Start("1920x1080x24", {"--scenario", scenario.File()}, {})) << "Xvfb did not start";
    std::vector<std::string> windows = WaitForWindows(xvfb, 2);
    ASSERT_EQ(windows.size(), 2u) << "no message box came up";
    if (WindowSize(xvfb, windows[0], ZoomedSize(2)) != ZoomedSize(2))
        std::swap(windows[0], windows[1]);
    const std::string& main = windows[0];
    const std::string& box = windows[1];
    ASSERT_EQ(WindowSize(xvfb, main, ZoomedSize(2)), ZoomedSize(2));
    const std::string before = xvfb.X("xdotool getwindowgeometry --shell " + box);
    const int width = GeometryValue(before, "WIDTH");
    const int height = GeometryValue(before, "HEIGHT");

    PressKeys(xvfb, box, "ctrl+plus");
    EXPECT_EQ(WindowSize(xvfb, main, ZoomedSize(3)), ZoomedSize(3));
    const std::string after = xvfb.X("xdotool getwindowgeometry --shell " + box);
    EXPECT_NEAR(GeometryValue(after, "WIDTH"), width * 3 / 2, 3) << before << after;
    EXPECT_NEAR(GeometryValue(after, "HEIGHT"), height * 3 / 2, 3) << before << after;

    EXPECT_EQ(xvfb.Demo().Stop(SIGTERM), 0);
    xvfb.Finish(HasFailure());
}

}  // namespace
