// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/StatusProgress.h"

#include "app/ChartView.h"

#include <QApplication>
#include <QLabel>

namespace brimlark
{

namespace
{

// Repainting the chart after each of thousands of lines would cost more than drawing them;
// the screen takes what has been drawn a few times a second.
constexpr qint64 RepaintMilliseconds = 40;

} // namespace

StatusProgress::StatusProgress(QLabel *statusText, ChartView *chartView)
    : m_statusText(statusText), m_chartView(chartView)
{
    m_sinceRepaint.start();
}

void StatusProgress::status(const QString &text) { m_statusText->setText(text); }

void StatusProgress::lineDone()
{
    if (m_sinceRepaint.elapsed() >= RepaintMilliseconds) {
        m_chartView->refresh();
        m_sinceRepaint.restart();
    }
    QApplication::processEvents();
}

// A run begins on the chart already sized to the view: show it so before the first line.
void StatusProgress::setBusy(bool busy)
{
    if (busy) {
        m_chartView->refresh();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace brimlark
