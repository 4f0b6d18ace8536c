#include "reportdocument.h"

#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

namespace tarvik::reports {

namespace {

constexpr quint32 kMagic = 0x54524550; // "TREP"
// Format 2 adds the sheet's orientation; format 1 files are portrait.
constexpr quint16 kFormat = 2;

} // namespace

ReportDocument::Page& ReportDocument::addPage()
{
    m_pages.append(Page{});
    return m_pages.last();
}

void ReportDocument::paintPage(int index, QPainter& painter) const
{
    if (index < 0 || index >= pageCount())
        return;
    // Points to device pixels. Fonts are given in points, which the device
    // already turns into its own pixels, so the painter itself stays unscaled.
    const double sx = painter.device()->logicalDpiX() / 72.0;
    const double sy = painter.device()->logicalDpiY() / 72.0;
    const auto toDevice = [sx, sy](const QRectF& r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidthF(0.5 * sx);
    for (const ReportItem& item : m_pages.at(index)) {
        const QRectF r = toDevice(item.rect);
        switch (item.kind) {
        case ReportItem::Kind::Box:
            if (item.fill.isValid())
                painter.fillRect(r, item.fill);
            if (item.framed) {
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
            }
            break;
        case ReportItem::Kind::Line:
            painter.setPen(pen);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ReportItem::Kind::Text: {
            QFont font(item.family);
            font.setPointSizeF(item.pointSize);
            font.setBold(item.bold);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(r, item.alignment | Qt::TextSingleLine, item.text);
            break;
        }
        }
    }
    painter.restore();
}

QStringList ReportDocument::pageTexts(int index) const
{
    QStringList texts;
    for (const ReportItem& item : m_pages.at(index))
        if (item.kind == ReportItem::Kind::Text && !item.text.isEmpty())
            texts << item.text;
    return texts;
}

int ReportDocument::findText(const QString& text, int from) const
{
    if (text.isEmpty())
        return -1;
    for (int p = std::max(from, 0); p < pageCount(); ++p)
        for (const ReportItem& item : m_pages.at(p))
            if (item.kind == ReportItem::Kind::Text && item.text.contains(text, Qt::CaseInsensitive))
                return p;
    return -1;
}

bool ReportDocument::save(QIODevice& device) const
{
    QDataStream out(&device);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kFormat << m_landscape << qint32(m_pages.size());
    for (const Page& page : m_pages) {
        out << qint32(page.size());
        for (const ReportItem& i : page)
            out << qint32(i.kind) << i.rect << i.text << i.family << i.pointSize << i.bold
                << qint32(i.alignment) << i.framed << i.fill;
    }
    return out.status() == QDataStream::Ok;
}

bool ReportDocument::load(QIODevice& device)
{
    QDataStream in(&device);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint16 format = 0;
    qint32 pages = 0;
    bool landscape = false;
    in >> magic >> format;
    if (format >= 2)
        in >> landscape;
    in >> pages;
    if (in.status() != QDataStream::Ok || magic != kMagic || format < 1 || format > kFormat || pages < 0 ||
        pages > 100000)
        return false;
    QList<Page> loaded;
    for (qint32 p = 0; p < pages; ++p) {
        qint32 items = 0;
        in >> items;
        if (in.status() != QDataStream::Ok || items < 0 || items > 1000000)
            return false;
        Page page;
        for (qint32 n = 0; n < items; ++n) {
            ReportItem i;
            qint32 kind = 0;
            qint32 alignment = 0;
            in >> kind >> i.rect >> i.text >> i.family >> i.pointSize >> i.bold >> alignment >> i.framed >>
                i.fill;
            if (kind < 0 || kind > qint32(ReportItem::Kind::Line))
                return false;
            i.kind = ReportItem::Kind(kind);
            i.alignment = alignment;
            page.append(i);
        }
        loaded.append(page);
    }
    if (in.status() != QDataStream::Ok)
        return false;
    m_pages = loaded;
    m_landscape = landscape;
    return true;
}

} // namespace tarvik::reports
