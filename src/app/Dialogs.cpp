// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/Dialogs.h"

#include <QMessageBox>

namespace {

class QtDialogs : public Dialogs
{
public:
    void showError(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Brimlark"), text, QMessageBox::Ok,
                        parent);
        box.exec();
    }
};

QtDialogs realDialogs;
Dialogs *installed = nullptr;

} // namespace

Dialogs &Dialogs::current()
{
    return installed ? *installed : realDialogs;
}

void Dialogs::install(Dialogs *dialogs)
{
    installed = dialogs;
}
