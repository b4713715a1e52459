// The icon resources: the activity icon, drawn at 32 and at 16 pixels.
// The files keep the icon's number as their name, as the bitmaps do, so a
// file on disk says which resource it is (tools/imagegen writes them so).
#include "platform/Resources.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

#include <iterator>

namespace {

const char* const kActivityFiles[] = {"icons/147.png", "icons/147-16.png"};

const IconResource kIcons[] = {
    {IDI_ACTIVITY, kActivityFiles, std::size(kActivityFiles)},
};

}  // namespace

const IconResource* FindIconResource(UINT id)
{
    return FindById(kIcons, id);
}
