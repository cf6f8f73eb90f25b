// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// A registry hive kept as text in the registry export format:
///
///   REGEDIT4
///
///   [HKEY_CURRENT_USER\Software\Brimlark\General]
///   "ColdColor"="8912896"
///   "Count"=dword:0000002a
///
/// Reading is forgiving: lines it cannot make sense of (garbage, a half-written last line)
/// are skipped, and everything it can read is kept, also keys and values of other programs.
class RegistryFile
{
public:
    struct Value {
        QString name;
        QString raw;   // the text after "=", as it stands in the file
        bool isString; // a "..." value rather than dword:, hex: and the like
        QString text;  // the string, unescaped, for a string value
    };
    struct Key {
        QString path; // e.g. HKEY_CURRENT_USER\Software\Brimlark
        std::vector<Value> values;
    };

    /// Parses the bytes of a file (UTF-8, or UTF-16 with its byte order mark).
    static RegistryFile parse(const QByteArray &bytes);
    /// The file's bytes: REGEDIT4, then every key and its values.
    QByteArray serialize() const;

    /// The key with this path (case-insensitive), or null.
    const Key *key(const QString &path) const;
    /// The key with this path, added at the end when missing.
    Key &ensureKey(const QString &path);
    /// Sets a string value, replacing one of the same name (case-insensitive).
    static void setString(Key &key, const QString &name, const QString &text);
    /// The value of that name in a key, or null.
    static const Value *value(const Key &key, const QString &name);

private:
    std::vector<Key> m_keys;
};

} // namespace brimlark
