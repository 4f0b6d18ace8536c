#pragma once

#include <QIcon>

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
};

} // namespace tarvik::messaging
