#pragma once

#include <QIcon>

class QToolButton;
class QWidget;

namespace tarvik::messaging {

// The small pictures of the mail and chat tool buttons, drawn in code like
// the program's other pictures.
class MessagingPictures
{
public:
    enum class Tool
    {
        NewLetter,
        Open,
        Delete,
        Reply,
        Print,
        Find,
        Clear,
        Palette
    };
    [[nodiscard]] static QIcon icon(Tool tool);
    // A flat tool button with the picture, its hint as the tooltip.
    static QToolButton* toolButton(QWidget* parent, const QString& name, const QString& hint, Tool tool);
};

} // namespace tarvik::messaging
