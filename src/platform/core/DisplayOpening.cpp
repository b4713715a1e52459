#include "platform/core/DisplayOpening.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform::core {

namespace {

// Qt's messages while the display opens; they are passed on once it is open,
// and dropped for the one line when it cannot be.
struct HeldMessage {
    QtMsgType type;
    std::string file, function, category;
    int line;
    QString text;
};

std::string g_program;
QtMessageHandler g_previous = nullptr;
std::vector<HeldMessage> g_held;

void Watch(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr,
                     "%s: needs a graphical session, and no display could be opened; without one, tarvolin-scan "
                     "lists the networks and tarvolin-demo --screenshot FILE.png draws the window into a picture\n",
                     g_program.c_str());
        std::fflush(stderr);
        ::_exit(1);
    }
    g_held.push_back({type, context.file != nullptr ? context.file : "",
                      context.function != nullptr ? context.function : "",
                      context.category != nullptr ? context.category : "", context.line, text});
}

}  // namespace

DisplayOpening::DisplayOpening(const char* program)
{
    const std::string path = program != nullptr ? program : "tarvolin";
    g_program = path.substr(path.rfind('/') + 1);
    g_previous = qInstallMessageHandler(Watch);
}

DisplayOpening::~DisplayOpening()
{
    qInstallMessageHandler(g_previous);
    for (const HeldMessage& held : g_held) {
        const QMessageLogContext context(held.file.c_str(), held.line, held.function.c_str(), held.category.c_str());
        if (g_previous != nullptr)
            g_previous(held.type, context, held.text);
        else
            std::fprintf(stderr, "%s\n", held.text.toLocal8Bit().constData());
    }
    g_held.clear();
}

}  // namespace platform::core
