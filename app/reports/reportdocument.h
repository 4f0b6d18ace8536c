#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QIODevice;
class QPainter;

namespace tarvik::reports {

// One thing drawn on a page. Positions and sizes are in points from the
// top left corner of the sheet; font sizes are in points too.
struct ReportItem
{
    enum class Kind
    {
        Text,
        Box,
        Line
    };
    Kind kind = Kind::Text;
    QRectF rect; // a line runs from its top left to its bottom right
    QString text;
    QString family;
    double pointSize = 10;
    bool bold = false;
    int alignment = 0; // Qt::Alignment flags
    bool framed = false;
    QColor fill; // invalid: not filled
};

// A prepared report: its pages, laid out once and then painted to any
// device (the preview, a printer, a PDF file) at the device's resolution.
// It can be saved and opened again without the data it was made from.
class ReportDocument
{
public:
    using Page = QList<ReportItem>;

    // The sheet: A4, portrait unless set otherwise.
    static constexpr double kPageWidth = 595.276;
    static constexpr double kPageHeight = 841.89;

    [[nodiscard]] bool isLandscape() const { return m_landscape; }
    void setLandscape(bool landscape) { m_landscape = landscape; }
    // The sheet's width and height in points, as it is turned.
    [[nodiscard]] QSizeF pageSize() const
    {
        return m_landscape ? QSizeF(kPageHeight, kPageWidth) : QSizeF(kPageWidth, kPageHeight);
    }

    [[nodiscard]] int pageCount() const { return int(m_pages.size()); }
    [[nodiscard]] const Page& page(int index) const { return m_pages.at(index); }
    Page& addPage();
    Page& lastPage() { return m_pages.last(); }

    // Paints page index (0-based) with the sheet's top left at the painter's
    // origin, scaled to the resolution of the painter's device.
    void paintPage(int index, QPainter& painter) const;

    // The texts of a page in the order they were placed.
    [[nodiscard]] QStringList pageTexts(int index) const;
    // The first page from `from` on (0-based) showing text, case-insensitive;
    // -1 when none does.
    [[nodiscard]] int findText(const QString& text, int from = 0) const;

    // The prepared report as a file; load() is false (and leaves this
    // report as it was) for anything that is not such a file.
    bool save(QIODevice& device) const;
    bool load(QIODevice& device);

private:
    QList<Page> m_pages;
    bool m_landscape = false;
};

} // namespace tarvik::reports
