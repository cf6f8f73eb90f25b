// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace brimlark
{

namespace
{

class QtDialogs : public Dialogs
{
    // The file dialogs open where the user last chose a file, at first in their pictures
    // folder, never in the program's own folder.
    QString m_folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);

    QString remembered(const QString &path)
    {
        if (!path.isEmpty())
            m_folder = QFileInfo(path).absolutePath();
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

    QString openFileName(QWidget *parent, const QStringList &filters) override
    {
        return remembered(QFileDialog::getOpenFileName(parent, QString(), m_folder,
                                                       filters.join(";;"), nullptr,
                                                       QFileDialog::HideNameFilterDetails));
    }

    QString saveFileName(QWidget *parent, const QStringList &filters) override
    {
        return remembered(QFileDialog::getSaveFileName(
            parent, QString(), m_folder, filters.join(";;"), nullptr,
            QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite));
    }

    std::optional<ChartColor> chooseColor(QWidget *parent, ChartColor initial) override
    {
        const QColor chosen = QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)), parent);
        if (!chosen.isValid())
            return std::nullopt;
        return fromQRgb(chosen.rgb());
    }

    QString inputText(QWidget *parent, const QString &caption, const QString &prompt,
                      const QString &initial) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
        return ok ? text : initial;
    }
};

QtDialogs realDialogs;
Dialogs *installed = nullptr;

} // namespace

Dialogs &Dialogs::current() { return installed ? *installed : realDialogs; }

void Dialogs::install(Dialogs *dialogs) { installed = dialogs; }

} // namespace brimlark
