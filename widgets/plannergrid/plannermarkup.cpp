#include "plannermarkup.h"

#include <QRegularExpression>

namespace tarvik::widgets {

namespace {

QString namedColour(const QString& name)
{
    if (name.compare(QLatin1String("clRed"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("#FF0000");
    if (name.compare(QLatin1String("clSilver"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("#C0C0C0");
    if (name.compare(QLatin1String("clGreen"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("#008000");
    return name;
}

// One <font ...> opening tag with its size turned into points.
QString convertFontTag(const QString& attributes)
{
    static const QRegularExpression attr(QStringLiteral(R"re((\w+)\s*=\s*"([^"]*)")re"));
    QString style;
    QString rest;
    for (auto it = attr.globalMatch(attributes); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(1).toLower();
        if (name == QLatin1String("size"))
            style += QStringLiteral("font-size:%1pt;").arg(m.captured(2).toInt());
        else if (name == QLatin1String("color"))
            rest += QStringLiteral(" color=\"%1\"").arg(namedColour(m.captured(2)));
        else
            rest += QStringLiteral(" %1=\"%2\"").arg(name, m.captured(2));
    }
    if (!style.isEmpty())
        rest += QStringLiteral(" style=\"%1\"").arg(style);
    return QStringLiteral("<font") + rest + QLatin1Char('>');
}

} // namespace

QString plannerMarkupToHtml(const QString& markup)
{
    static const QRegularExpression fontTag(QStringLiteral("<font\\b([^>]*)>"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString html;
    html.reserve(markup.size() + 64);
    qsizetype from = 0;
    for (auto it = fontTag.globalMatch(markup); it.hasNext();) {
        const auto m = it.next();
        html += markup.mid(from, m.capturedStart() - from);
        html += convertFontTag(m.captured(1));
        from = m.capturedEnd();
    }
    html += markup.mid(from);
    return html;
}

} // namespace tarvik::widgets
