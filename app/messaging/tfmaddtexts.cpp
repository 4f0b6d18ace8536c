#include "tfmaddtexts.h"

#include "dberror.h"
#include "dialogbar.h"
#include "elidedlabel.h"
#include "markupcombobox.h"
#include "messagingpictures.h"
#include "platform.h"
#include "presencemarks.h"
#include "query.h"
#include "roles.h"
#include "textlimit.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::messaging {

namespace {

QLabel* boldLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString title(TfmAddTexts::Mode mode)
{
    switch (mode) {
    case TfmAddTexts::Mode::New:
        return QStringLiteral("Новое сообщение");
    case TfmAddTexts::Mode::Open:
        return QStringLiteral("Правка");
    case TfmAddTexts::Mode::Answer:
        return QStringLiteral("Ответ на сообщение");
    }
    return {};
}

} // namespace

TfmAddTexts::TfmAddTexts(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("fmAddTexts"));
    setWindowTitle(title(mode));
    // No close box: the dialog is left through its bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(460, 360);

    m_bar = new widgets::DialogBar(this, true);
    m_sbPrint = m_bar->addLeftButton(QStringLiteral("sbPrint"), QStringLiteral("Печать"),
                                     MessagingPictures::icon(MessagingPictures::Tool::Print));
    connect(m_sbPrint, &QToolButton::clicked, this, &TfmAddTexts::sbPrintClick);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, &TfmAddTexts::sbHelpClick);
    connect(m_bar, &widgets::DialogBar::okClicked, this, &TfmAddTexts::sbOKClick);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &TfmAddTexts::sbCancelClick);
    m_bar->okButton()->setEnabled(mode == Mode::Answer);

    m_cbUsers = new widgets::MarkupComboBox(this);
    m_cbUsers->setObjectName(QStringLiteral("cbUsers"));
    connect(m_cbUsers, &QComboBox::currentIndexChanged, this, &TfmAddTexts::cbUsersChange);
    m_lbUserName = new widgets::ElidedLabel(this);
    m_lbUserName->setObjectName(QStringLiteral("lbUserName"));
    m_edSubj = new QLineEdit(this);
    m_edSubj->setObjectName(QStringLiteral("edSubj"));
    m_edSubj->setMaxLength(kSubjectLength);
    m_meBody = new QPlainTextEdit(this);
    m_meBody->setObjectName(QStringLiteral("meBody"));
    m_meBody->installEventFilter(this);
    widgets::TextLimit::apply(m_meBody, kBodyLength);

    const bool fixed = mode != Mode::New;
    m_cbUsers->setVisible(!fixed);
    m_lbUserName->setVisible(fixed);
    m_edSubj->setReadOnly(mode == Mode::Open);
    m_meBody->setReadOnly(mode == Mode::Open);

    auto* fields = new QGridLayout;
    fields->addWidget(boldLabel(this, QStringLiteral("Кому:")), 0, 0);
    fields->addWidget(m_cbUsers, 0, 1);
    fields->addWidget(m_lbUserName, 0, 1);
    fields->addWidget(boldLabel(this, QStringLiteral("Тема")), 1, 0);
    fields->addWidget(m_edSubj, 1, 1);
    fields->addWidget(boldLabel(this, QStringLiteral("Сообщение")), 2, 0, 1, 2);
    fields->addWidget(m_meBody, 3, 0, 1, 2);
    fields->setRowStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_bar);
    layout->addLayout(fields, 1);
}

void TfmAddTexts::fillRecipients(db::Query& users, int presetUserId)
{
    m_cbUsers->clear();
    const int current = users.recNo();
    // Marks left by dead workstations show as absent; without their states
    // the marks show as they are.
    db::PresenceMarks marks;
    try {
        marks = db::PresenceMarks::read(users.connection());
    } catch (const db::DbError&) {
    }
    int preset = -1;
    for (int row = 0; row < users.recordCount(); ++row) {
        users.setRecNo(row);
        const int id = users.integer(QStringLiteral("ID"));
        m_cbUsers->addMarkupItem(userCaption(users, CaptionForm::Presence, marks), id);
        if (id == presetUserId && presetUserId != 0)
            preset = row;
    }
    if (current >= 0 && current < users.recordCount())
        users.setRecNo(current);
    m_cbUsers->selectPosition(preset);
}

void TfmAddTexts::setRecipient(int userId, const QString& name)
{
    m_fixedRecipient = userId;
    m_lbUserName->setText(name);
}

void TfmAddTexts::setLetter(const QString& subject, const QString& body)
{
    m_edSubj->setText(subject);
    m_meBody->setPlainText(body);
}

int TfmAddTexts::recipientId() const
{
    if (m_mode != Mode::New)
        return m_fixedRecipient;
    const int position = m_cbUsers->selectedPosition();
    return position >= 0 ? m_cbUsers->itemData(position).toInt() : 0;
}

QString TfmAddTexts::subject() const
{
    return m_edSubj->text();
}

QString TfmAddTexts::body() const
{
    return m_meBody->toPlainText();
}

void TfmAddTexts::cbUsersChange(int position)
{
    if (m_mode == Mode::New)
        m_bar->okButton()->setEnabled(position >= 0);
}

bool TfmAddTexts::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the text starts a new line rather than confirming.
    if (watched == m_meBody && event->type() == QEvent::ShortcutOverride && !m_meBody->isReadOnly()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmAddTexts::sbOKClick()
{
    if (!m_bar->okButton()->isEnabled())
        return;
    m_confirmed = true;
    done(QDialog::Accepted);
}

void TfmAddTexts::sbCancelClick()
{
    m_confirmed = false;
    done(QDialog::Rejected);
}

void TfmAddTexts::sbHelpClick()
{
    platform().showHelp(kHelpTopic);
}

void TfmAddTexts::sbPrintClick()
{
    emit printRequested();
}

} // namespace tarvik::messaging
