// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "app/Dialogs.h"

#include <QStringList>

namespace brimlark
{

/// Dialogs that answer at once and remember what they were asked. Installed for as long
/// as the object lives.
class RecordingDialogs : public Dialogs
{
public:
    RecordingDialogs() { Dialogs::install(this); }
    ~RecordingDialogs() override { Dialogs::install(nullptr); }

    void showError(QWidget *, const QString &text) override { errors.append(text); }
    bool askYesNo(QWidget *, const QString &text) override
    {
        questions.append(text);
        return yesAnswer;
    }
    /// Answers with the next of the queued answers, or cancels when none is left.
    std::optional<QString> askText(QWidget *, const QString &caption, const QString &prompt,
                                   const QString &initial) override
    {
        inputs.append(caption + u'|' + prompt);
        offered.append(initial);
        return answers.isEmpty() ? std::nullopt : std::optional(answers.takeFirst());
    }

    std::optional<FirstGuessChoice> askFirstGuess(QWidget *,
                                                  const FirstGuessChoice &initial) override
    {
        firstGuessOffered.append(initial);
        return firstGuessAnswer;
    }

    QString openFileName(QWidget *, FileKind kind, const QStringList &filters) override
    {
        fileKinds.append(kind);
        openFilters = filters;
        return fileAnswer;
    }
    QString saveFileName(QWidget *, FileKind kind, const QStringList &filters) override
    {
        fileKinds.append(kind);
        saveFilters = filters;
        return fileAnswer;
    }
    std::optional<ChartColor> chooseColor(QWidget *, ChartColor initial) override
    {
        colourAsked.append(initial);
        return colourAnswer;
    }

    QStringList errors;
    QStringList questions;
    bool yesAnswer = false; // No unless a test says otherwise
    QStringList inputs;
    QStringList answers;
    QStringList offered; // the starting text of every input box, in order
    QStringList openFilters;
    QStringList saveFilters;
    QList<FileKind> fileKinds;              // of every file dialog, in order
    QString fileAnswer;                     // empty: as if cancelled
    std::optional<ChartColor> colourAnswer; // nothing: as if cancelled
    QList<ChartColor> colourAsked;
    std::optional<FirstGuessChoice> firstGuessAnswer; // nothing: as if cancelled
    QList<FirstGuessChoice> firstGuessOffered;
};

} // namespace brimlark
