// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// Makes a folder read-only for as long as it lives. Under root, which writes anywhere, it
/// also takes the effective user id of "nobody" meanwhile, so the folder really refuses.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

private:
    QString m_path;
    bool m_switchedUser = false;
};

} // namespace brimlark
