// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Undo and redo of a 1600 x 1200 chart: one committed front, and a whole new map.
#include "editing/UndoHistory.h"

#include <QPainter>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

QImage chart(QRgb ocean)
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    image.fill(ocean);
    QPainter painter(&image);
    painter.setBrush(QColor(250, 240, 200));
    painter.drawEllipse(200, 150, 1200, 900); // land
    return image;
}

// Undo then redo of one step, repeated: each iteration is one undo and one redo.
void undoAndRedo(benchmark::State &state, const ChartState &before, const ChartState &after)
{
    UndoHistory history;
    history.record(before, after);
    ChartState current = after;
    for (auto _ : state) {
        history.undo(current);
        history.redo(current);
        benchmark::DoNotOptimize(current.image.constBits());
    }
}

void BM_UndoRedoOfAFront(benchmark::State &state)
{
    const QImage base = chart(qRgb(200, 230, 255));
    QImage front = base.copy();
    QPainter painter(&front);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.drawPolyline(QPolygon({QPoint(300, 600), QPoint(800, 400), QPoint(1300, 650)}));
    painter.end();
    undoAndRedo(state, {.image = base}, {.image = front});
}
BENCHMARK(BM_UndoRedoOfAFront)->Unit(benchmark::kMillisecond);

void BM_UndoRedoOfANewMap(benchmark::State &state)
{
    undoAndRedo(state, {.image = chart(qRgb(200, 230, 255))},
                {.image = chart(qRgb(180, 210, 250))});
}
BENCHMARK(BM_UndoRedoOfANewMap)->Unit(benchmark::kMillisecond);

} // namespace
