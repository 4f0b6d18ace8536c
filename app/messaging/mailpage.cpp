#include "mailpage.h"

#include "connection.h"
#include "dberror.h"
#include "lettersheader.h"
#include "lettersmodel.h"
#include "messagingpictures.h"
#include "platform.h"
#include "query.h"
#include "tfmaddtexts.h"
#include "tfmnew.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::messaging {

namespace {

const QString kId = QStringLiteral("ID");
const QString kFindPrompt = QStringLiteral("Поиск на странице");

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Rolls back what a failed command left in the shared transaction, so that
// no half of it is committed later.
void undoPending(db::Connection& connection)
{
    try {
        connection.rollbackRetaining();
    } catch (const db::DbError&) {
    }
}

} // namespace

MailPage::MailPage(db::Connection& connection, db::Query& users, QWidget* parent)
    : QWidget(parent), m_connection(connection), m_users(users),
      m_letters(std::make_unique<db::Query>(connection)),
      m_runDialog([](TfmAddTexts& dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("pnTexts"));
    m_model = new LettersModel(*m_letters, this);

    auto* bar = new QHBoxLayout;
    m_sbAddMessage =
        MessagingPictures::toolButton(this, QStringLiteral("sbAddMessage"), QStringLiteral("Новое сообщение"),
                                      MessagingPictures::Tool::NewLetter);
    m_sbEditMessage = MessagingPictures::toolButton(this, QStringLiteral("sbEditMessage"),
                                                    QStringLiteral("Открыть"), MessagingPictures::Tool::Open);
    m_sbDelMessage = MessagingPictures::toolButton(
        this, QStringLiteral("sbDelMessage"), QStringLiteral("Удалить"), MessagingPictures::Tool::Delete);
    m_sbReply = MessagingPictures::toolButton(this, QStringLiteral("sbReply"), QStringLiteral("Ответить"),
                                              MessagingPictures::Tool::Reply);
    m_sbPrintMesage = MessagingPictures::toolButton(this, QStringLiteral("sbPrintMesage"),
                                                    QStringLiteral("Печать"), MessagingPictures::Tool::Print);
    m_cbTextsType = new QComboBox(this);
    m_cbTextsType->setObjectName(QStringLiteral("cbTextsType"));
    m_cbTextsType->addItems({QStringLiteral("Входящие"), QStringLiteral("Исходящие")});
    m_cbFindTexts = new QComboBox(this);
    m_cbFindTexts->setObjectName(QStringLiteral("cbFindTexts"));
    m_cbFindTexts->setEditable(true);
    m_cbFindTexts->setInsertPolicy(QComboBox::NoInsert);
    m_cbFindTexts->lineEdit()->setMaxLength(TfmAddTexts::kBodyLength);
    m_cbFindTexts->setEditText(kFindPrompt);
    m_cbFindTexts->setMinimumWidth(180);
    m_sbFindTexts = MessagingPictures::toolButton(this, QStringLiteral("sbFindTexts"), kFindPrompt,
                                                  MessagingPictures::Tool::Find);
    const QList<QWidget*> tools = {m_sbAddMessage,  m_sbEditMessage, m_sbDelMessage,  m_sbReply,
                                   separator(this), m_sbPrintMesage, separator(this), m_cbTextsType,
                                   separator(this), m_cbFindTexts,   m_sbFindTexts};
    for (QWidget* w : tools)
        bar->addWidget(w);
    bar->addStretch(1);

    m_dbgTexts = new QTableView(this);
    m_dbgTexts->setObjectName(QStringLiteral("dbgTexts"));
    m_dbgTexts->setModel(m_model);
    m_dbgTexts->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbgTexts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbgTexts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbgTexts->verticalHeader()->hide();
    m_dbgTexts->verticalHeader()->setDefaultSectionSize(20);
    m_dbgTexts->setShowGrid(false);
    auto* header = new LettersHeader(m_dbgTexts);
    m_dbgTexts->setHorizontalHeader(header);
    for (int column = 0; column < LettersModel::ColumnCount; ++column) {
        if (LettersModel::isDivider(column))
            header->resizeSection(column, 1);
    }
    header->resizeSection(LettersModel::State, 16 + 4);
    header->resizeSection(LettersModel::To, 150);
    header->resizeSection(LettersModel::From, 150);
    header->resizeSection(LettersModel::Subject, 260);
    header->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_dbgTexts, 1);

    connect(m_sbAddMessage, &QToolButton::clicked, this, &MailPage::sbAddMessageClick);
    connect(m_sbEditMessage, &QToolButton::clicked, this, &MailPage::sbEditMessageClick);
    connect(m_sbDelMessage, &QToolButton::clicked, this, &MailPage::sbDelMessageClick);
    connect(m_sbReply, &QToolButton::clicked, this, &MailPage::sbReplyClick);
    connect(m_sbPrintMesage, &QToolButton::clicked, this, &MailPage::sbPrintMesageClick);
    connect(m_cbTextsType, &QComboBox::activated, this, &MailPage::cbTextsTypeChange);
    connect(m_sbFindTexts, &QToolButton::clicked, this, &MailPage::sbFindTextsClick);
    connect(m_dbgTexts, &QTableView::doubleClicked, this, &MailPage::sbEditMessageClick);
    // The grid's current row is the list's current letter.
    connect(m_dbgTexts->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid() && m_letters->isOpen() && index.row() != m_letters->recNo())
                    m_letters->setRecNo(index.row());
            });
}

