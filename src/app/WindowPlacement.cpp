// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace brimlark
{

void WindowPlacement::centreOnScreen(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - window.rect().center());
}

} // namespace brimlark
