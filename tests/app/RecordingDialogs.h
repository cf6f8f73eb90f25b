// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "app/Dialogs.h"

#include <QStringList>

/// Dialogs that answer at once and remember what they were asked. Installed for as long
/// as the object lives.
class RecordingDialogs : public Dialogs
{
public:
    RecordingDialogs() { Dialogs::install(this); }
    ~RecordingDialogs() override { Dialogs::install(nullptr); }

    void showError(QWidget *, const QString &text) override { errors.append(text); }

    QStringList errors;
};
