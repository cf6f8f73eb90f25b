// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "prefs/ChartSettings.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

namespace brimlark
{

class ColorSwatch;

/// The Preferences window (TPref, objectName "Pref"): edits the chart settings in place, so that a
/// change applies to the next drawing at once. Created hidden at start-up, when it loads the stored
/// values; OK stores them all, Cancel, Esc and the close box only hide it. A preferences file that
/// cannot be read is reported at start-up, and OK asks before replacing it.
class PreferencesWindow : public QDialog
{
    Q_OBJECT
public:
    /// Creates the window hidden and loads the values from the hive in registryFile.
    PreferencesWindow(ChartSettings &settings, const QString &registryFile,
                      QWidget *parent = nullptr);

    /// Reads every value from the registry into the settings and the controls; a file that
    /// cannot be read leaves the defaults and fails with its reason.
    /// Traced name: LoadSettings.
    void loadSettings();
    /// Writes every value of the settings to the registry; false, with nothing written,
    /// when the user keeps a file that cannot be read rather than replacing it.
    /// Traced name: SaveSettings.
    bool saveSettings();

public slots:
    void okClicked();     // BitBtn1Click
    void cancelClicked(); // BitBtn2Click

protected:
    void showEvent(QShowEvent *event) override;

private:
    using Id = ChartSettings::Id;

    void loadAtCreation();
    void buildFrame();
    void buildLineRows();
    void buildLayerRows();
    void buildRightSide();
    void addCaption(const QString &text, int left, int top);
    void addRule(int top);
    void addSwatch(Id id, int top, int left = 112);
    void addCheckBox(Id id, const QString &caption, int top);
    void addRightCheckBox(Id id, const QString &caption, int top, int width);
    void addWidthField(Id id, int captionLeft, int left, int top);
    void addTextField(Id id, int left, int top, int width);
    void addComboBox(Id id, const QStringList &items, int left, int top, int width);
    void swatchPressed(Id id, ColorSwatch *swatch);
    void showValues();

    ChartSettings &m_settings;
    QString m_registryFile;
    std::vector<std::function<void()>> m_showers; // each puts one value into its control
};

} // namespace brimlark
