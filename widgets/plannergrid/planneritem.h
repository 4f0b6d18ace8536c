#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QVariant>

namespace tarvik::widgets {

// What an item's caption bar shows.
enum class PlannerCaptionType
{
    None,
    Time,
    Text,
    TimeText
};

// One box on the planner grid. Plain data: the grid lays it out and draws
// it, an item source fills it from a row. Items of a source carry the row's
// key; items without one (`bound` false) live only in the grid.
struct PlannerItem
{
    QVariant key;
    bool bound = false;
    QDateTime start;
    QDateTime end;
    int position = 0;

    // Body: rich caption markup, converted for display in one place
    // (plannermarkup.h).
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    PlannerCaptionType captionType = PlannerCaptionType::TimeText;
    QString captionText;
    QColor captionBackground{177, 185, 207};
    QFont captionFont;
    QColor captionFontColor = Qt::black;
    QColor color = Qt::white;
    QColor trackColor{177, 185, 207};
    // A non-uniform background fades from the item colour to white.
    bool uniformBackground = true;
    QColor selectColor;
    QColor selectFontColor = Qt::red;
    bool overlap = true;
    // The body text is never edited in place.
    bool readOnly = false;

    // Fixing flags: a fixed item keeps its time, its column or its length.
    bool fixedTime = false;
    bool fixedPosition = false;
    bool fixedSize = false;

    bool selected = false;

    [[nodiscard]] bool isMovable() const { return !fixedTime || !fixedPosition; }
};

// Where an item was and where it went, reported at the end of a drag or
// resize.
struct PlannerMove
{
    QDateTime oldStart;
    QDateTime oldEnd;
    int oldPosition = 0;
    QDateTime newStart;
    QDateTime newEnd;
    int newPosition = 0;
};

} // namespace tarvik::widgets
