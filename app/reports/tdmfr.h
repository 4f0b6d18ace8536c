#pragma once

#include "pdfexport.h"
#include "plannerpages.h"
#include "reportdocument.h"

#include <QDateTime>

#include <functional>
#include <optional>

class QTextEdit;
class QWidget;

namespace tarvik::db {
class Query;
}
namespace tarvik::planner {
class PlannerPage;
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

    // "Печать по страницам…" of the planner: the grid shown, laid out over
    // sheets as the user chooses, in the preview.
    void printPlannerPages(const planner::PlannerPage& page);
    // "Сохранить в PDF" of the planner: the same sheets into a PDF file.
    void savePlannerPdf(const planner::PlannerPage& page);
    // "Сохранить в PDF" of the task list: the task list report (as its
    // "Печать" makes it) into a PDF file.
    void saveTodoPdf(const db::Query& events, const QString& caption);

    // Asks how the grid goes onto sheets (the dialog, remembering the
    // choice, unless a test answers); nothing when cancelled.
    using SetupChooser = std::function<std::optional<PlannerPageSetup>(int columns, int bands,
                                                                       widgets::PlannerRowMap::Unit unit)>;
    void setSetupChooser(SetupChooser chooser) { m_chooseSetup = std::move(chooser); }

    [[nodiscard]] static bool hasRows(const db::Query& q);

private:
    [[nodiscard]] std::optional<PlannerPageSetup> chooseSetup(const planner::PlannerPage& page);
    // Lays a report out on a thread of its own, from what was copied before.
    using Layout = std::function<ReportDocument(const PageProgress& progress)>;
    // Asks for a file, then copies the rows (snapshot, on this thread) and
    // lays out and writes the report on a thread of its own; failures are
    // shown.
    void savePdf(const std::function<Layout()>& snapshot);

    QWidget* m_parent;
    SetupChooser m_chooseSetup;
};

} // namespace tarvik::reports
