// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "prefs/RegistryFile.h"

#include <QStringDecoder>
#include <QStringList>

namespace brimlark
{

namespace
{

// Reads a quoted string starting at s[pos] == '"'; advances pos past the closing quote.
std::optional<QString> readQuoted(const QString &s, qsizetype &pos)
{
    if (pos >= s.size() || s[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < s.size(); ++pos) {
        const QChar c = s[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\' && pos + 1 < s.size())
            out += s[++pos];
        else
            out += c;
    }
    return std::nullopt; // no closing quote: a half-written line
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16)(bytes);
    return QString::fromUtf8(bytes);
}

// Joins lines ending in a backslash (long hex values) with the lines that follow.
QStringList logicalLines(const QString &text)
{
    QStringList lines;
    QString pending;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        pending += pending.isEmpty() ? line : line.trimmed();
        if (pending.endsWith(u'\\') && !pending.contains(u"=\"")) {
            pending.chop(1);
            continue;
        }
        lines.append(pending);
        pending.clear();
    }
    if (!pending.isEmpty())
        lines.append(pending);
    return lines;
}

std::optional<RegistryFile::Value> parseValue(const QString &line)
{
    RegistryFile::Value value;
    qsizetype pos = 0;
    if (line.startsWith(u'@')) {
        pos = 1; // the key's default value has no name
    } else {
        const auto name = readQuoted(line, pos);
        if (!name)
            return std::nullopt;
        value.name = *name;
    }
    if (pos >= line.size() || line[pos] != u'=')
        return std::nullopt;
    value.raw = line.mid(pos + 1);
    qsizetype textPos = pos + 1;
    if (const auto text = readQuoted(line, textPos)) {
        if (textPos != line.size())
            return std::nullopt;
        value.isString = true;
        value.text = *text;
        return value;
    }
    if (value.raw.isEmpty() || value.raw.startsWith(u'"') || value.raw == u"-")
        return std::nullopt; // half-written string or a deletion mark
    value.isString = false;
    return value;
}

} // namespace

RegistryFile RegistryFile::parse(const QByteArray &bytes)
{
    RegistryFile file;
    Key *current = nullptr;
    for (const QString &rawLine : logicalLines(decode(bytes))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString path = line.mid(1, line.size() - 2);
            current = path.startsWith(u'-') || path.isEmpty() ? nullptr : &file.ensureKey(path);
            continue;
        }
        if (!current)
            continue;
        if (const auto value = parseValue(line)) {
            std::erase_if(current->values, [&](const Value &v) {
                return v.name.compare(value->name, Qt::CaseInsensitive) == 0;
            });
            current->values.push_back(*value);
        }
    }
    return file;
}

QByteArray RegistryFile::serialize() const
{
    QString out = QStringLiteral("REGEDIT4\r\n");
    for (const Key &key : m_keys) {
        out += QStringLiteral("\r\n[%1]\r\n").arg(key.path);
        for (const Value &v : key.values)
            out += (v.name.isEmpty() ? QStringLiteral("@") : quoted(v.name)) + u'=' + v.raw
                   + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

const RegistryFile::Key *RegistryFile::key(const QString &path) const
{
    for (const Key &k : m_keys)
        if (k.path.compare(path, Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

RegistryFile::Key &RegistryFile::ensureKey(const QString &path)
{
    for (Key &k : m_keys)
        if (k.path.compare(path, Qt::CaseInsensitive) == 0)
            return k;
    m_keys.push_back({path, {}});
    return m_keys.back();
}

const RegistryFile::Value *RegistryFile::value(const Key &key, const QString &name)
{
    for (const Value &v : key.values)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

void RegistryFile::setString(Key &key, const QString &name, const QString &text)
{
    Value fresh{name, quoted(text), true, text};
    for (Value &v : key.values)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
            v = fresh;
            return;
        }
    key.values.push_back(fresh);
}

} // namespace brimlark
