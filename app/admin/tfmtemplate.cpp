#include "tfmtemplate.h"

#include "dialogbar.h"
#include "platform.h"
#include "query.h"
#include "screencentre.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

namespace {

// The columns each element edits; empty where it has no such value.
struct ElementColumns
{
    const char* colour;
    const char* font;
    const char* fontColour;
    const char* size;
};

const ElementColumns kColumns[] = {
    {"TRACKCOLOR", nullptr, nullptr, nullptr},
    {"CAPTIONBG", "CAPTIONFONT", "CAPTIONFONTCOLOR", "CAPTIONFONTSIZE"},
    {nullptr, "HEADERFONT", "HEADERFONTCOLOR", "HEADERFONTSIZE"},
    {"BGCOLOR", "TEXTFONT", "TEXTFONTCOLOR", "TEXTFONTSIZE"},
};

QFrame* swatch(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    f->setFixedSize(40, 20);
    f->setEnabled(false);
    return f;
}

QToolButton* smallButton(QWidget* parent, const char* name, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(QStringLiteral("..."));
    b->setToolTip(hint);
    b->setEnabled(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

TfmTemplate::TfmTemplate(db::Query& row, bool nameLocked, QWidget* parent) : QDialog(parent), m_row(row)
{
    setObjectName(QStringLiteral("fmTemplate"));
    setWindowTitle(QStringLiteral("Настройка вида заметки"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_bar = new widgets::DialogBar(this, true);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, [] { platform().showHelp(95); });
    connect(m_bar, &widgets::DialogBar::okClicked, this, &QDialog::accept);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);
    m_bar->defaultButton()->setObjectName(QStringLiteral("btOK"));
    m_bar->defaultButton()->setText(QStringLiteral("OK"));
    m_bar->okButton()->setEnabled(false);

    m_dbeName = new QLineEdit(this);
    m_dbeName->setObjectName(QStringLiteral("dbeName"));
    m_dbeName->setMaxLength(kNameLength);
    m_dbeName->setEnabled(!nameLocked);
    connect(m_dbeName, &QLineEdit::textChanged, this, &TfmTemplate::dbeNameChange);

    m_sample = new TemplateSample(this);
    m_sample->setFixedSize(200, 120);
    connect(m_sample, &TemplateSample::elementClicked, this, [this](int e) {
        m_cbElement->setCurrentIndex(e);
        cbElementChange(e);
    });
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnSample"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(8, 8, 8, 8);
    panelLayout->addWidget(m_sample);

    m_cbElement = new QComboBox(this);
    m_cbElement->setObjectName(QStringLiteral("cbElement"));
    m_cbElement->addItems({QStringLiteral("Трек"), QStringLiteral("Заголовок"),
                           QStringLiteral("Заголовок заметки"), QStringLiteral("Заметка")});
    m_cbElement->setCurrentIndex(-1);
    connect(m_cbElement, &QComboBox::activated, this, &TfmTemplate::cbElementChange);

    m_shElementColor = swatch(this, "shElementColor");
    m_sbElementColor = smallButton(this, "sbElementColor", QStringLiteral("Цвет элемента"));
    m_shStyle = swatch(this, "shStyle");
    m_sbStyle = smallButton(this, "sbStyle", QStringLiteral("Цвет элемента"));
    m_fcbFont = new QComboBox(this);
    m_fcbFont->setObjectName(QStringLiteral("fcbFont"));
    m_fcbFont->addItems(platform().fontFamilies());
    m_fcbFont->setCurrentIndex(-1);
    m_fcbFont->setEnabled(false);
    m_shFontColor = swatch(this, "shFontColor");
    m_sbFontColor = smallButton(this, "sbFontColor", QStringLiteral("Цвет шрифта"));
    m_cbFontSize = new QComboBox(this);
    m_cbFontSize->setObjectName(QStringLiteral("cbFontSize"));
    for (int size = kSmallestSize; size <= kLargestSize; ++size)
        m_cbFontSize->addItem(QString::number(size));
    m_cbFontSize->setCurrentIndex(-1);
    m_cbFontSize->setEnabled(false);
    connect(m_sbElementColor, &QToolButton::clicked, this, &TfmTemplate::sbElementColorClick);
    connect(m_sbStyle, &QToolButton::clicked, this, &TfmTemplate::sbElementColorClick);
    connect(m_sbFontColor, &QToolButton::clicked, this, &TfmTemplate::sbFontColorClick);
    connect(m_fcbFont, &QComboBox::activated, this, &TfmTemplate::fcbFontChange);
    connect(m_cbFontSize, &QComboBox::activated, this, &TfmTemplate::cbFontSizeChange);

    auto* btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setVisible(false);
    connect(btCancel, &QPushButton::clicked, m_bar->cancelButton(), &QToolButton::click);

    auto* name = new QHBoxLayout;
    name->addWidget(label(this, "Label8", QStringLiteral("Наименование вида :")));
    name->addWidget(m_dbeName, 1);
    auto* controls = new QGridLayout;
    controls->addWidget(label(this, "Label4", QStringLiteral("Элемент")), 0, 0);
    controls->addWidget(m_cbElement, 0, 1, 1, 2);
    controls->addWidget(label(this, "Label3", QStringLiteral("Цвет")), 1, 0);
    controls->addWidget(m_shElementColor, 1, 1);
    controls->addWidget(m_sbElementColor, 1, 2);
    controls->addWidget(label(this, "Label9", QStringLiteral("Стиль")), 2, 0);
    controls->addWidget(m_shStyle, 2, 1);
    controls->addWidget(m_sbStyle, 2, 2);
    controls->addWidget(label(this, "Label5", QStringLiteral("Шрифт")), 3, 0);
    controls->addWidget(m_fcbFont, 3, 1, 1, 2);
    controls->addWidget(label(this, "Label7", QStringLiteral("Цвет")), 4, 0);
    controls->addWidget(m_shFontColor, 4, 1);
    controls->addWidget(m_sbFontColor, 4, 2);
    controls->addWidget(label(this, "Label6", QStringLiteral("Размер")), 5, 0);
    controls->addWidget(m_cbFontSize, 5, 1, 1, 2);
    controls->setRowStretch(6, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(panel);
    body->addLayout(controls, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 8);
    layout->addWidget(m_bar);
    layout->addLayout(name);
    layout->addLayout(body);
    setFixedSize(470, 240);

    m_sample->showRow(m_row);
    m_dbeName->setText(m_row.text(QStringLiteral("NAME")));
    dbeNameChange(m_dbeName->text());
    widgets::centreOnScreen(this);
}

int TfmTemplate::element() const
{
    return m_cbElement->currentIndex();
}

void TfmTemplate::dbeNameChange(const QString& text)
{
    if (m_row.text(QStringLiteral("NAME")) != text)
        m_row.setValue(QStringLiteral("NAME"), text);
    m_bar->okButton()->setEnabled(!text.isEmpty());
}

void TfmTemplate::paintSwatch(QFrame* swatch, const QColor& colour)
{
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, colour);
    swatch->setPalette(p);
}

void TfmTemplate::cbElementChange(int chosen)
{
    if (chosen < 0 || chosen > TemplateSample::Note)
        return;
    paintSwatch(m_shElementColor, Qt::white);
    paintSwatch(m_shFontColor, Qt::white);
    const bool colours = chosen != TemplateSample::Heading;
    for (QWidget* w : {static_cast<QWidget*>(m_shElementColor), static_cast<QWidget*>(m_sbElementColor),
                       static_cast<QWidget*>(m_shStyle), static_cast<QWidget*>(m_sbStyle)})
        w->setEnabled(colours);
    const bool fonts = chosen != TemplateSample::Track;
    for (QWidget* w : {static_cast<QWidget*>(m_fcbFont), static_cast<QWidget*>(m_shFontColor),
                       static_cast<QWidget*>(m_sbFontColor), static_cast<QWidget*>(m_cbFontSize)})
        w->setEnabled(fonts);
    const ElementColumns& c = kColumns[chosen];
    const auto e = TemplateSample::Element(chosen);
    if (c.colour) {
        const QColor colour = colourFromStored(m_row.value(QLatin1String(c.colour)));
        paintSwatch(m_shElementColor, colour);
        m_sample->setPartColour(e, colour);
    }
    if (c.fontColour)
        paintSwatch(m_shFontColor, colourFromStored(m_row.value(QLatin1String(c.fontColour))));
    if (c.size) {
        const int size = m_row.value(QLatin1String(c.size)).toInt();
        m_cbFontSize->setCurrentIndex(size >= kSmallestSize && size <= kLargestSize ? size - kSmallestSize
                                                                                    : -1);
    }
    if (c.font)
        m_fcbFont->setCurrentIndex(
            m_fcbFont->findText(m_row.text(QLatin1String(c.font)), Qt::MatchFixedString));
}

void TfmTemplate::sbElementColorClick()
{
    const int chosen = element();
    if (chosen < 0 || !kColumns[chosen].colour)
        return;
    const char* column = kColumns[chosen].colour;
    const auto colour = platform().chooseColor(this, colourFromStored(m_row.value(QLatin1String(column))));
    if (!colour)
        return;
    paintSwatch(m_shElementColor, *colour);
    m_row.setValue(QLatin1String(column), storedFromColour(*colour));
    m_sample->setPartColour(TemplateSample::Element(chosen), *colour);
}

void TfmTemplate::sbFontColorClick()
{
    const int chosen = element();
    if (chosen < 0 || !kColumns[chosen].fontColour)
        return;
    const char* column = kColumns[chosen].fontColour;
    const auto colour = platform().chooseColor(this, colourFromStored(m_row.value(QLatin1String(column))));
    if (!colour)
        return;
    paintSwatch(m_shFontColor, *colour);
    m_row.setValue(QLatin1String(column), storedFromColour(*colour));
    m_sample->setTextColour(TemplateSample::Element(chosen), *colour);
}

void TfmTemplate::fcbFontChange(int index)
{
    const int chosen = element();
    if (chosen < 0 || !kColumns[chosen].font || index < 0)
        return;
    const QString family = m_fcbFont->itemText(index).left(kFontLength);
    m_row.setValue(QLatin1String(kColumns[chosen].font), family);
    m_sample->setTextFont(TemplateSample::Element(chosen), family);
}

void TfmTemplate::cbFontSizeChange(int index)
{
    const int chosen = element();
    if (chosen < 0 || !kColumns[chosen].size || index < 0)
        return;
    const int size = index + kSmallestSize;
    m_row.setValue(QLatin1String(kColumns[chosen].size), size);
    m_sample->setTextSize(TemplateSample::Element(chosen), size);
}

} // namespace tarvik::admin
