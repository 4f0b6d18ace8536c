#include "chatpage.h"

#include "chatstatements.h"
#include "connection.h"
#include "dberror.h"
#include "markupcombobox.h"
#include "messagingpictures.h"
#include "platform.h"
#include "presencemarks.h"
#include "query.h"
#include "roles.h"
#include "tfmnew.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace tarvik::messaging {

namespace {

// BODY is VARCHAR(1000).
constexpr int kBodyLength = 1000;

const QString kAllUsers = QStringLiteral("<font color=\"clGreen\"><b>Всем</b></font>");

QCheckBox* styleBox(QWidget* parent, const QString& name, const QString& caption, bool bold)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    QFont font = box->font();
    font.setBold(bold);
    font.setItalic(!bold);
    box->setFont(font);
    return box;
}

} // namespace

ChatPage::ChatPage(db::Connection& connection, db::Query& users, QWidget* parent)
    : QWidget(parent), m_connection(connection), m_users(users),
      m_qMesages(std::make_unique<db::Query>(connection)),
      m_qLastMesages(std::make_unique<db::Query>(connection, chatMarkLines().join(QLatin1Char('\n'))))
{
    setObjectName(QStringLiteral("pnMesages"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    m_sbClearMesages =
        MessagingPictures::toolButton(this, QStringLiteral("sbClearMesages"), QStringLiteral("Очистить чат"),
                                      MessagingPictures::Tool::Clear);
    m_sbPrintMesages = MessagingPictures::toolButton(
        this, QStringLiteral("sbPrintMesages"), QStringLiteral("Печать"), MessagingPictures::Tool::Print);
    top->addWidget(m_sbClearMesages);
    top->addWidget(m_sbPrintMesages);
    top->addStretch(1);
    layout->addLayout(top);

    m_meMesages = new QTextEdit(this);
    m_meMesages->setObjectName(QStringLiteral("meMesages"));
    m_meMesages->setReadOnly(true);
    m_meMesages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_meMesages, 1);

    auto* bottom = new QHBoxLayout;
    auto* to = new QLabel(QStringLiteral("Кому"), this);
    QFont bold = to->font();
    bold.setBold(true);
    to->setFont(bold);
    m_cbUser = new widgets::MarkupComboBox(this);
    m_cbUser->setObjectName(QStringLiteral("cbUser"));
    m_cbUser->setMinimumWidth(150);
    m_edSendText = new QLineEdit(this);
    m_edSendText->setObjectName(QStringLiteral("edSendText"));
    m_edSendText->setMaxLength(kBodyLength);
    m_edSendText->installEventFilter(this);
    m_shMesagesColor = new QFrame(this);
    m_shMesagesColor->setObjectName(QStringLiteral("shMesagesColor"));
    m_shMesagesColor->setFrameShape(QFrame::Box);
    m_shMesagesColor->setFixedSize(20, 20);
    m_shMesagesColor->setAutoFillBackground(true);
    setSwatch(m_color);
    m_sbMesagesColor =
        MessagingPictures::toolButton(this, QStringLiteral("sbMesagesColor"), QStringLiteral("Цвет текста"),
                                      MessagingPictures::Tool::Palette);
    m_cbMesBold = styleBox(this, QStringLiteral("cbMesBold"), QStringLiteral("B"), true);
    m_cbMesItall = styleBox(this, QStringLiteral("cbMesItall"), QStringLiteral("I"), false);
    m_sbSend = new QPushButton(QStringLiteral("Отправить"), this);
    m_sbSend->setObjectName(QStringLiteral("sbSend"));
    bottom->addWidget(to);
    bottom->addWidget(m_cbUser);
    bottom->addWidget(m_edSendText, 1);
    bottom->addWidget(m_shMesagesColor);
    bottom->addWidget(m_sbMesagesColor);
    bottom->addWidget(m_cbMesBold);
    bottom->addWidget(m_cbMesItall);
    bottom->addWidget(m_sbSend);
    layout->addLayout(bottom);

    connect(m_sbClearMesages, &QToolButton::clicked, this, &ChatPage::sbClearMesagesClick);
    connect(m_sbPrintMesages, &QToolButton::clicked, this, &ChatPage::sbPrintMesagesClick);
    connect(m_sbMesagesColor, &QToolButton::clicked, this, &ChatPage::sbMesagesColorClick);
    connect(m_sbSend, &QPushButton::clicked, this, &ChatPage::sbSendClick);
}

ChatPage::~ChatPage() = default;

void ChatPage::setUser(int userId, bool chatNotices)
{
    m_userId = userId;
    m_chatNotices = chatNotices;
    m_mark.reset();
    m_refreshed = false;
    m_meMesages->clear();
    m_cbUser->clear();
    m_qMesages->close();
    m_qMesages->setParam(QStringLiteral("IdTo"), userId);
    m_qLastMesages->setParam(QStringLiteral("IdTo"), userId);
}

void ChatPage::sbMesagesClick()
{
    m_edSendText->clear();
    if (m_userId == 0)
        return;
    // Once a refresh has run, the mark already stands at the newest message
    // shown; what has been committed since (its alert still on the way) is
    // fetched rather than skipped. Before that, the messages left from
    // before are skipped.
    if (m_refreshed)
        refreshChat();
    else
        setMarkToNewest();
    refreshRecipients();
    m_cbUser->selectPosition(0);
}

void ChatPage::setMarkToNewest()
{
    try {
        m_qLastMesages->close();
        m_qLastMesages->open();
        QList<int> keys;
        for (int row = 0; row < m_qLastMesages->recordCount(); ++row)
            keys << m_qLastMesages->valueAt(row, 0).toInt();
        m_qLastMesages->close();
        m_mark.markSet(keys);
        dropOthersMessages();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void ChatPage::refreshRecipients()
{
    const int position = m_cbUser->selectedPosition();
    m_cbUser->clear();
    m_cbUser->addMarkupItem(kAllUsers, -1);
    try {
        const QVariant current =
            m_users.isOpen() && m_users.recNo() >= 0 ? m_users.value(QStringLiteral("ID")) : QVariant();
        m_users.reopen();
        const db::PresenceMarks marks = db::PresenceMarks::read(m_users.connection());
        for (int row = 0; row < m_users.recordCount(); ++row) {
            m_users.setRecNo(row);
            m_cbUser->addMarkupItem(userCaption(m_users, CaptionForm::Presence, marks),
                                    m_users.integer(QStringLiteral("ID")));
        }
        if (!current.isValid() || !m_users.locate(QStringLiteral("ID"), current))
            m_users.first();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    m_cbUser->selectPosition(position >= 0 && position < m_cbUser->count() ? position : 0);
}

void ChatPage::refreshChat()
{
    if (m_userId == 0)
        return;
    try {
        m_qMesages->close();
        m_qMesages->setSql(m_mark.fetchSql());
        m_qMesages->setParam(QStringLiteral("LastId"), m_mark.mark());
        m_qMesages->setParam(QStringLiteral("IdTo"), m_userId);
        m_qMesages->open();
        m_refreshed = true;
        // The rows come in key order; a late commit below the mark comes
        // after the lines already shown, since the view is only appended to.
        struct Line
        {
            int key;
            int row;
        };
        std::vector<Line> lines;
        QList<int> keys;
        for (int row = 0; row < m_qMesages->recordCount(); ++row) {
            const int key = m_qMesages->valueAt(row, QStringLiteral("ID")).toInt();
            lines.push_back({key, row});
            keys << key;
        }
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.key < b.key; });
        m_mark.fetched(keys);
        const db::Query& q = *m_qMesages;
        for (const Line& line : lines) {
            const int idTo = q.valueAt(line.row, QStringLiteral("IDTO")).toInt();
            appendLine(chatLine(q.valueAt(line.row, QStringLiteral("NAMEFROM")).toString(), idTo,
                                q.valueAt(line.row, QStringLiteral("NAMETO")).toString(),
                                q.valueAt(line.row, QStringLiteral("SERVDATE")).toDateTime(),
                                q.valueAt(line.row, QStringLiteral("BODY")).toString()),
                       colorFromStored(q.valueAt(line.row, QStringLiteral("FONTCOLOR")).toInt()),
                       isFlagSet(q.valueAt(line.row, QStringLiteral("ISBOLD"))),
                       isFlagSet(q.valueAt(line.row, QStringLiteral("ISITALL"))));
        }
        if (!lines.empty() && !isVisible() && m_chatNotices && m_notice) {
            const int last = lines.back().row;
            m_notice->showNotice(chatNotice(q.valueAt(last, QStringLiteral("NAMEFROM")).toString(),
                                            q.valueAt(last, QStringLiteral("IDTO")).toInt(),
                                            q.valueAt(last, QStringLiteral("NAMETO")).toString(),
                                            q.valueAt(last, QStringLiteral("BODY")).toString()));
            if (window()->isVisible())
                window()->activateWindow();
        }
        dropOthersMessages();
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void ChatPage::dropOthersMessages()
{
    if (m_mark.awaited().empty())
        return;
    QStringList keys;
    for (int key : m_mark.awaited())
        keys << QString::number(key);
    db::Query others(m_connection, QStringLiteral("SELECT Id FROM Mesages WHERE Id IN (%1) AND "
                                                  "NOT (IdTo = :IdTo OR IdFrom = :IdTo OR IdTo = -1)")
                                       .arg(keys.join(QStringLiteral(", "))));
    others.setParam(QStringLiteral("IdTo"), m_userId);
    others.open();
    QList<int> found;
    for (int row = 0; row < others.recordCount(); ++row)
        found << others.valueAt(row, 0).toInt();
    m_mark.notMine(found);
}

void ChatPage::appendLine(const QString& line, const QColor& color, bool bold, bool italic)
{
    QTextCursor cursor(m_meMesages->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_meMesages->document()->isEmpty())
        cursor.insertBlock();
    QTextCharFormat format;
    format.setForeground(color);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    cursor.insertText(line, format);
    m_meMesages->verticalScrollBar()->setValue(m_meMesages->verticalScrollBar()->maximum());
}

void ChatPage::sbSendClick()
{
    if (m_userId == 0)
        return;
    const int position = m_cbUser->selectedPosition();
    const QVariant idTo = position > 0 ? m_cbUser->itemData(position) : QVariant(-1);
    try {
        const qint64 id = m_connection.generatorValue(QStringLiteral("MESAGES_ID"));
        m_connection.execute(
            QStringLiteral("INSERT INTO Mesages (Id, IdFrom, IdTo, Body, FontColor, IsBold, IsItall) "
                           "VALUES (:Id, :IdFrom, :IdTo, :Body, :FontColor, :IsBold, :IsItall)"),
            {{QStringLiteral("Id"), id},
             {QStringLiteral("IdFrom"), m_userId},
             {QStringLiteral("IdTo"), idTo},
             {QStringLiteral("Body"), m_edSendText->text()},
             {QStringLiteral("FontColor"), storedColor(m_color)},
             {QStringLiteral("IsBold"),
              m_cbMesBold->isChecked() ? QVariant(QStringLiteral("T")) : QVariant()},
             {QStringLiteral("IsItall"),
              m_cbMesItall->isChecked() ? QVariant(QStringLiteral("T")) : QVariant()}});
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        // Nothing of a failed send stays behind to be committed later; the
        // text stays in the line to be sent again.
        try {
            m_connection.rollbackRetaining();
        } catch (const db::DbError&) {
        }
        platform().error(e.text());
        return;
    }
    m_edSendText->selectAll();
}

void ChatPage::sbMesagesColorClick()
{
    if (const std::optional<QColor> chosen = platform().chooseColor(this, m_color))
        setSwatch(*chosen);
}

void ChatPage::setSwatch(const QColor& color)
{
    m_color = color;
    QPalette palette = m_shMesagesColor->palette();
    palette.setColor(QPalette::Window, color);
    m_shMesagesColor->setPalette(palette);
}

void ChatPage::sbClearMesagesClick()
{
    m_meMesages->clear();
}

void ChatPage::sbPrintMesagesClick()
{
    emit printRequested();
}

bool ChatPage::eventFilter(QObject* watched, QEvent* event)
{
    // Enter sends whatever modifier keys are held.
    if (watched == m_edSendText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sbSendClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvik::messaging
