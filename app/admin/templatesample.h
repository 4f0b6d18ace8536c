#pragma once

#include <QColor>
#include <QWidget>

class QFrame;
class QLabel;

namespace tarvik::db {
class Query;
}

namespace tarvik::admin {

// Stored colours keep red in the low byte, then green, then blue.
[[nodiscard]] QColor colourFromStored(const QVariant& stored);
[[nodiscard]] int storedFromColour(const QColor& colour);

// What a planner item drawn with one template looks like: the track along
// the left and round the body, the body, the caption bar with the time and
// under it the heading and the text. Clicking a part reports its element.
class TemplateSample : public QWidget
{
    Q_OBJECT
public:
    // The elements of a template, in the editor's order.
    enum Element
    {
        Track = 0,
        Caption = 1,
        Heading = 2,
        Note = 3
    };

    explicit TemplateSample(QWidget* parent = nullptr);

    // Paints the whole sample from the list's current row (the edited
    // values while the row is being changed); plain when there is none.
    void showRow(const db::Query& list);
    void setPartColour(Element element, const QColor& colour);
    void setTextColour(Element element, const QColor& colour);
    void setTextFont(Element element, const QString& family);
    void setTextSize(Element element, int size);

    [[nodiscard]] QFrame* part(Element element) const;
    [[nodiscard]] QLabel* text(Element element) const;

signals:
    void elementClicked(int element);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QFrame* m_shTrack;
    QFrame* m_shBody;
    QFrame* m_shHeader;
    QLabel* m_lbTime;
    QLabel* m_lbHeader;
    QLabel* m_lbBody;
};

} // namespace tarvik::admin
