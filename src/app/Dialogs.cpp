// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/Dialogs.h"

#include "app/FirstGuessDialog.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

#include <map>

namespace brimlark
{

namespace
{

class QtDialogs : public Dialogs
{
    // The folder each kind of file dialog opens in: where a file of that kind was last
    // chosen, so an export does not open among the bulletins just imported.
    std::map<FileKind, QString> m_folders;

    // An existing folder, never a path the dialog would split into a folder and a file name
    // to fill in: the kind's last folder while it exists, else the user's pictures folder,
    // else their home.
    QString startFolder(FileKind kind) const
    {
        const auto last = m_folders.find(kind);
        QStringList candidates;
        if (last != m_folders.end())
            candidates << last->second;
        candidates << QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        for (const QString &folder : std::as_const(candidates))
            if (!folder.isEmpty() && QFileInfo(folder).isDir())
                return folder;
        return QDir::homePath();
    }

    QString remembered(FileKind kind, const QString &path)
    {
        if (!path.isEmpty())
            m_folders[kind] = QFileInfo(path).absolutePath();
        return path;
    }

public:
    void showError(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Brimlark"), text, QMessageBox::Ok,
                        parent);
        box.exec();
    }

    bool askYesNo(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Brimlark"), text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    QString openFileName(QWidget *parent, FileKind kind, const QStringList &filters) override
    {
        return remembered(kind, QFileDialog::getOpenFileName(parent, QString(), startFolder(kind),
                                                             filters.join(";;"), nullptr,
                                                             QFileDialog::HideNameFilterDetails));
    }

    // Replacing a file loses it, so the dialog asks first, as the platform's dialogs do.
    QString saveFileName(QWidget *parent, FileKind kind, const QStringList &filters) override
    {
        return remembered(kind, QFileDialog::getSaveFileName(parent, QString(), startFolder(kind),
                                                             filters.join(";;"), nullptr,
                                                             QFileDialog::HideNameFilterDetails));
    }

    std::optional<ChartColor> chooseColor(QWidget *parent, ChartColor initial) override
    {
        const QColor chosen = QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)), parent);
        if (!chosen.isValid())
            return std::nullopt;
        return fromQRgb(chosen.rgb());
    }

    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &prompt,
                                   const QString &initial) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
        return ok ? std::optional(text) : std::nullopt;
    }
    std::optional<FirstGuessChoice> askFirstGuess(QWidget *parent,
                                                  const FirstGuessChoice &initial) override
    {
        FirstGuessDialog dialog(parent, initial);
        return dialog.exec() == QDialog::Accepted ? std::optional(dialog.choice()) : std::nullopt;
    }
};

QtDialogs realDialogs;
Dialogs *installed = nullptr;

} // namespace

Dialogs &Dialogs::current() { return installed ? *installed : realDialogs; }

void Dialogs::install(Dialogs *dialogs) { installed = dialogs; }

} // namespace brimlark
