// The options both window programs (tarvolin and tarvolin-demo) take:
// --zoom N, --version and --help. Each program adds its own around them.
#pragma once

#include <cstdio>

namespace platform::entry {

struct SharedOptions {
    // 1 to 4: each pixel of the window shown as a zoom x zoom block; 0 when
    // not given, and the zoom follows the screen.
    int zoom = 0;
};

enum class ParseResult {
    Taken,         // a shared option, taken (with its value)
    NotShared,     // not a shared option: the program looks at it
    Failed,        // a shared option with a bad value; the reason is on stderr
    HelpWanted,    // --help or -h
    VersionWanted  // --version
};

// Looks at argv[index]; when it is a shared option that needs a value, moves
// index on past the value. `program` names the program in messages.
ParseResult ParseSharedOption(const char* program, int argc, char** argv, int& index, SharedOptions& options);

// "Tarvolin 1.2" and a line end.
void PrintVersion(FILE* out);

// The help lines of the shared options, for the programs' usage texts.
extern const char* const kSharedOptionsHelp;

}  // namespace platform::entry
