#include "textlimit.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace tarvik::widgets {

TextLimit* TextLimit::apply(QPlainTextEdit* box, int maxLength, QLabel* counter)
{
    return new TextLimit(box, maxLength, counter);
}

TextLimit::TextLimit(QPlainTextEdit* box, int maxLength, QLabel* counter)
    : QObject(box), m_box(box), m_maxLength(qMax(0, maxLength)), m_counter(counter)
{
    connect(box, &QPlainTextEdit::textChanged, this, &TextLimit::enforce);
    enforce();
}

QString TextLimit::counterText(int length, int maxLength)
{
    return QStringLiteral("%1 / %2").arg(length).arg(maxLength);
}

void TextLimit::enforce()
{
    if (m_cutting)
        return;
    QTextDocument* document = m_box->document();
    // characterCount() includes the paragraph separator the document always ends with.
    const int length = document->characterCount() - 1;
    if (length > m_maxLength) {
        m_cutting = true;
        const int excess = length - m_maxLength;
        QTextCursor cursor = m_box->textCursor();
        // What was just typed or pasted ends at the cursor; text set as a
        // whole leaves the cursor at the start and loses its tail instead.
        const int end = cursor.position() >= excess ? cursor.position() : length;
        QTextCursor cut(document);
        cut.setPosition(end - excess);
        cut.setPosition(end, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        m_cutting = false;
    }
    if (m_counter)
        m_counter->setText(counterText(qMin(length, m_maxLength), m_maxLength));
}

} // namespace tarvik::widgets
