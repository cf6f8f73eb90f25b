// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/FirstGuessDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace brimlark
{

FirstGuessDialog::FirstGuessDialog(QWidget *parent, const FirstGuessChoice &initial)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FirstGuessDialog"));
    setWindowTitle(QStringLiteral("First guess"));
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("FieldBox"));
    for (const QuantityNames &names : QuantityNames::all())
        m_field->addItem(QLatin1StringView(names.caption));
    m_field->setCurrentIndex(int(initial.quantity));
    m_interval = new QDoubleSpinBox(this);
    m_interval->setObjectName(QStringLiteral("IntervalBox"));
    m_interval->setRange(FirstGuessChoice::SmallestInterval, FirstGuessChoice::LargestInterval);
    m_interval->setDecimals(1);
    m_interval->setSingleStep(1);
    m_interval->setValue(initial.interval);
    connect(m_field, &QComboBox::currentIndexChanged, this, &FirstGuessDialog::fieldChanged);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Analyse:"), m_field);
    form->addRow(QStringLiteral("Isolines every:"), m_interval);
    form->addRow(buttons);
}

FirstGuessChoice FirstGuessDialog::choice() const
{
    return {ContourValue::Quantity(m_field->currentIndex()), m_interval->value()};
}

void FirstGuessDialog::fieldChanged(int index)
{
    m_interval->setValue(FirstGuessChoice::defaultInterval(ContourValue::Quantity(index)));
}

} // namespace brimlark
