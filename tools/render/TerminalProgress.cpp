// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "TerminalProgress.h"

#include <QRegularExpression>

#include <cstdio>

namespace
{

constexpr int Stages = 8; // preparing, erasing, six layers, finishing
constexpr int BarWidth = 30;

} // namespace

TerminalProgress::TerminalProgress(bool shown) : m_shown(shown) {}

TerminalProgress::~TerminalProgress()
{
    if (m_shown && m_stage > 0)
        std::fputs("\n", stderr);
}

void TerminalProgress::status(const QString &text)
{
    if (!m_shown)
        return;
    static const QRegularExpression layer(QStringLiteral("^Preparing to draw \\((\\d)\\)"));
    const auto match = layer.match(text);
    if (match.hasMatch())
        m_stage = 1 + match.captured(1).toInt();
    else if (text == u"Map completed")
        m_stage = Stages;
    else
        m_stage = qMax(m_stage, 1);
    const int filled = BarWidth * m_stage / Stages;
    std::fprintf(stderr, "\r[%s%s] %-32s", QByteArray(filled, '#').constData(),
                 QByteArray(BarWidth - filled, ' ').constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}
