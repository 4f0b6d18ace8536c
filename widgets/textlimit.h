#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class QPlainTextEdit;

namespace tarvik::widgets {

// Holds a multi-line text box to the length of the column it is stored in.
// Whatever is typed or pasted beyond the limit is cut off where it was put
// in (the text already there is kept), so that a store never fails on a
// too-long text; an optional label counts the characters used ("12 / 4000").
class TextLimit : public QObject
{
    Q_OBJECT
public:
    // The limit lives as long as the box; a counter, when given, is filled
    // at once.
    static TextLimit* apply(QPlainTextEdit* box, int maxLength, QLabel* counter = nullptr);

    [[nodiscard]] int maxLength() const { return m_maxLength; }
    [[nodiscard]] static QString counterText(int length, int maxLength);

private:
    TextLimit(QPlainTextEdit* box, int maxLength, QLabel* counter);
    void enforce();

    QPlainTextEdit* m_box;
    int m_maxLength;
    QPointer<QLabel> m_counter;
    bool m_cutting = false;
};

} // namespace tarvik::widgets
