// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "prefs/RegistryFile.h"
#include "prefs/RegistryKey.h"

/// A key of the current user's hive, kept in one registry export file. Opening reads the
/// file (a missing or damaged file is no error) and creates the key in memory; values set
/// are written back, atomically, when the key is closed.
class FileRegistryKey : public RegistryKey
{
public:
    /// Opens, creating if missing, HKEY_CURRENT_USER\<keyPath> of the hive in filePath.
    FileRegistryKey(const QString &filePath, const QString &keyPath);
    /// The current user's hive: <generic config folder>/Brimlark/registry.reg.
    static QString defaultFilePath();

    bool hasSubkey(const QString &subkey) const override;
    void createSubkey(const QString &subkey) override;
    std::optional<QString> queryString(const QString &subkey, const QString &name) const override;
    void setString(const QString &subkey, const QString &name, const QString &value) override;
    void close() override;

private:
    QString subkeyPath(const QString &subkey) const;

    QString m_filePath;
    QString m_keyPath;
    RegistryFile m_file;
    QString m_firstUnsaved; // the first value set since the file was last written
    bool m_dirty = false;
};
