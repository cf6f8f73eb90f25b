// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/AboutBox.h"

#include "app/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>

namespace brimlark
{

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(186, 169);

    auto *name = new QLabel(QStringLiteral("Brimlark"), this);
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(21);
    name->setFont(nameFont);
    name->move(20, 20);
    name->adjustSize();
    auto *notice = new QLabel(QStringLiteral("Hand-analysed weather charts"), this);
    notice->move(24, 56);
    notice->adjustSize();
    auto *licence = new QLabel(QStringLiteral("Free software, MIT licence"), this);
    licence->move(24, 72);
    licence->adjustSize();
    // Which build a user runs is the first thing a report of a fault needs.
    auto *version = new QLabel(QStringLiteral("Version %1").arg(BRIMLARK_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    version->move(24, 88);
    version->adjustSize();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(52, 104, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::BitBtn1Click);
}

void AboutBox::BitBtn1Click() { accept(); }

void AboutBox::showEvent(QShowEvent *event)
{
    WindowPlacement::centreOnScreen(*this);
    QDialog::showEvent(event);
}

} // namespace brimlark
