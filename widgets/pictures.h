#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

namespace tarvik::widgets {

// The program's own pictures, drawn in code so that they scale with the
// rest of the look and need no files beside the program.
class Pictures
{
public:
    // Positions in the image list; the markup names them as "idx:N".
    enum Index
    {
        Letter = 0,
        Person = 1,   // a boss in the trees
        TaskDone = 2, // the task sheet with a red tick
        Task = 3,     // the task sheet without the tick
        Bell = 4,     // an event with a reminder
        WorkPlace = 5,
        Boss = 6,
        Group = 7,   // a group of people
        BellOff = 8, // the bell crossed out: an event without a reminder
        ImageCount
    };
    static constexpr int ImageSize = 16;

    // The 16×16 pictures of the image list, by Index.
    [[nodiscard]] static const QList<QImage>& imageList();

    // Mail states: a closed envelope (new), an open one (read), an open one
    // with an arrow (answered).
    enum MailState
    {
        MailNew = 0,
        MailRead = 1,
        MailAnswered = 2
    };
    [[nodiscard]] static QImage mailState(MailState state);
    // The rights grid: an eye for viewing, a pencil for editing.
    [[nodiscard]] static QImage eye();
    [[nodiscard]] static QImage pencil();

    // The picture of the splash window and the About box.
    [[nodiscard]] static QImage banner();
    // The animated strip under the banner: frame 0 empty, the last one full.
    static constexpr int SplashFrameCount = 182;
    static constexpr int SplashFrameWidth = 255;
    static constexpr int SplashFrameHeight = 12;
    [[nodiscard]] static QImage splashFrame(int frame);

    [[nodiscard]] static QIcon programIcon();
    [[nodiscard]] static QImage programImage(int size);
    // Ruduvo's: the program's calendar page with a person crossed out, the
    // presence mark it clears.
    [[nodiscard]] static QIcon utilityIcon();
    [[nodiscard]] static QImage utilityImage(int size);
};

} // namespace tarvik::widgets
