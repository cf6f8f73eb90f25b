// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace brimlark
{

namespace
{

class QtDialogs : public Dialogs
{
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
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filters.join(";;"),
                                            nullptr, QFileDialog::HideNameFilterDetails);
    }

    QString saveFileName(QWidget *parent, const QStringList &filters) override
    {
        return QFileDialog::getSaveFileName(
            parent, QString(), QString(), filters.join(";;"), nullptr,
            QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite);
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
