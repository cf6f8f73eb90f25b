// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Lets GoogleTest print Qt values readably in failure messages; included in every test.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << "{";
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *out << "}";
}

inline void PrintTo(const QPoint &p, std::ostream *out)
{
    *out << "(" << p.x() << ", " << p.y() << ")";
}
