#pragma once

#include <QIcon>
#include <QImage>

namespace tarvik::widgets {

// The pictures of the main window's page buttons, shown above their
// captions.
class ToolPictures
{
public:
    enum class Tool
    {
        Day,
        Week,
        Month,
        Tasks,
        Mail,
        Chat,
        Exit
    };
    static constexpr int Size = 32;

    [[nodiscard]] static QImage image(Tool tool, int size = Size);
    [[nodiscard]] static QIcon icon(Tool tool);
};

} // namespace tarvik::widgets
