// tarvolin-demo in a real window on an X server (Xvfb). The picture is
// taken from the X server, not by the program.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef TARVOLIN_DEMO
#error "TARVOLIN_DEMO must name the demo program"
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
int StartXvfb(Child& server)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    server.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "480x400x24", "-nolisten", "tcp"}, {},
                 fds[1]);
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

TEST(RealWindow, DemoPaintsItsListOnTheXServer)
{
    Child server;
    const int display = StartXvfb(server);
    ASSERT_GE(display, 0) << "Xvfb did not start";
    const std::string name = ":" + std::to_string(display);

    char pattern[] = "/tmp/tarvolin-xvfb-XXXXXX";
    const fs::path config = mkdtemp(pattern);
    Child demo;
    demo.Start({TARVOLIN_DEMO}, {{"DISPLAY", name}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_CONFIG_HOME", config.string()}});

    setenv("DISPLAY", name.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char arg0[] = "test_real_window";
    char* argv[] = {arg0, nullptr};
    QGuiApplication application(argc, argv);

    // A few scan ticks of one second each; poll the screen until the list
    // shows heard networks.
    QImage shot;
    const QRgb lit = qRgb(0x32, 0xFF, 0x32);
    for (int i = 0; i < 60; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(demo.Running()) << "the demo ended early";
        shot = application.primaryScreen()->grabWindow(0).toImage();
        if (CountColour(shot, lit) > 3)
            break;
    }
    shot.save(QString::fromStdString((config / "screen.png").string()));
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
    const std::string displayOption = "DISPLAY=" + name + " ";
    const std::string window = Output(displayOption + "xdotool search --name '^Tarvolin$' | head -n 1");
    ASSERT_FALSE(window.empty()) << "no window named Tarvolin";
    const std::string geometry = Output(displayOption + "xdotool getwindowgeometry --shell " + window);
    const int x = GeometryValue(geometry, "X");
    const int y = GeometryValue(geometry, "Y");
    ASSERT_GE(x, 0) << geometry;
    ASSERT_GE(y, 0) << geometry;
    Output(displayOption + "xdotool mousemove " + std::to_string(x + 120) + " " + std::to_string(y + 16) + " click 1");
    const QRgb information = qRgb(0x2A, 0x6F, 0xD6);
    for (int i = 0; i < 40; ++i) {
        shot = application.primaryScreen()->grabWindow(0).toImage();
        if (CountColour(shot, information) > 50 && CountColour(shot, lit) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    shot.save(QString::fromStdString((config / "options.png").string()));
    EXPECT_GT(CountColour(shot, information), 50);
    EXPECT_EQ(CountColour(shot, lit), 0);

    EXPECT_EQ(demo.Stop(SIGTERM), 0);
    if (!HasFailure())
        fs::remove_all(config);
}

}  // namespace
