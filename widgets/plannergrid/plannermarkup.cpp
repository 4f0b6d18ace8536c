#include "plannermarkup.h"

#include "markupconverter.h"
#include "pictures.h"

#include <QTextDocumentFragment>

namespace tarvik::widgets {

QString plannerMarkupToHtml(const QString& markup)
{
    return plannerMarkupToHtml(markup, Pictures::ImageCount);
}

QString plannerMarkupToHtml(const QString& markup, int imageCount)
{
    return MarkupConverter::withImageResources(imageCount).toRichText(markup);
}

QStringList plannerMarkupLines(const QString& markup)
{
    QString plain = QTextDocumentFragment::fromHtml(plannerMarkupToHtml(markup)).toPlainText();
    plain.remove(QChar::ObjectReplacementCharacter);
    plain.replace(QChar::Nbsp, QLatin1Char(' '));
    QStringList lines;
    for (const QString& line : plain.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines << simple;
    }
    return lines;
}

} // namespace tarvik::widgets
