// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/GenerationProgress.h"

#include <QStringList>

namespace brimlark
{

/// Progress that remembers what a generation reported: the status texts and, among them,
/// "<line>" for every finished line and "<busy>" / "<idle>" for the cursor.
class RecordingProgress : public GenerationProgress
{
public:
    void status(const QString &text) override { events.append(text); }
    void lineDone() override
    {
        events.append(QStringLiteral("<line>"));
        ++lines;
    }
    void setBusy(bool busy) override
    {
        events.append(busy ? QStringLiteral("<busy>") : QStringLiteral("<idle>"));
    }
    /// The status texts alone.
    QStringList statuses() const
    {
        QStringList texts;
        for (const QString &e : events)
            if (!e.startsWith(u'<'))
                texts.append(e);
        return texts;
    }

    QStringList events;
    int lines = 0;
};

} // namespace brimlark
