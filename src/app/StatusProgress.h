// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/GenerationProgress.h"

#include <QElapsedTimer>

class QLabel;

namespace brimlark
{

class ChartView;

/// Shows a map generation's progress in the window: status texts in the status line, the
/// chart repainted as lines arrive, waiting events handled after every line, and the busy
/// cursor while it runs.
class StatusProgress : public GenerationProgress
{
public:
    StatusProgress(QLabel *statusText, ChartView *chartView);

    void status(const QString &text) override;
    void lineDone() override;
    void setBusy(bool busy) override;

private:
    QLabel *m_statusText;
    ChartView *m_chartView;
    QElapsedTimer m_sinceRepaint;
};

} // namespace brimlark
