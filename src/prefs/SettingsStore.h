// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "prefs/ChartSettings.h"
#include "prefs/RegistryKey.h"

namespace brimlark
{

/// Moves the preference values between ChartSettings and the registry section "General"
/// of the key Software\Brimlark.
class SettingsStore
{
public:
    /// The registry key that holds the preferences.
    static QString keyPath() { return QStringLiteral("Software\\Brimlark"); }
    static QString section() { return QStringLiteral("General"); }

    /// Reads every value in table order; an absent value takes its default. A value that is
    /// not a string stops the loading there: the values before it are loaded, the rest keep
    /// what they held. The key is closed in any case.
    static void load(RegistryKey &key, ChartSettings &settings);
    /// Writes every value as a string, creating the section first. A failure stops there.
    static void save(RegistryKey &key, const ChartSettings &settings);
};

} // namespace brimlark
