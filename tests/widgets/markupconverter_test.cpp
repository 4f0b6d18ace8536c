#include "markupconverter.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using tarvik::widgets::MarkupConverter;

namespace {

QImage solid(QColor color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

const MarkupConverter& converter()
{
    static const MarkupConverter c({solid(Qt::red), solid(Qt::green)});
    return c;
}

struct Case
{
    const char* name;
    QString markup;
    QString richText;
};

} // namespace

TEST(MarkupConverter, TranslatesEachTagOfTheSubset)
{
    const QList<Case> cases{
        {"plain text", "Иван Петров", "Иван Петров"},
        {"bold", "<b>Иван</b>", "<b>Иван</b>"},
        {"tag names ignore case", "<B>x</B>", "<b>x</b>"},
        {"administrator caption", "<font color=\"clRed\"><b>Админ</b></font>",
         "<span style=\"color:#ff0000\"><b>Админ</b></span>"},
        {"absent user", "<font color=\"clSilver\">Иван</font>", "<span style=\"color:#c0c0c0\">Иван</span>"},
        {"green", "<font color=\"clGreen\">x</font>", "<span style=\"color:#008000\">x</span>"},
        {"hash colour", "<font color=\"#00FF00\">x</font>", "<span style=\"color:#00ff00\">x</span>"},
        {"size face colour", "<font size=\"10\" face=\"Arial\" color=\"#FF0000\">H</font>",
         "<span style=\"font-size:10pt;font-family:'Arial';color:#ff0000\">H</span>"},
        {"unknown colour is dropped", "<font color=\"bogus\" size=\"x\">x</font>",
         "<span style=\"\">x</span>"},
        {"unquoted attribute", "<font color=clNavy>x</font>", "<span style=\"color:#000080\">x</span>"},
        {"line break", "a<br>b", "a<br>b"},
        {"rule", "a<hr>b", "a<hr>b"},
        {"link", "<a href=\"user7\">Пётр</a>", "<a href=\"user7\">Пётр</a>"},
        {"link target escaped", "<a href='a\"b'>x</a>", "<a href=\"a&quot;b\">x</a>"},
        {"unclosed tags close at the end", "<b><font color=\"clRed\">x",
         "<b><span style=\"color:#ff0000\">x</span></b>"},
        {"bad nesting reopens the inner tag", "<b><font color=\"clRed\">x</b>y</font>",
         "<b><span style=\"color:#ff0000\">x</span></b><span style=\"color:#ff0000\">y</span>"},
        {"stray closing tag", "x</b></font>", "x"},
        {"unknown tags dropped, content kept", "<blink>x</blink><p>y", "xy"},
        {"text escaped", "a < b & c > d", "a &lt; b &amp; c &gt; d"},
        {"not a tag", "<1> <", "&lt;1&gt; &lt;"},
        {"entities pass", "&amp;&lt;&#169;&#x41;", "&amp;&lt;&#169;&#x41;"},
        {"two blanks stay two", "a  b", "a &nbsp;b"},
        {"leading blank kept", " <b>Рабочий</b>", "&nbsp;<b>Рабочий</b>"},
        {"line ends are blanks", "a\nb", "a b"},
        {"picture out of range shows nothing", "<IMG src=\"idx:2\">x<img src=\"idx:-1\">", "x"},
        {"only indexed pictures", "<img src=\"file.png\">x", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converter().toRichText(c.markup), c.richText) << c.name;
}

TEST(MarkupConverter, NamedAndHashColours)
{
    const QList<std::pair<QString, QColor>> known{
        {"clRed", Qt::red},
        {"clSilver", QColor(192, 192, 192)},
        {"clGreen", QColor(0, 128, 0)},
        {"CLBLACK", Qt::black},
        {"clBlue", Qt::blue},
        {"clNavy", QColor(0, 0, 128)},
        {"clMaroon", QColor(128, 0, 0)},
        {"clGray", QColor(128, 128, 128)},
        {"clWhite", Qt::white},
        {"#FF0000", Qt::red},
        {"#00ff80", QColor(0, 255, 128)},
        {" #0000FF ", Qt::blue},
    };
    for (const auto& [name, color] : known)
        EXPECT_EQ(MarkupConverter::colorOf(name), color) << name.toStdString();
    for (const char* bad : {"", "red", "#FF00", "#GG0000", "clReddish", "FF0000"})
        EXPECT_FALSE(MarkupConverter::colorOf(bad).has_value()) << bad;
}

TEST(MarkupConverter, PicturesAreEmbeddedByIndex)
{
    for (const auto& [index, color] : {std::pair{0, QColor(Qt::red)}, std::pair{1, QColor(Qt::green)}}) {
        QTextDocument document;
        document.setHtml(converter().toRichText(QStringLiteral("<IMG src=\"idx:%1\">").arg(index)));
        QImage out(20, 20, QImage::Format_ARGB32);
        out.fill(Qt::white);
        QPainter painter(&out);
        document.drawContents(&painter);
        painter.end();
        EXPECT_EQ(out.pixelColor(8, 8), color) << "picture " << index;
    }
}

// A planner item's body, as the planner writes it, keeps its pieces apart.
TEST(MarkupConverter, PlannerItemBodyRendersItsLinksFontsAndRule)
{
    const QString body = QStringLiteral(
        "<a href=\"if3\"><IMG src=\"idx:1\"></a><IMG src=\"idx:0\"> <b><font size=\"10\" face=\"Arial\" "
        "color=\"#FF0000\">Заголовок</font></b><br><font size=\"8\" face=\"Arial\" color=\"#000000\">Описание"
        "<hr><a href=\"user2\">Иван</a><br>07.12.02 14:30</font>");
    QTextDocument document;
    document.setHtml(converter().toRichText(body));
    EXPECT_EQ(converter().toPlainText(body), " Заголовок\nОписание\n\nИван\n07.12.02 14:30");

    QStringList anchors;
    QTextCharFormat header;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.charFormat().isAnchor() && !anchors.contains(f.charFormat().anchorHref()))
                anchors << f.charFormat().anchorHref();
            if (f.text().contains(QStringLiteral("Заголовок")))
                header = f.charFormat();
        }
    EXPECT_EQ(anchors, (QStringList{"if3", "user2"}));
    EXPECT_EQ(header.foreground().color(), QColor(Qt::red));
    EXPECT_EQ(header.fontPointSize(), 10);
    EXPECT_TRUE(header.font().bold());
}

TEST(MarkupConverter, PlainTextIsWhatTheReaderSees)
{
    EXPECT_EQ(converter().toPlainText("<font color=\"clRed\"><b>Админ</b></font>"), "Админ");
    EXPECT_EQ(converter().toPlainText("<IMG src=\"idx:1\">  <b>Босс</b>"), "  Босс");
    EXPECT_EQ(converter().toPlainText("a &amp; b<br>c"), "a & b\nc");
}

TEST(MarkupConverter, StandardConverterKnowsTheProgramsPictures)
{
    EXPECT_TRUE(MarkupConverter::standard()
                    .toRichText("<IMG src=\"idx:8\">")
                    .startsWith("<img src=\"data:image/png"));
}
