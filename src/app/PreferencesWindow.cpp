// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/PreferencesWindow.h"

#include "app/ColorSwatch.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/WindowPlacement.h"
#include "base/ChartError.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <map>

namespace brimlark
{

namespace
{

using S = ChartSettings;

struct LineRow {
    int top;
    const char *caption;
    std::optional<S::Id> color; // none: stationary fronts have no colour of their own
    std::optional<S::Id> width;
};

// The drawing tools and the two fills: plain captions.
const LineRow LineRows[] = {{24, "Cold fronts", S::ColdColor, S::ColdWidth},
                            {44, "Warm fronts", S::WarmColor, S::WarmWidth},
                            {64, "Occluded fronts", S::OccludedColor, S::OccludedWidth},
                            {84, "Stationary fronts", std::nullopt, S::StationaryWidth},
                            {104, "Troughs", S::TroughColor, S::TroughWidth},
                            {124, "Drylines", S::DrylineColor, S::DrylineWidth},
                            {172, "Landmass", S::LandmassColor, std::nullopt},
                            {192, "Ocean", S::OceanColor, std::nullopt}};

struct LayerRow {
    int top;
    S::Id on;
    const char *caption;
    S::Id color;
    S::Id width;
};

// The map layers: a switch, a colour and a width each.
const LayerRow LayerRows[] = {
    {256, S::Border, "Chart border", S::BorderColor, S::BorderWidth},
    {300, S::International, "International", S::InternationalColor, S::InternationalWidth},
    {320, S::State, "State", S::StateColor, S::StateWidth},
    {340, S::County, "County", S::CountyColor, S::CountyWidth},
    {360, S::Highway, "Highway", S::HighwayColor, S::HighwayWidth},
    {380, S::Lake, "Lake", S::LakeColor, S::LakeWidth},
    {400, S::Island, "Island", S::IslandColor, S::IslandWidth},
    {420, S::River, "River", S::RiverColor, S::RiverWidth},
    {440, S::Coast, "Coast", S::CoastColor, S::CoastWidth}};

constexpr int FieldHeight = 21;

} // namespace

PreferencesWindow::PreferencesWindow(ChartSettings &settings, const QString &registryFile,
                                     QWidget *parent)
    : QDialog(parent), m_settings(settings), m_registryFile(registryFile)
{
    setObjectName(QStringLiteral("Pref"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(576, 504);
    setModal(false);
    buildFrame();
    buildLineRows();
    buildLayerRows();
    buildRightSide();
    loadAtCreation();
}

// FormCreate.
void PreferencesWindow::loadAtCreation()
{
    ErrorBox::guard(this, [this] { loadSettings(); });
    showValues();
}

// A file that cannot be read loads as an empty one, every value at its default, and is
// reported; a missing file, as at a first start, is no error.
void PreferencesWindow::loadSettings()
{
    FileRegistryKey key(m_registryFile, SettingsStore::keyPath());
    SettingsStore::load(key, m_settings);
    showValues();
    if (key.fileState() == FileRegistryKey::FileState::Unreadable)
        throw ChartError(key.readError());
}

// Storing replaces the whole file, so a file that cannot be read is replaced only when the
// user agrees to lose what it holds.
bool PreferencesWindow::saveSettings()
{
    FileRegistryKey key(m_registryFile, SettingsStore::keyPath());
    if (key.fileState() == FileRegistryKey::FileState::Unreadable) {
        const QString question =
            key.readError()
            + QStringLiteral(".\n\nReplace it with the current preferences? Whatever it holds "
                             "now will be lost.");
        if (!Dialogs::current().askYesNo(this, question))
            return false;
        key.allowReplacing();
    }
    SettingsStore::save(key, m_settings);
    return true;
}

// OK stores everything, then closes; a failed store, or one the user declined, leaves the
// window open.
// BitBtn1Click.
void PreferencesWindow::okClicked()
{
    bool stored = false;
    if (ErrorBox::guard(this, [this, &stored] { stored = saveSettings(); }) && stored)
        hide();
}

// BitBtn2Click.
void PreferencesWindow::cancelClicked() { hide(); }

void PreferencesWindow::showEvent(QShowEvent *event)
{
    WindowPlacement::centreOnScreen(*this);
    QDialog::showEvent(event);
}

void PreferencesWindow::showValues()
{
    for (const auto &show : m_showers)
        show();
}

void PreferencesWindow::buildFrame()
{
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(8, 12, 281, 457);
    for (int top : {160, 220, 284})
        addRule(top);
}

void PreferencesWindow::buildLineRows()
{
    for (const LineRow &row : LineRows) {
        addCaption(QLatin1String(row.caption), 19, row.top);
        if (row.color)
            addSwatch(*row.color, row.top);
        else if (row.width)
            addCaption(QStringLiteral("N/A"), 124, row.top);
        if (row.width)
            addWidthField(*row.width, 168, 228, row.top);
    }
}

void PreferencesWindow::buildLayerRows()
{
    addCheckBox(S::GridSelect, QStringLiteral("Graticule"), 232);
    addSwatch(S::GraticuleColor, 232);
    addComboBox(S::GraticuleType,
                {QStringLiteral("Line"), QStringLiteral("Dashed"), QStringLiteral("Cross"),
                 QStringLiteral("Mixed"), QStringLiteral("Dotted")},
                172, 232, 112);
    for (const LayerRow &row : LayerRows) {
        addCheckBox(row.on, QLatin1String(row.caption), row.top);
        addSwatch(row.color, row.top);
        addWidthField(row.width, 172, 232, row.top);
    }
}

void PreferencesWindow::buildRightSide()
{
    addCaption(QStringLiteral("Graticule interval"), 308, 24);
    addTextField(S::GridInterval, 396, 20, 45);
    addCaption(QStringLiteral("deg"), 448, 24);
    addRightCheckBox(S::BehindLand, QStringLiteral("Draw graticules only behind land masses"), 48,
                     221);
    addCaption(QStringLiteral("JPEG compression"), 308, 88);
    addTextField(S::JPEGComp, 416, 84, 37);
    addCaption(QStringLiteral("%"), 460, 88);
    addCaption(QStringLiteral("(0..100, 0=high quality, 100=poor quality)"), 328, 108);
    // The two cartographic switches and the GIF colour switch sit in the free space below,
    // before the buttons, so Tab reaches them after JPEGComp and before OK.
    addRightCheckBox(S::LakeFill, QStringLiteral("Fill lakes with the ocean colour"), 144, 256);
    addRightCheckBox(S::CountyScaleAware, QStringLiteral("Draw counties only at a readable scale"),
                     168, 256);
    addRightCheckBox(S::GifExactColours, QStringLiteral("Save GIFs in the chart's own colours"),
                     192, 256);
    addCaption(QStringLiteral("Station models"), 308, 228);
    addSwatch(S::ObservationColor, 224, 392);
    addCaption(QStringLiteral("in"), 440, 228);
    addComboBox(S::ObservationUnits, {QStringLiteral("C"), QStringLiteral("F")}, 456, 224, 41);
    addCaption(QStringLiteral("First guess"), 308, 260);
    addSwatch(S::FirstGuessColor, 256, 392);

    auto *ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                               QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(332, 392, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PreferencesWindow::okClicked);
    auto *cancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                   QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setGeometry(424, 392, 75, 25);
    // Enter on the focused Cancel presses Cancel; elsewhere it presses OK.
    cancel->setAutoDefault(true);
    connect(cancel, &QPushButton::clicked, this, &PreferencesWindow::cancelClicked);
}

void PreferencesWindow::addCaption(const QString &text, int left, int top)
{
    auto *label = new QLabel(text, this);
    label->move(left, top);
    label->adjustSize();
}

void PreferencesWindow::addRule(int top)
{
    auto *rule = new QFrame(this);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(10, top, 277, 2);
}

void PreferencesWindow::addSwatch(Id id, int top, int left)
{
    auto *swatch = new ColorSwatch(this);
    swatch->setObjectName(ChartSettings::name(id));
    swatch->setGeometry(left, top, 41, FieldHeight);
    connect(swatch, &ColorSwatch::pressed, this, [this, id, swatch] { swatchPressed(id, swatch); });
    m_showers.push_back([this, id, swatch] { swatch->setColor(m_settings.color(id)); });
}

void PreferencesWindow::addCheckBox(Id id, const QString &caption, int top)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(ChartSettings::name(id));
    box->setGeometry(20, top, 90, 17);
    connect(box, &QCheckBox::toggled, this, [this, id](bool on) { m_settings.setOn(id, on); });
    m_showers.push_back([this, id, box] {
        const QSignalBlocker blocker(box);
        box->setChecked(m_settings.isOn(id));
    });
}

void PreferencesWindow::addRightCheckBox(Id id, const QString &caption, int top, int width)
{
    addCheckBox(id, caption, top);
    findChild<QCheckBox *>(ChartSettings::name(id))->setGeometry(308, top, width, 17);
}

void PreferencesWindow::addWidthField(Id id, int captionLeft, int left, int top)
{
    addCaption(QStringLiteral("Line width"), captionLeft, top);
    addTextField(id, left, top, 29);
}

// An editable list: a typed value is a value of its own, and the list keeps offering just
// the given items.
void PreferencesWindow::addComboBox(Id id, const QStringList &items, int left, int top, int width)
{
    auto *box = new QComboBox(this);
    box->setObjectName(ChartSettings::name(id));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setGeometry(left, top, width, FieldHeight);
    connect(box, &QComboBox::editTextChanged, this,
            [this, id](const QString &text) { m_settings.setText(id, text); });
    m_showers.push_back([this, id, box] {
        const QSignalBlocker blocker(box);
        box->setEditText(m_settings.text(id));
    });
}

void PreferencesWindow::addTextField(Id id, int left, int top, int width)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(ChartSettings::name(id));
    field->setGeometry(left, top, width, FieldHeight);
    connect(field, &QLineEdit::textChanged, this,
            [this, id](const QString &text) { m_settings.setText(id, text); });
    m_showers.push_back([this, id, field] {
        const QSignalBlocker blocker(field);
        field->setText(m_settings.text(id));
    });
}

// ColdColorMouseDown, WarmColorMouseDown ... CoastColorMouseDown: any mouse button on a
// swatch opens the colour dialog on its colour; a confirmed choice is the preference from
// then on.
void PreferencesWindow::swatchPressed(Id id, ColorSwatch *swatch)
{
    if (const auto chosen = Dialogs::current().chooseColor(this, m_settings.color(id))) {
        m_settings.setColor(id, *chosen);
        swatch->setColor(*chosen);
    }
}

} // namespace brimlark
