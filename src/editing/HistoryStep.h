// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "editing/ChartState.h"
#include "editing/RunLength.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

namespace brimlark
{

/// One step of the undo history: the part of a chart that differs between two states, kept
/// run-length coded. A committed segment changes only the box around it, so a step holds
/// that box; a new size or palette keeps the whole picture. A step that changes the base map
/// (Generate, Load) keeps the base map it leads back to as well.
class HistoryStep
{
public:
    /// The step that leads from the state `to` back to `from`; none when they are the same.
    /// It holds the pictures of `from` as they are, shared with the state, until code().
    static std::optional<HistoryStep> between(const ChartState &from, const ChartState &to);

    /// Codes the pictures the step holds; coding a picture of a large chart takes a few
    /// milliseconds, which the history can leave for a pause.
    void code();
    bool isCoded() const { return !m_uncoded; }
    /// Turns the state into the one this step leads to, keeping the state's own pixels
    /// instead, so that the same step then leads back: an undo step becomes its redo step.
    /// The step is coded first, and stays so.
    void swap(ChartState &state);
    /// The memory of the step's codes: none before it is coded.
    qsizetype bytes() const;
    /// What the step does, as Undo and Redo name it ("cold front", "Generate").
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

private:
    // A whole picture, run-length coded.
    struct Picture {
        QSize size;
        QImage::Format format = QImage::Format_RGB32;
        QList<QRgb> colours;
        int paletteBits = 0;
        QByteArray code;
        static Picture of(const QImage &image, int paletteBits);
        QImage image() const;
    };

    // The pictures that a step leads back to, as they are before coding: the chart (the
    // step's area of it, or the whole picture) and the base map, when the step keeps one.
    struct Pictures {
        QImage image;
        int paletteBits = 0;
        bool whole = false;
        QImage baseMap;
        int baseMapBits = 0;
    };

    static bool sameShape(const QImage &a, const QImage &b);
    static QRect changedArea(const QImage &a, const QImage &b);
    static QByteArray encodeArea(const QImage &image, QRect area);
    static void decodeArea(const QByteArray &code, QImage &image, QRect area);
    static RunLength::Rows rowsOf(const QImage &image, QRect area);
    void codePictures(const Pictures &pictures);
    void keepBaseMap(const Pictures &pictures);

    std::optional<Pictures> m_uncoded;
    std::optional<Picture> m_whole; // or the changed area of a picture of the same shape:
    QRect m_area;
    QByteArray m_code;
    ViewValues m_view;
    bool m_viewKnown = true;
    std::vector<DrawnFeature> m_features;
    std::optional<Picture> m_baseMap;
    bool m_baseMapIsChart = false; // the base map is the chart's picture, its code shared
    // Kept as it is: only the one chart a run starts on is ever an underlay, so every step
    // that holds one shares its pixels.
    QImage m_underlay;
    int m_underlayBits = 0;
    QString m_name;
};

} // namespace brimlark
