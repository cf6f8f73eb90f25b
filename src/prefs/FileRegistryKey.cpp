// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "prefs/FileRegistryKey.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "base/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

namespace brimlark
{

namespace
{

const QString Root = QStringLiteral("HKEY_CURRENT_USER\\");

} // namespace

FileRegistryKey::FileRegistryKey(const QString &filePath, const QString &keyPath)
    : m_filePath(filePath), m_keyPath(Root + keyPath)
{
    read();
    m_file.ensureKey(m_keyPath);
}

void FileRegistryKey::read()
{
    const DataFile::Contents contents = DataFile::readAll(m_filePath, FileLimit::Preferences);
    if (contents.error == 0) {
        m_file = RegistryFile::parse(contents.bytes);
        return;
    }
    m_state = contents.error == ENOENT ? FileState::Missing : FileState::Unreadable;
    m_readError =
        QStringLiteral("Cannot read the preferences file %1: %2").arg(m_filePath, contents.reason);
}

QString FileRegistryKey::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Brimlark/registry.reg");
}

QString FileRegistryKey::subkeyPath(const QString &subkey) const
{
    return m_keyPath + u'\\' + subkey;
}

bool FileRegistryKey::hasSubkey(const QString &subkey) const
{
    return m_file.key(subkeyPath(subkey)) != nullptr;
}

void FileRegistryKey::createSubkey(const QString &subkey)
{
    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
        throw ChartError(QStringLiteral("Failed to create key %1").arg(subkey));
    m_file.ensureKey(subkeyPath(subkey));
}

std::optional<QString> FileRegistryKey::queryString(const QString &subkey,
                                                    const QString &name) const
{
    const RegistryFile::Key *key = m_file.key(subkeyPath(subkey));
    const RegistryFile::Value *value = key ? RegistryFile::value(*key, name) : nullptr;
    if (!value)
        return std::nullopt;
    if (!value->isString)
        throw ChartError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value->text;
}

void FileRegistryKey::setString(const QString &subkey, const QString &name, const QString &value)
{
    const QString path = subkeyPath(subkey);
    if (!m_file.key(path))
        throw ChartError(QStringLiteral("Failed to set data for '%1'").arg(name));
    RegistryFile::setString(m_file.ensureKey(path), name, value);
    if (!m_dirty)
        m_firstUnsaved = name;
    m_dirty = true;
}

void FileRegistryKey::close()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    if (m_state == FileState::Unreadable && !m_mayReplace)
        throw ChartError(m_readError);
    const QByteArray bytes = m_file.serialize();
    if (!ReplacingFile::write(m_filePath, bytes))
        throw ChartError(QStringLiteral("Failed to set data for '%1'").arg(m_firstUnsaved));
}

} // namespace brimlark
