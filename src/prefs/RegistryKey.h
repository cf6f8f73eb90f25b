// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <optional>

namespace brimlark
{

/// One opened registry key of the current user (for the preferences: Software\Brimlark).
/// Failures are raised as ChartError with the registry's messages.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;

    /// Whether the key has a subkey of that name.
    virtual bool hasSubkey(const QString &subkey) const = 0;
    /// Creates the subkey if missing: "Failed to create key %s" when that fails.
    virtual void createSubkey(const QString &subkey) = 0;
    /// A string value of a subkey, or nothing when absent.
    /// "Invalid data type for '%s'" when the value exists but is not a string.
    virtual std::optional<QString> queryString(const QString &subkey,
                                               const QString &name) const = 0;
    /// Sets a string value: "Failed to set data for '%s'" when that fails.
    virtual void setString(const QString &subkey, const QString &name, const QString &value) = 0;
    /// Closes the key; whatever was set is kept for good by then, or the set fails.
    virtual void close() = 0;
};

} // namespace brimlark
