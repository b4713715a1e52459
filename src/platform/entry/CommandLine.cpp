#include "platform/entry/CommandLine.h"

#include "platform/core/PixelZoom.h"

#include <cstdlib>
#include <cstring>

#ifndef TARVOLIN_VERSION
#error "TARVOLIN_VERSION must give the program's version"
#endif

namespace platform::entry {

const char* const kSharedOptionsHelp = "  --zoom N            show the window N times larger (1 to 4), each pixel\n"
                                       "                      as an N x N block (default: the zoom last chosen\n"
                                       "                      with Ctrl+Plus or Ctrl+Minus, else the largest at\n"
                                       "                      which it takes at most 70 % of the screen's\n"
                                       "                      height; Ctrl+0 goes back to that)\n"
                                       "  --version           show the version and end\n"
                                       "  --help              show this text and end\n";

namespace {

// Whole numbers only: "2", not "2.5", " 2" or "2x".
bool ParseZoom(const char* text, int& zoom)
{
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != 0 || value < core::kMinZoom || value > core::kMaxZoom)
        return false;
    zoom = static_cast<int>(value);
    return true;
}

}  // namespace

ParseResult ParseSharedOption(const char* program, int argc, char** argv, int& index, SharedOptions& options)
{
    const char* arg = argv[index];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)
        return ParseResult::HelpWanted;
    if (std::strcmp(arg, "--version") == 0)
        return ParseResult::VersionWanted;
    const char* value = nullptr;
    if (std::strcmp(arg, "--zoom") == 0) {
        if (index + 1 >= argc) {
            std::fprintf(stderr, "%s: --zoom needs a number from %d to %d\n", program, core::kMinZoom, core::kMaxZoom);
            return ParseResult::Failed;
        }
        value = argv[++index];
    } else if (std::strncmp(arg, "--zoom=", 7) == 0) {
        value = arg + 7;
    } else {
        return ParseResult::NotShared;
    }
    if (!ParseZoom(value, options.zoom)) {
        std::fprintf(stderr, "%s: --zoom needs a number from %d to %d, not '%s'\n", program, core::kMinZoom,
                     core::kMaxZoom, value);
        return ParseResult::Failed;
    }
    return ParseResult::Taken;
}

void PrintVersion(FILE* out)
{
    std::fprintf(out, "Tarvolin %s\n", TARVOLIN_VERSION);
}

}  // namespace platform::entry
