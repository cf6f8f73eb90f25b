// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "objective/FirstGuessChoice.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

namespace brimlark
{

/// Asks what the first guess analyses (objectName "FirstGuessDialog"): the field
/// ("FieldBox": pressure, temperature or dew point) and the interval of its isolines
/// ("IntervalBox"), which goes to the field's usual interval when the field changes.
class FirstGuessDialog : public QDialog
{
    Q_OBJECT
public:
    FirstGuessDialog(QWidget *parent, const FirstGuessChoice &initial);

    FirstGuessChoice choice() const;

private:
    void fieldChanged(int index);

    QComboBox *m_field = nullptr;
    QDoubleSpinBox *m_interval = nullptr;
};

} // namespace brimlark
