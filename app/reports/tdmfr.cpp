#include "tdmfr.h"

#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "reportlayouts.h"
#include "reportprinter.h"
#include "tfmpreview.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QTextEdit>

#include <stdexcept>

namespace tarvik::reports {

TdmFr::TdmFr(QWidget* parent) : m_parent(parent) {}

bool TdmFr::hasRows(const db::Query& q)
{
    return q.isOpen() && !q.isEmpty();
}

void TdmFr::printLetter(const db::Query& letters)
{
    if (!hasRows(letters))
        return;
    printReport(m_parent, [&] { return letterReport(LetterFields::fromCurrent(letters), platform().now()); });
}

void TdmFr::previewLetter(const LetterFields& letter)
{
    try {
        TfmPreview preview(letterReport(letter, platform().now()), m_parent);
        preview.exec();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    } catch (const std::exception& e) {
        platform().error(QString::fromLocal8Bit(e.what()));
    }
}

void TdmFr::printTodoEvents(const db::Query& events, const QString& caption)
{
    if (!hasRows(events))
        return;
    printReport(m_parent, [&] {
        return taskListReport(QStringLiteral("Задания на ") + caption, EventFields::allRows(events),
                              PercentSign::Shown, platform().now());
    });
}

void TdmFr::printEvent(const db::Query& events)
{
    if (!hasRows(events))
        return;
    printReport(m_parent,
                [&] { return eventReport(EventFields::fromRow(events, events.recNo()), platform().now()); });
}

void TdmFr::printSearch(const db::Query& found)
{
    if (!hasRows(found))
        return;
    printReport(m_parent, [&] {
        return taskListReport(QStringLiteral("Задачи"), EventFields::allRows(found), PercentSign::Hidden,
                              platform().now());
    });
}

void TdmFr::printWidget(QWidget& view)
{
    try {
        const std::unique_ptr<QPrinter> printer = platform().choosePrinter(m_parent);
        if (!printer)
            return;
        // No header, no footer, no margins.
        printer->setFullPage(true);
        printer->setPageOrientation(QPageLayout::Portrait);
        QPainter painter;
        if (!painter.begin(printer.get()))
            throw std::runtime_error("the printer did not start");
        // The view as the screen shows it, scaled to the sheet's width (or
        // its height, for a view taller than the sheet's proportions).
        const QPixmap shown = view.grab();
        const QRect page = printer->pageLayout().fullRectPixels(printer->resolution());
        QSize target = shown.size();
        target.scale(page.size(), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(page.topLeft(), target), shown);
        painter.end();
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
    }
}

void TdmFr::printText(QTextEdit& view)
{
    try {
        const std::unique_ptr<QPrinter> printer = platform().choosePrinter(m_parent);
        if (!printer)
            return;
        view.print(printer.get());
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
    }
}

} // namespace tarvik::reports
