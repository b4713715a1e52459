#include "app/CatalogueHooks.h"

#include "platform/media/Sound.h"
#include "res/Resource.h"
#include "settings/Settings.h"

namespace {

// A setting that cannot be read counts as off.
bool IsSet(const CSettings& settings, int index)
{
    LONG value = 0;
    return settings.GetValue(index, value) && value != 0;
}

}  // namespace

CApList::Hooks ProgramCatalogueHooks(const CSettings& settings)
{
    CApList::Hooks hooks;
    hooks.filters = [&settings] {
        return CApList::Filters{IsSet(settings, SettingHideWEP), IsSet(settings, SettingHidePeer)};
    };
    // One chime however many networks a merge brings: each start restarts it.
    hooks.newNetwork = [&settings](const ApRecord&) {
        if (!IsSet(settings, SettingSoundOff))
            PlaySoundW(MAKEINTRESOURCEW(IDR_NEW_NETWORK_WAVE), nullptr, SND_RESOURCE | SND_ASYNC);
    };
    return hooks;
}
