#pragma once

#include "reportdocument.h"

#include <QDateTime>

class QTextEdit;
class QWidget;

namespace tarvik::db {
class Query;
}

namespace tarvik::reports {

struct LetterFields;

// The report module: made for one print command and dropped when it ends.
// It lays the program's four reports over their data links (the letter
// list, the planner's events, the search result) and prints them.
class TdmFr
{
public:
    explicit TdmFr(QWidget* parent);

    // "Печать" of the mail page: the letter list's current letter.
    void printLetter(const db::Query& letters);
    // The letter dialog's "Печать": the letter in the preview; failures
    // are the general error display's (the preview shows what failed).
    void previewLetter(const LetterFields& letter);
    // "Печать" of the task list: all its rows, headed "Задания на " and the
    // caption bar's text.
    void printTodoEvents(const db::Query& events, const QString& caption);
    // The task dialog's "Печать": the current row of the events query the
    // dialog was filled from.
    void printEvent(const db::Query& events);
    // "Печать списка" of the search window.
    void printSearch(const db::Query& found);

    // The planner and chat pages print their own views after the platform's
    // print dialog.
    void printWidget(QWidget& view);
    void printText(QTextEdit& view);

    [[nodiscard]] static bool hasRows(const db::Query& q);

private:
    QWidget* m_parent;
};

} // namespace tarvik::reports
