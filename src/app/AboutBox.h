// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QDialog>

namespace brimlark
{

/// The About box (TAboutForm, objectName "AboutForm"): the product name, a notice and an OK
/// button.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

public slots:
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace brimlark
