// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "prefs/SettingsStore.h"

namespace brimlark
{

namespace
{

// Runs one load or save and closes the key at its end, also when a step fails; the first
// failure is the one reported.
template <typename Steps> void withKey(RegistryKey &key, Steps steps)
{
    try {
        steps();
    } catch (...) {
        try {
            key.close();
        } catch (...) {
        }
        throw;
    }
    key.close();
}

} // namespace

void SettingsStore::load(RegistryKey &key, ChartSettings &settings)
{
    withKey(key, [&] {
        const bool hasSection = key.hasSubkey(section());
        for (int i = 0; i < ChartSettings::Count; ++i) {
            const auto id = ChartSettings::Id(i);
            const auto stored =
                hasSection ? key.queryString(section(), ChartSettings::name(id)) : std::nullopt;
            if (stored)
                settings.setStoredText(id, *stored);
            else
                settings.reset(id);
        }
    });
}

void SettingsStore::save(RegistryKey &key, const ChartSettings &settings)
{
    withKey(key, [&] {
        key.createSubkey(section());
        for (int i = 0; i < ChartSettings::Count; ++i) {
            const auto id = ChartSettings::Id(i);
            key.setString(section(), ChartSettings::name(id), settings.storedText(id));
        }
    });
}

} // namespace brimlark
