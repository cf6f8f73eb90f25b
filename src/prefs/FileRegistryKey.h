// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "prefs/RegistryFile.h"
#include "prefs/RegistryKey.h"

namespace brimlark
{

/// A key of the current user's hive, kept in one registry export file. Opening reads the
/// file and creates the key in memory; values set are written back, atomically, when the
/// key is closed. A missing file is a hive without values, and a damaged one gives what
/// can be read of it. A file that exists but cannot be read, or is too large to be a hive,
/// also opens as empty, but closing does not replace it unless that was allowed: what it
/// holds is unknown and would be lost.
class FileRegistryKey : public RegistryKey
{
public:
    /// What opening found in the file's place.
    enum class FileState { Read, Missing, Unreadable };

    /// Opens, creating if missing, HKEY_CURRENT_USER\<keyPath> of the hive in filePath.
    FileRegistryKey(const QString &filePath, const QString &keyPath);
    /// The current user's hive: <generic config folder>/Brimlark/registry.reg.
    static QString defaultFilePath();

    /// Whether the file was read, missing, or there but not readable.
    FileState fileState() const { return m_state; }
    /// Why the file was not read, "Cannot read the preferences file <path>: <reason>";
    /// empty when it was.
    const QString &readError() const { return m_readError; }
    /// Lets close() replace a file that could not be read.
    void allowReplacing() { m_mayReplace = true; }

    bool hasSubkey(const QString &subkey) const override;
    void createSubkey(const QString &subkey) override;
    std::optional<QString> queryString(const QString &subkey, const QString &name) const override;
    void setString(const QString &subkey, const QString &name, const QString &value) override;
    /// Writes what was set; refused with readError() over a file that could not be read,
    /// unless replacing it was allowed.
    void close() override;

private:
    void read();
    QString subkeyPath(const QString &subkey) const;

    QString m_filePath;
    QString m_keyPath;
    RegistryFile m_file;
    FileState m_state = FileState::Read;
    QString m_readError;
    bool m_mayReplace = false;
    QString m_firstUnsaved; // the first value set since the file was last written
    bool m_dirty = false;
};

} // namespace brimlark
