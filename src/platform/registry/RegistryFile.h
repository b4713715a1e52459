// Disk side of the registry: reading the file, writing it atomically, and
// moving a file that cannot be read out of the way without deleting it.
#pragma once

#include "platform/Types.h"
#include "platform/registry/RegDocument.h"

#include <string>

namespace platform {

struct RegistryFileContents {
    enum class State { Missing, Good, Broken };
    State state = State::Missing;
    RegDocument document;  // empty unless Good
};

RegistryFileContents ReadRegistryFile(const std::string& path);

// Writes `text` to a temporary file in the same folder (created if missing),
// flushes it to disk and renames it over `path`. Returns a Win32 error code;
// on failure the old file is untouched and no temporary file is left.
LONG WriteRegistryFile(const std::string& path, const std::string& text);

// Renames `path` to its broken-file name, never replacing an existing file.
LONG MoveBrokenFileAside(const std::string& path);

}  // namespace platform
