// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/ErrorBox.h"

#include "app/Dialogs.h"
#include "base/ChartError.h"

#include <new>

namespace brimlark
{

bool ErrorBox::guard(QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const ChartError &error) {
        show(parent, error.message());
    } catch (const std::bad_alloc &) {
        show(parent, QStringLiteral("Out of memory"));
    } catch (const std::exception &error) {
        show(parent, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void ErrorBox::show(QWidget *parent, const QString &message)
{
    Dialogs::current().showError(parent, boxText(message));
}

QString ErrorBox::boxText(const QString &message)
{
    return message.endsWith(u'.') ? message : message + u'.';
}

} // namespace brimlark
