#include "tfmtask.h"

#include "dialogbar.h"
#include "picturepainter.h"
#include "platform.h"
#include "query.h"
#include "reminderintervals.h"
#include "roles.h"
#include "textlimit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <initializer_list>

namespace tarvik::planner {

namespace {

// The 16×16 picture of sbPrint.
QIcon printerIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    widgets::PicturePainter::printer(p);
    return QIcon(pixmap);
}

QLabel* boldLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QComboBox* dropDownList(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(false);
    box->addItems(items);
    return box;
}

} // namespace

TfmTask::TfmTask(TaskChoices choices, QWidget* parent) : QDialog(parent), m_choices(std::move(choices))
{
    setObjectName(QStringLiteral("fmTask"));
    setWindowTitle(QStringLiteral("Задача"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_bar = new widgets::DialogBar(this, true);
    m_sbPrint = m_bar->addLeftButton(QStringLiteral("sbPrint"), QStringLiteral("Печать"), printerIcon());
    m_sbPrint->setEnabled(false);
    connect(m_sbPrint, &QToolButton::clicked, this, &TfmTask::sbPrintClick);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, &TfmTask::sbHelpClick);
    connect(m_bar, &widgets::DialogBar::okClicked, this, &TfmTask::sbOKClick);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &TfmTask::sbCancelClick);
    m_bar->okButton()->setEnabled(false);

    // The keyboard-only buttons: the bar's invisible default button answers
    // Enter, and btCancel stands for Escape.
    QPushButton* btOK = m_bar->defaultButton();
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setText(QStringLiteral("OK"));
    auto* btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setVisible(false);
    connect(btCancel, &QPushButton::clicked, m_bar->cancelButton(), &QToolButton::click);
    // Enter accepts through btOK even while sbOK is disabled: an empty
    // header or no template can be accepted from the keyboard.
    disconnect(btOK, &QPushButton::clicked, m_bar, nullptr);
    connect(btOK, &QPushButton::clicked, this, &TfmTask::btOKClick);

    m_edHeader = new QLineEdit(this);
    m_edHeader->setObjectName(QStringLiteral("edHeader"));
    m_edHeader->setMaxLength(kHeaderLength);
    m_cbStyle = dropDownList(this, QStringLiteral("cbStyle"), m_choices.templateNames());
    m_cbStyle->setCurrentIndex(-1);
    m_meTask = new QPlainTextEdit(this);
    m_meTask->setObjectName(QStringLiteral("meTask"));
    auto* taskLength = new QLabel(this);
    taskLength->setObjectName(QStringLiteral("lbTaskLength"));
    taskLength->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    widgets::TextLimit::apply(m_meTask, kDescriptionLength, taskLength);
    m_cbIsFinish = new QCheckBox(QStringLiteral("Задание выполнено"), this);
    m_cbIsFinish->setObjectName(QStringLiteral("cbIsFinish"));
    QFont finishFont = m_cbIsFinish->font();
    finishFont.setBold(true);
    m_cbIsFinish->setFont(finishFont);
    QPalette finishPalette = m_cbIsFinish->palette();
    finishPalette.setColor(QPalette::WindowText, QColor(0, 128, 0));
    finishPalette.setColor(QPalette::ButtonText, QColor(0, 128, 0));
    m_cbIsFinish->setPalette(finishPalette);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("Bevel1"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    m_cbAlarm = dropDownList(this, QStringLiteral("cbAlarm"), reminderIntervalTexts());
    m_cbSound = dropDownList(this, QStringLiteral("cbSound"), m_choices.soundChoices());

    connect(m_edHeader, &QLineEdit::textChanged, this, &TfmTask::edHeaderChange);
    connect(m_cbStyle, &QComboBox::currentIndexChanged, this, &TfmTask::edHeaderChange);

    auto* fields = new QGridLayout;
    fields->addWidget(boldLabel(this, QStringLiteral("Label1"), QStringLiteral("Задача")), 0, 0);
    fields->addWidget(m_edHeader, 0, 1);
    fields->addWidget(boldLabel(this, QStringLiteral("Label2"), QStringLiteral("Шаблон")), 1, 0);
    fields->addWidget(m_cbStyle, 1, 1);
    auto* reminder = new QHBoxLayout;
    reminder->addWidget(boldLabel(this, QStringLiteral("Label4"), QStringLiteral("Оповещение")));
    reminder->addWidget(m_cbAlarm, 1);
    reminder->addWidget(boldLabel(this, QStringLiteral("Label6"), QStringLiteral("Звук")));
    reminder->addWidget(m_cbSound, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 6);
    layout->addWidget(m_bar);
    layout->addLayout(fields);
    auto* description = new QHBoxLayout;
    description->addWidget(boldLabel(this, QStringLiteral("Label3"), QStringLiteral("Описание ")));
    description->addStretch(1);
    description->addWidget(taskLength);
    layout->addLayout(description);
    layout->addWidget(m_meTask, 1);
    layout->addWidget(m_cbIsFinish);
    layout->addWidget(separator);
    layout->addLayout(reminder);
    setFixedSize(352, 363);
}

void TfmTask::fillNew()
{
    // What a new event stores when a choice is left alone: empty texts, no
    // sound, no reminder and the preselected template.
    m_readHeader = m_readComment = QStringLiteral("");
    m_readSound = m_readAlarm = 0;
    m_edHeader->clear();
    m_meTask->clear();
    m_cbIsFinish->setChecked(false);
    m_shownTemplate = m_choices.templatePositionOf(1);
    m_cbStyle->setCurrentIndex(m_shownTemplate);
    m_shownSound = 0;
    m_cbSound->setCurrentIndex(0);
    m_shownAlarm = 0;
    m_cbAlarm->setCurrentIndex(0);
    m_readTemplate = m_choices.templateIdAt(m_shownTemplate);
    edHeaderChange();
}

void TfmTask::fillFromRow(const db::Query& events)
{
    m_readHeader = events.value(QStringLiteral("HEADER"));
    m_readComment = events.value(QStringLiteral("COMMENT"));
    m_readTemplate = events.value(QStringLiteral("TEMPLATE"));
    m_readSound = events.value(QStringLiteral("SOUND"));
    m_readAlarm = events.value(QStringLiteral("ALARM"));

    m_edHeader->setText(m_readHeader.toString());
    m_meTask->setPlainText(m_readComment.toString());
    m_cbIsFinish->setChecked(isFlagSet(events.value(QStringLiteral("ISFINISH"))));
    m_shownTemplate = m_choices.templatePositionOf(m_readTemplate);
    m_cbStyle->setCurrentIndex(m_shownTemplate);
    m_shownSound = m_choices.soundPositionOf(m_readSound);
    m_cbSound->setCurrentIndex(m_shownSound);
    m_shownAlarm = reminderPositionOf(m_readAlarm);
    m_cbAlarm->setCurrentIndex(m_shownAlarm);
    m_bar->okButton()->setEnabled(!m_viewOnly);
}

void TfmTask::setViewOnly(ViewOnlyOk ok)
{
    m_viewOnly = true;
    m_edHeader->setReadOnly(true);
    m_meTask->setReadOnly(true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_cbStyle, m_cbAlarm, m_cbSound, m_cbIsFinish})
        w->setEnabled(false);
    m_bar->okButton()->setEnabled(false);
    if (ok == ViewOnlyOk::Hidden) {
        m_bar->okButton()->setVisible(false);
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
}

void TfmTask::setPrinting(const db::Query* plannerEvents, EventPrinter printEvent)
{
    m_plannerEvents = plannerEvents;
    m_printEvent = std::move(printEvent);
    m_sbPrint->setEnabled(m_plannerEvents && m_printEvent);
}

QString TfmTask::header() const
{
    return m_edHeader->text();
}

QString TfmTask::description() const
{
    return m_meTask->toPlainText();
}

bool TfmTask::finished() const
{
    return m_cbIsFinish->isChecked();
}

QVariant TfmTask::templateId() const
{
    const int position = m_cbStyle->currentIndex();
    if (position == m_shownTemplate && !m_choices.hasTemplate(m_readTemplate))
        return m_readTemplate;
    return m_choices.templateIdAt(position);
}

QVariant TfmTask::soundId() const
{
    const int position = m_cbSound->currentIndex();
    if (position == m_shownSound && (m_readSound.isNull() || !m_choices.hasSound(m_readSound)))
        return m_readSound;
    return m_choices.soundIdAt(position);
}

QVariant TfmTask::alarmMinutes() const
{
    const int position = m_cbAlarm->currentIndex();
    if (position == m_shownAlarm && m_readAlarm.isNull())
        return {};
    return reminderMinutesAt(position);
}

void TfmTask::writeToRow(db::Query& events, Unticked unticked) const
{
    events.setValue(QStringLiteral("HEADER"), textToStore(header(), m_readHeader));
    events.setValue(QStringLiteral("COMMENT"), textToStore(description(), m_readComment));
    events.setValue(QStringLiteral("TEMPLATE"), templateId());
    events.setValue(QStringLiteral("SOUND"), soundId());
    events.setValue(QStringLiteral("ALARM"), alarmMinutes());
    if (finished())
        events.setValue(QStringLiteral("ISFINISH"), QStringLiteral("T"));
    else if (unticked == Unticked::StoreF)
        events.setValue(QStringLiteral("ISFINISH"), QStringLiteral("F"));
}

QVariant TfmTask::textToStore(const QString& text, const QVariant& read)
{
    if (text.isEmpty() && read.isNull())
        return {};
    return text;
}

void TfmTask::sbOKClick()
{
    if (!m_bar->okButton()->isEnabled())
        return;
    m_accepted = true;
    done(QDialog::Accepted);
}

void TfmTask::btOKClick()
{
    m_accepted = true;
    done(QDialog::Accepted);
}

void TfmTask::sbCancelClick()
{
    m_accepted = false;
    done(QDialog::Rejected);
}

void TfmTask::sbHelpClick()
{
    platform().showHelp(kHelpTopic);
}

void TfmTask::sbPrintClick()
{
    if (!m_plannerEvents || !m_printEvent || !m_plannerEvents->isOpen() || m_plannerEvents->isEmpty())
        return;
    try {
        m_printEvent(*m_plannerEvents);
    } catch (const std::exception&) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
    }
}

void TfmTask::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfmTask::edHeaderChange()
{
    if (m_viewOnly)
        return;
    m_bar->okButton()->setEnabled(!m_edHeader->text().isEmpty() && m_cbStyle->currentIndex() >= 0);
}

} // namespace tarvik::planner