MailPage::~MailPage()
{
    // The model lets go of the rows before the query goes.
    m_dbgTexts->setModel(nullptr);
    delete m_model;
}

void MailPage::fillEditMenu(QMenu* menu)
{
    menu->clear();
    menu->addAction(QStringLiteral("Новое сообщение"), this, &MailPage::sbAddMessageClick);
    menu->addAction(QStringLiteral("Открыть"), this, &MailPage::sbEditMessageClick);
    menu->addAction(QStringLiteral("Удалить"), this, &MailPage::sbDelMessageClick);
    menu->addAction(QStringLiteral("Ответить"), this, &MailPage::sbReplyClick);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Печать"), this, &MailPage::sbPrintMesageClick);
}

void MailPage::setUser(int userId, bool letterNotices)
{
    m_userId = userId;
    m_letterNotices = letterNotices;
    m_cbTextsType->setCurrentIndex(int(LetterList::Incoming));
    try {
        rebuild();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

LetterList MailPage::kind() const
{
    return LetterList(m_cbTextsType->currentIndex());
}

int MailPage::currentId() const
{
    return m_letters->isOpen() && m_letters->recNo() >= 0 ? m_letters->value(kId).toInt() : 0;
}

void MailPage::rebuild()
{
    m_model->setKind(kind());
    m_letters->close();
    m_letters->setSql(letterListLines(kind()).join(QLatin1Char('\n')));
    m_letters->setParam(QStringLiteral("IdTo"), m_userId);
    m_letters->setParam(QStringLiteral("IdFrom"), m_userId);
    m_letters->open();
    showCurrent();
}

void MailPage::makeCurrent(int id)
{
    if (id == 0 || !m_letters->locate(kId, id))
        m_letters->first();
    showCurrent();
}

void MailPage::showCurrent()
{
    const int row = m_letters->isOpen() ? m_letters->recNo() : -1;
    if (row >= 0)
        m_dbgTexts->setCurrentIndex(m_model->index(row, LettersModel::Subject));
}

void MailPage::sbTextsClick()
{
    m_cbTextsType->setCurrentIndex(int(LetterList::Incoming));
    cbTextsTypeChange(int(LetterList::Incoming));
}

void MailPage::cbTextsTypeChange(int)
{
    if (m_userId == 0)
        return;
    try {
        rebuild();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void MailPage::newLetter(int presetUserId)
{
    if (m_userId == 0)
        return;
    TfmAddTexts dialog(TfmAddTexts::Mode::New, window());
    connect(&dialog, &TfmAddTexts::printRequested, this, [this, &dialog] {
        if (m_previewLetter)
            m_previewLetter(&dialog, letterOf(dialog));
    });
    dialog.fillRecipients(m_users, presetUserId);
    // A failed store keeps the dialog with what was typed.
    for (;;) {
        m_runDialog(dialog);
        if (!dialog.confirmed() || send(dialog.recipientId(), dialog.subject(), dialog.body(), 0))
            return;
    }
}

bool MailPage::send(int recipient, const QString& subject, const QString& body, int answeredId)
{
    const QString insert =
        QStringLiteral("INSERT INTO TEXTS (ID, IDUSER, IDFROM, IDTO, SUBJ, BODY, WRITEDATE) "
                       "VALUES (:Id, :IdUser, :IdFrom, :IdTo, :Subj, :Body, :WriteDate)");
    try {
        if (answeredId != 0)
            m_connection.execute(QStringLiteral("UPDATE TEXTS SET ISREPLY = 'T' WHERE ID = :Id"),
                                 {{QStringLiteral("Id"), answeredId}});
        for (int owner : {recipient, m_userId}) {
            m_connection.execute(
                insert, {{QStringLiteral("Id"), m_connection.generatorValue(QStringLiteral("TEXTS_ID"))},
                         {QStringLiteral("IdUser"), owner},
                         {QStringLiteral("IdFrom"), m_userId},
                         {QStringLiteral("IdTo"), recipient},
                         {QStringLiteral("Subj"), subject},
                         {QStringLiteral("Body"), body},
                         {QStringLiteral("WriteDate"), platform().now()}});
        }
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        undoPending(m_connection);
        platform().error(e.text());
        return false;
    }
    return true;
}

void MailPage::sbEditMessageClick()
{
    const int id = currentId();
    if (id == 0)
        return;
    TfmAddTexts dialog(TfmAddTexts::Mode::Open, window());
    connect(&dialog, &TfmAddTexts::printRequested, this, [this, &dialog] {
        if (m_previewLetter)
            m_previewLetter(&dialog, letterOf(dialog));
    });
    dialog.setLetter(m_letters->text(QStringLiteral("SUBJ")), m_letters->text(QStringLiteral("BODY")));
    dialog.setRecipient(m_letters->integer(QStringLiteral("IDTO")), m_letters->text(QStringLiteral("F_1")));
    try {
        m_connection.execute(QStringLiteral("UPDATE TEXTS SET ISREAD = 'T' WHERE ID = :Id"),
                             {{QStringLiteral("Id"), id}});
        m_connection.commitRetaining();
        rebuild();
        makeCurrent(id);
    } catch (const db::DbError& e) {
        undoPending(m_connection);
        platform().error(e.text());
        return;
    }
    m_runDialog(dialog);
}

void MailPage::sbReplyClick()
{
    const int id = currentId();
    if (id == 0)
        return;
    TfmAddTexts dialog(TfmAddTexts::Mode::Answer, window());
    connect(&dialog, &TfmAddTexts::printRequested, this, [this, &dialog] {
        if (m_previewLetter)
            m_previewLetter(&dialog, letterOf(dialog));
    });
    dialog.setLetter(m_letters->text(QStringLiteral("SUBJ")), m_letters->text(QStringLiteral("BODY")));
    dialog.setRecipient(m_letters->integer(QStringLiteral("IDFROM")), m_letters->text(QStringLiteral("F_2")));
    // The letter answered is known by its key: the list may be re-read
    // while the dialog is open.
    for (;;) {
        m_runDialog(dialog);
        if (!dialog.confirmed() || send(dialog.recipientId(), dialog.subject(), dialog.body(), id))
            return;
    }
}

void MailPage::sbDelMessageClick()
{
    const int id = currentId();
    if (id == 0)
        return;
    const int row = m_letters->recNo();
    const int neighbour = row > 0 ? m_letters->valueAt(row - 1, kId).toInt() : id;
    if (!platform().confirm(QStringLiteral("Вы уверены, что хотите удалить сообщение?")))
        return;
    try {
        m_connection.execute(QStringLiteral("DELETE FROM TEXTS WHERE ID = :Id"),
                             {{QStringLiteral("Id"), id}});
        m_connection.commitRetaining();
        rebuild();
        makeCurrent(neighbour);
    } catch (const db::DbError& e) {
        undoPending(m_connection);
        platform().error(e.text());
    }
}

MailPage::PreviewedLetter MailPage::letterOf(const TfmAddTexts& dialog) const
{
    if (dialog.mode() == TfmAddTexts::Mode::Open) {
        if (!m_letters->isOpen() || m_letters->isEmpty())
            return {};
        return {m_letters->text(QStringLiteral("F_2")), m_letters->text(QStringLiteral("F_1")),
                m_letters->text(QStringLiteral("SUBJ")), m_letters->text(QStringLiteral("BODY")),
                m_letters->value(QStringLiteral("WRITEDATE")).toDateTime()};
    }
    const auto nameOf = [this](int id) {
        for (int r = 0; id != 0 && r < m_users.recordCount(); ++r)
            if (m_users.valueAt(r, QStringLiteral("ID")).toInt() == id)
                return m_users.valueAt(r, QStringLiteral("NAME")).toString();
        return QString();
    };
    return {nameOf(m_userId), nameOf(dialog.recipientId()), dialog.subject(), dialog.body(),
            platform().now()};
}

void MailPage::sbPrintMesageClick()
{
    emit printRequested();
}

void MailPage::sbFindTextsClick()
{
    const QString text = m_cbFindTexts->currentText();
    m_cbFindTexts->addItem(text);
    m_cbFindTexts->setEditText(text);
    if (!m_letters->isOpen())
        return;
    for (int row = 0; row < m_letters->recordCount(); ++row) {
        if (letterBodyMatches(m_letters->valueAt(row, QStringLiteral("BODY")).toString(), text)) {
            m_letters->setRecNo(row);
            showCurrent();
            return;
        }
    }
}

void MailPage::refreshMail()
{
    if (m_userId == 0 || !m_letters->isOpen())
        return;
    const int current = currentId();
    const int lastBefore =
        m_letters->isEmpty() ? 0 : m_letters->valueAt(m_letters->recordCount() - 1, kId).toInt();
    try {
        rebuild();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    const int count = m_letters->recordCount();
    const int last = count == 0 ? 0 : m_letters->valueAt(count - 1, kId).toInt();
    if (last != 0 && last != lastBefore && !isVisible() && m_letterNotices && m_notice) {
        m_notice->showNotice(letterNotice(m_letters->valueAt(count - 1, QStringLiteral("F_2")).toString(),
                                          m_letters->valueAt(count - 1, QStringLiteral("SUBJ")).toString()));
        if (window()->isVisible())
            window()->activateWindow();
    }
    makeCurrent(current);
}

} // namespace tarvik::messaging
