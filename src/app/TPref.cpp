// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/TPref.h"

#include "app/ErrorBox.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TPref::TPref(ChartSettings &settings, const QString &registryFile, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_registryFile(registryFile)
{
    setObjectName(QStringLiteral("Pref"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(576, 504);
    setModal(false);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(332, 392, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TPref::BitBtn1Click);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setGeometry(424, 392, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &TPref::BitBtn2Click);
    FormCreate();
}

void TPref::FormCreate()
{
    ErrorBox::guard(this, [this] { LoadSettings(); });
}

void TPref::LoadSettings()
{
    FileRegistryKey key(m_registryFile, SettingsStore::keyPath());
    SettingsStore::load(key, m_settings);
}

void TPref::SaveSettings()
{
    FileRegistryKey key(m_registryFile, SettingsStore::keyPath());
    SettingsStore::save(key, m_settings);
}

// OK stores everything, then closes; a failed store leaves the window open.
void TPref::BitBtn1Click()
{
    if (ErrorBox::guard(this, [this] { SaveSettings(); }))
        hide();
}

void TPref::BitBtn2Click()
{
    hide();
}

void TPref::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QDialog::showEvent(event);
}
