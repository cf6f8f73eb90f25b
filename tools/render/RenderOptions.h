// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/LineTool.h"
#include "base/ViewValues.h"
#include "bulletin/Bulletin.h"
#include "objective/FirstGuessChoice.h"

#include <QDateTime>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace brimlark
{

/// What brimlark-render was asked to do, read from its arguments.
struct RenderOptions {
    struct Segment {
        LineTool tool = LineTool::Isopleth;
        std::vector<QPointF> points;
    };
    struct Marker {
        QChar letter;
        QPoint at;
    };
    struct Label {
        QPoint at;
        QString text;
    };

    /// --help and --version stop the reading of the arguments and are answered alone.
    enum class Action { Render, Help, Version };
    Action action = Action::Render;

    ViewValues view;
    bool hasView = false; // any of --center, --zoom and --size
    struct ViewGiven {
        bool center = false, zoom = false, size = false;
    } viewGiven;
    QString dataDir;
    QString prefsFile;
    QString input;
    std::vector<Segment> segments;
    std::vector<Marker> markers;
    std::vector<Label> labels;
    Bulletin geoAnalysis;      // --draw-geo and --marker-geo
    QStringList bulletins;     // --bulletin and --analysis files, drawn first in their order
    QString exportAnalysis;    // --export-analysis file
    QStringList observations;  // --observations files, plotted on the map first
    QDateTime observationTime; // --obs-time; invalid: the hour most reports stand for
    std::optional<FirstGuessChoice> firstGuess; // --first-guess, analysed after the plot
    QString lineColor = QStringLiteral("Black");
    QString lineWidth = QStringLiteral("1 px");
    QString output;
    bool worldFile = false; // --world-file: a world file and .prj beside the output
    bool quiet = false;

    /// Reads the arguments (without the program name), a value after its option or joined to
    /// it as --name=value; a usage error is thrown as a RenderOptions::UsageError with its
    /// message.
    static RenderOptions parse(const QStringList &arguments);

    /// The view of the --input chart: the view it carries (`stored`), which --center, --zoom
    /// and --size must not contradict (a UsageError says which does); for a chart without
    /// one, what they give, the rest from `current` and the chart's own size.
    ViewValues inputView(const std::optional<ViewValues> &stored, const ViewValues &current,
                         QSize chartSize) const;

    /// The usage and what every option does, as --help prints it.
    static QString usage();
    /// "brimlark-render VERSION".
    static QString version();

    struct UsageError {
        QString message;
    };
};

} // namespace brimlark
