// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

class QWidget;

namespace brimlark
{

/// Where the secondary windows appear.
class WindowPlacement
{
public:
    /// Moves a window to the middle of the primary screen.
    static void centreOnScreen(QWidget &window);
};

} // namespace brimlark
