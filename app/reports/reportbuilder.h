#pragma once

#include "reportdocument.h"

#include <QDateTime>

namespace tarvik::reports {

// Lays items out on A4 pages: measures and wraps texts, opens new pages
// when the space runs out and gives every page its foot.
class ReportBuilder
{
public:
    static constexpr double kLeft = 42.5;
    static constexpr double kRight = ReportDocument::kPageWidth - 28.35;
    static constexpr double kTop = 36.0;
    // Where the body of a page ends and the foot begins.
    static constexpr double kBodyBottom = ReportDocument::kPageHeight - 48.0;
    static const QString kFont; // "Arial"; the desktop substitutes its nearest

    enum class PageNumbers
    {
        No,
        Yes
    };

    // printed: when the report was made, shown at the foot of every page.
    ReportBuilder(const QDateTime& printed, PageNumbers numbers);

    [[nodiscard]] static double textWidth(const QString& text, double pointSize, bool bold,
                                          const QString& family = kFont);
    [[nodiscard]] static double lineHeight(double pointSize, bool bold, const QString& family = kFont);
    // text broken into lines no wider than width; words longer than a line
    // are broken inside.
    [[nodiscard]] static QStringList wrap(const QString& text, double width, double pointSize, bool bold);

    [[nodiscard]] double y() const { return m_y; }
    void setY(double y) { m_y = y; }
    // Starts a new page unless height still fits below y().
    void ensureRoom(double height);
    void newPage();

    // Items on the current page.
    void text(const QRectF& rect, const QString& text, double pointSize, bool bold, int alignment,
              const QString& family = kFont);
    // A text drawn at x on the current line, returning where it ends.
    double textAt(double x, double y, const QString& text, double pointSize, bool bold);
    void box(const QRectF& rect, bool framed, const QColor& fill = {});
    void rule(double y);
    // Word-wrapped text from y() down, continued on new pages as needed.
    void paragraph(const QString& text, double pointSize);

    // The finished report, every page with its foot.
    [[nodiscard]] ReportDocument finish();

private:
    ReportDocument m_document;
    QDateTime m_printed;
    PageNumbers m_numbers;
    double m_y = kTop;
};

} // namespace tarvik::reports
