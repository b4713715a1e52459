// libFuzzer target: any bytes as a registry file. Whatever loads must write
// out as a file that loads again to the same keys, values and comments, and
// writing that again must give the same text: settings taken at one start
// are never lost at the next.
#include "platform/registry/RegDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto loaded = platform::RegDocument::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!loaded)
        return 0;
    const std::string written = loaded->Format();
    const auto again = platform::RegDocument::Parse(written);
    if (!again || !(*again == *loaded) || again->Format() != written)
        std::abort();
    return 0;
}
