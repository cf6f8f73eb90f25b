// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "prefs/ChartSettings.h"

#include <QDialog>

/// The Preferences window: edits the chart settings in place, so that a change applies to
/// the next drawing at once. Created hidden at start-up, when it loads the stored values;
/// OK stores them all, Cancel and the close box only hide it.
class TPref : public QDialog
{
    Q_OBJECT
public:
    /// Creates the window hidden and loads the values from the hive in registryFile.
    TPref(ChartSettings &settings, const QString &registryFile, QWidget *parent = nullptr);

    /// Reads every value from the registry into the settings.
    void LoadSettings();
    /// Writes every value of the settings to the registry.
    void SaveSettings();

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();

    ChartSettings &m_settings;
    QString m_registryFile;
};
