#include "templatesample.h"

#include "query.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace tarvik::admin {

namespace {

constexpr int kTrackWidth = 6;
constexpr int kTrackEdge = 4;
constexpr int kCaptionHeight = 23;

void paint(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

void writeIn(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

QColor colourFromStored(const QVariant& stored)
{
    const quint32 v = stored.toUInt();
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

int storedFromColour(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

TemplateSample::TemplateSample(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    auto frame = [this](const char* name) {
        auto* f = new QFrame(this);
        f->setObjectName(QLatin1String(name));
        f->setAutoFillBackground(true);
        f->installEventFilter(this);
        return f;
    };
    m_shTrack = frame("shTrack");
    m_shBody = frame("shBody");
    m_shHeader = frame("shHeader");
    auto label = [this](const char* name, const QString& text, bool bold) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        QFont f = l->font();
        f.setBold(bold);
        l->setFont(f);
        l->installEventFilter(this);
        return l;
    };
    m_lbTime = label("lbTime", QStringLiteral("12:00 - 18:00"), true);
    m_lbHeader = label("lbHeader", QStringLiteral("Заголовок заметки"), true);
    m_lbBody = label("lbBody", QStringLiteral("Пример текста."), false);
    m_lbBody->setWordWrap(true);
    m_lbBody->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMinimumSize(160, 110);
}

QFrame* TemplateSample::part(Element element) const
{
    switch (element) {
    case Track:
        return m_shTrack;
    case Caption:
        return m_shHeader;
    case Note:
        return m_shBody;
    default:
        return nullptr;
    }
}

QLabel* TemplateSample::text(Element element) const
{
    switch (element) {
    case Caption:
        return m_lbTime;
    case Heading:
        return m_lbHeader;
    case Note:
        return m_lbBody;
    default:
        return nullptr;
    }
}

void TemplateSample::setPartColour(Element element, const QColor& colour)
{
    if (QFrame* p = part(element))
        paint(p, colour);
}

void TemplateSample::setTextColour(Element element, const QColor& colour)
{
    if (QLabel* l = text(element))
        writeIn(l, colour);
}

void TemplateSample::setTextFont(Element element, const QString& family)
{
    if (QLabel* l = text(element)) {
        QFont f = l->font();
        f.setFamily(family);
        l->setFont(f);
        layOut();
    }
}

void TemplateSample::setTextSize(Element element, int size)
{
    if (QLabel* l = text(element); l && size > 0) {
        QFont f = l->font();
        f.setPointSize(size);
        l->setFont(f);
        layOut();
    }
}

void TemplateSample::showRow(const db::Query& list)
{
    const bool has = list.isOpen() && (list.recNo() >= 0 || list.state() == db::Query::State::Insert);
    auto v = [&](const char* column) { return has ? list.value(QLatin1String(column)) : QVariant(); };
    setPartColour(Track, has ? colourFromStored(v("TRACKCOLOR")) : QColor(Qt::white));
    setPartColour(Caption, has ? colourFromStored(v("CAPTIONBG")) : QColor(Qt::white));
    setPartColour(Note, has ? colourFromStored(v("BGCOLOR")) : QColor(Qt::white));
    const struct
    {
        Element element;
        const char* font;
        const char* colour;
        const char* size;
    } texts[] = {{Caption, "CAPTIONFONT", "CAPTIONFONTCOLOR", "CAPTIONFONTSIZE"},
                 {Heading, "HEADERFONT", "HEADERFONTCOLOR", "HEADERFONTSIZE"},
                 {Note, "TEXTFONT", "TEXTFONTCOLOR", "TEXTFONTSIZE"}};
    for (const auto& t : texts) {
        setTextColour(t.element, colourFromStored(v(t.colour)));
        if (has) {
            setTextFont(t.element, v(t.font).toString());
            setTextSize(t.element, v(t.size).toInt());
        }
    }
}

void TemplateSample::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void TemplateSample::layOut()
{
    const int w = width();
    const int h = height();
    m_shTrack->setGeometry(0, 0, w, h);
    m_shBody->setGeometry(kTrackWidth, kTrackEdge, w - kTrackWidth, h - 2 * kTrackEdge);
    m_shHeader->setGeometry(kTrackWidth, kTrackEdge, w - kTrackWidth, kCaptionHeight);
    m_lbTime->setGeometry(kTrackWidth + 20, kTrackEdge, w - kTrackWidth - 24, kCaptionHeight);
    const int headerTop = kTrackEdge + kCaptionHeight + 2;
    const int headerHeight = m_lbHeader->sizeHint().height();
    m_lbHeader->setGeometry(kTrackWidth + 4, headerTop, w - kTrackWidth - 8, headerHeight);
    const int bodyTop = headerTop + headerHeight + 2;
    m_lbBody->setGeometry(kTrackWidth + 4, bodyTop, w - kTrackWidth - 8, qMax(0, h - kTrackEdge - bodyTop));
    for (QLabel* l : {m_lbTime, m_lbHeader, m_lbBody})
        l->raise();
}

bool TemplateSample::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_shTrack)
            emit elementClicked(Track);
        else if (watched == m_shHeader || watched == m_lbTime)
            emit elementClicked(Caption);
        else if (watched == m_lbHeader)
            emit elementClicked(Heading);
        else if (watched == m_shBody || watched == m_lbBody)
            emit elementClicked(Note);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvik::admin
