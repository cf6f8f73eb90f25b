// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// What a press on the chart may need to ask the user: the text of a label.
class PressPrompt
{
public:
    virtual ~PressPrompt() = default;

    /// The text to place at the press, asked while the chart shows the snapshot; an empty
    /// text places nothing.
    virtual QString labelText() = 0;
};

} // namespace brimlark
