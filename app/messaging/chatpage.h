#pragma once

#include "chatmark.h"

#include <QColor>
#include <QWidget>

#include <memory>

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class MarkupComboBox;
}
namespace tarvik::tasks {
class TfmNew;
}

namespace tarvik::messaging {

// The chat page "Сообщения": short coloured lines to one user or to
// everybody, delivered through the table MESAGES and its alert. The view
// only grows by the lines each refresh fetches; it is never re-read.
class ChatPage : public QWidget
{
    Q_OBJECT
public:
    // users is the users list kept open for the run.
    ChatPage(db::Connection& connection, db::Query& users, QWidget* parent = nullptr);
    ~ChatPage() override;

    // A new login: mark 0, an empty view and an empty recipient list.
    void setUser(int userId, bool chatNotices);
    // The login profile's "Выводить сообщения о новых сообщениях в чате".
    void setChatNotices(bool on) { m_chatNotices = on; }
    void setNoticeWindow(tasks::TfmNew* notice) { m_notice = notice; }

    [[nodiscard]] const ChatMark& mark() const { return m_mark; }
    [[nodiscard]] QTextEdit* view() const { return m_meMesages; }
    [[nodiscard]] widgets::MarkupComboBox* recipients() const { return m_cbUser; }
    [[nodiscard]] QColor textColor() const { return m_color; }

signals:
    // "Печать": the chat view is to be printed.
    void printRequested();

public slots:
    // What the page does when it is shown: the send line emptied, the mark
    // set to the newest visible message, the recipient list refilled with
    // "Всем" chosen.
    void sbMesagesClick();
    // On "INS_MESAGES": fetches and appends the messages not yet shown.
    void refreshChat();
    // On "UPD_USERS": the recipient list is refilled, its position kept.
    void refreshRecipients();
    void sbSendClick();
    void sbMesagesColorClick();
    void sbClearMesagesClick();
    void sbPrintMesagesClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The mark statement: the mark moves to the newest message the user can
    // see, skipping those left from before.
    void setMarkToNewest();
    void appendLine(const QString& line, const QColor& color, bool bold, bool italic);
    void setSwatch(const QColor& color);
    // Awaited keys that belong to messages between other users are dropped.
    void dropOthersMessages();

    db::Connection& m_connection;
    db::Query& m_users;
    std::unique_ptr<db::Query> m_qMesages;
    std::unique_ptr<db::Query> m_qLastMesages;
    ChatMark m_mark;
    int m_userId = 0;
    // Whether a refresh has run since the login.
    bool m_refreshed = false;
    bool m_chatNotices = false;
    QColor m_color = Qt::black;
    tasks::TfmNew* m_notice = nullptr; // lives for the run

    QToolButton* m_sbClearMesages;
    QToolButton* m_sbPrintMesages;
    QTextEdit* m_meMesages;
    widgets::MarkupComboBox* m_cbUser;
    QLineEdit* m_edSendText;
    QFrame* m_shMesagesColor;
    QToolButton* m_sbMesagesColor;
    QCheckBox* m_cbMesBold;
    QCheckBox* m_cbMesItall;
    QPushButton* m_sbSend;
};

} // namespace tarvik::messaging
