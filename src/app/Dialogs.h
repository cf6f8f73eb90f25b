// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"
#include "objective/FirstGuessChoice.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace brimlark
{

/// The one seam through which the shell opens modal dialogs, so that tests can answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    /// The dialogs in use: the real ones unless a test installed others.
    static Dialogs &current();
    /// Installs other dialogs; nullptr puts the real ones back. The caller keeps ownership.
    static void install(Dialogs *dialogs);

    /// The application's error box: stop icon, OK, the title "Brimlark".
    virtual void showError(QWidget *parent, const QString &text) = 0;
    /// A question box: question icon, Yes and No with No the default, the title "Brimlark";
    /// true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &text) = 0;
    /// What a file dialog is for. Each kind opens in the folder where a file of that kind was
    /// last chosen (Load and Save of charts share one).
    enum class FileKind { Chart, Bulletin, Analysis, Observations };
    /// The open file dialog with these filter entries, the first selected: the chosen file,
    /// or an empty text when cancelled.
    virtual QString openFileName(QWidget *parent, FileKind kind, const QStringList &filters) = 0;
    /// The save file dialog: no default extension; choosing a file that exists asks whether
    /// to replace it.
    virtual QString saveFileName(QWidget *parent, FileKind kind, const QStringList &filters) = 0;
    /// The colour dialog opened on a colour: the chosen colour, or nothing when cancelled.
    virtual std::optional<ChartColor> chooseColor(QWidget *parent, ChartColor initial) = 0;
    /// The modal input box: the edited text after OK, nothing after Cancel.
    virtual std::optional<QString> askText(QWidget *parent, const QString &caption,
                                           const QString &prompt, const QString &initial) = 0;
    /// The first guess's question: what to analyse, and the interval of its isolines;
    /// nothing after Cancel.
    virtual std::optional<FirstGuessChoice> askFirstGuess(QWidget *parent,
                                                          const FirstGuessChoice &initial) = 0;
    /// The modal input box: the edited text after OK, the starting text after Cancel.
    QString inputText(QWidget *parent, const QString &caption, const QString &prompt,
                      const QString &initial)
    {
        return askText(parent, caption, prompt, initial).value_or(initial);
    }
};

} // namespace brimlark
