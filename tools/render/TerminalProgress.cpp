// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "TerminalProgress.h"

#include <cstdio>

namespace brimlark
{

namespace
{

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
    const int filled = BarWidth * m_stage / StageCount;
    std::fprintf(stderr, "\r[%s%s] %-32s", QByteArray(filled, '#').constData(),
                 QByteArray(BarWidth - filled, ' ').constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace brimlark
