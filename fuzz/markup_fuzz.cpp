// The caption markup converter on any text a user may type into a name, a
// caption or a notice: it converts without crash or hang, and the rich text
// it writes keeps its inline tags balanced (so one caption cannot spoil the
// look of the next in a shared document).

#include "fuzzcheck.h"
#include "markupconverter.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>

using tarvik::widgets::MarkupConverter;

namespace {

// The tags toRichText opens and closes, each closed in reverse order of
// opening. Text, attribute values and entities never hold a raw "<" or ">".
bool balanced(const QString& rich)
{
    static const QStringList inlineTags{QStringLiteral("b"), QStringLiteral("i"), QStringLiteral("u"),
                                        QStringLiteral("span"), QStringLiteral("a")};
    QStringList open;
    qsizetype pos = 0;
    while ((pos = rich.indexOf(QLatin1Char('<'), pos)) >= 0) {
        const qsizetype end = rich.indexOf(QLatin1Char('>'), pos);
        if (end < 0)
            return false;
        const QString tag = rich.mid(pos + 1, end - pos - 1);
        const bool closing = tag.startsWith(QLatin1Char('/'));
        const QString name = tag.mid(closing ? 1 : 0).section(QLatin1Char(' '), 0, 0);
        if (closing) {
            if (open.isEmpty() || open.takeLast() != name)
                return false;
        } else if (inlineTags.contains(name)) {
            open << name;
        }
        pos = end + 1;
    }
    return open.isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The plain text goes through Qt's text document, which needs the GUI
    // application; the fuzzer's own arguments are not Qt's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "markup_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Two pictures embedded as data, and the resource form the planner uses.
    static const MarkupConverter embedded(
        {QImage(2, 2, QImage::Format_ARGB32), QImage(3, 1, QImage::Format_RGB32)});
    static const MarkupConverter resources = MarkupConverter::withImageResources(2);

    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString rich = embedded.toRichText(markup);
    fuzzCheck(balanced(rich), "the rich text closes every inline tag it opens, innermost first");
    fuzzCheck(balanced(resources.toRichText(markup)), "the same with picture resources");
    const QString plain = embedded.toPlainText(markup);
    fuzzCheck(!markup.contains(QLatin1Char('<')) && !markup.contains(QLatin1Char('&'))
                  ? plain.size() <= markup.size()
                  : true,
              "text without tags or entities reads as at most its own characters");
    (void)MarkupConverter::colorOf(markup);
    return 0;
}
