#pragma once

#include "mailstatements.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QMenu;
class QTableView;
class QToolButton;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::tasks {
class TfmNew;
}

namespace tarvik::messaging {

class LettersModel;
class TfmAddTexts;

// The mail page "Письма": the user's incoming or sent letters from TEXTS,
// with the commands to write, open, answer, delete and find them. Every
// letter is two rows, the recipient's copy and the sender's, so that each
// side marks and deletes only its own.
class MailPage : public QWidget
{
    Q_OBJECT
public:
    // users is the users list kept open for the run.
    MailPage(db::Connection& connection, db::Query& users, QWidget* parent = nullptr);
    ~MailPage() override;

    // A new login: the list opened with "Входящие" for the user.
    void setUser(int userId, bool letterNotices);
    // The login profile's "Выводить сообщения о новой почте".
    void setLetterNotices(bool on) { m_letterNotices = on; }
    void setNoticeWindow(tasks::TfmNew* notice) { m_notice = notice; }
    // Gives the main menu's mail "Правка" its commands.
    void fillEditMenu(QMenu* menu);
    // Tests answer the letter dialog here instead of showing it modally.
    void setDialogRunner(std::function<void(TfmAddTexts&)> runner) { m_runDialog = std::move(runner); }

    // The letter dialog's "Печать" shows this letter in the report preview.
    struct PreviewedLetter
    {
        QString from;
        QString to;
        QString subject;
        QString body;
        QDateTime written;
    };
    using LetterPreview = std::function<void(QWidget* parent, const PreviewedLetter& letter)>;
    void setLetterPreview(LetterPreview preview) { m_previewLetter = std::move(preview); }
    // What the letter dialog previews: the letter it shows when it was
    // opened from the list; while a letter or an answer is being written,
    // that letter as typed so far, from the user to the chosen recipient,
    // dated now.
    [[nodiscard]] PreviewedLetter letterOf(const TfmAddTexts& dialog) const;

    [[nodiscard]] db::Query& letters() const { return *m_letters; }
    [[nodiscard]] LettersModel& model() const { return *m_model; }
    [[nodiscard]] QTableView* grid() const { return m_dbgTexts; }
    [[nodiscard]] LetterList kind() const;
    // The key of the current letter; 0 for an empty list.
    [[nodiscard]] int currentId() const;

signals:
    // "Печать": the current letter is to be printed.
    void printRequested();

public slots:
    // What the page does when it is shown: "Входящие", the list rebuilt.
    void sbTextsClick();
    // A new letter; presetUserId (0 for none) is chosen as its recipient.
    void newLetter(int presetUserId);
    void sbAddMessageClick() { newLetter(0); }
    void sbEditMessageClick();
    void sbDelMessageClick();
    void sbReplyClick();
    void sbPrintMesageClick();
    void cbTextsTypeChange(int index);
    void sbFindTextsClick();
    // On "INS_TEXTS": the list re-run, the current letter kept, and the
    // notice when a new letter came last.
    void refreshMail();

private:
    void rebuild();
    void makeCurrent(int id);
    void showCurrent();
    // Stores both copies of a letter (and the answered mark) and commits;
    // on failure nothing of it stays and the error is shown.
    bool send(int recipient, const QString& subject, const QString& body, int answeredId);

    db::Connection& m_connection;
    db::Query& m_users;
    std::unique_ptr<db::Query> m_letters;
    LetterPreview m_previewLetter;
    LettersModel* m_model;
    int m_userId = 0;
    bool m_letterNotices = false;
    tasks::TfmNew* m_notice = nullptr; // lives for the run
    std::function<void(TfmAddTexts&)> m_runDialog;

    QToolButton* m_sbAddMessage;
    QToolButton* m_sbEditMessage;
    QToolButton* m_sbDelMessage;
    QToolButton* m_sbReply;
    QToolButton* m_sbPrintMesage;
    QComboBox* m_cbTextsType;
    QComboBox* m_cbFindTexts;
    QToolButton* m_sbFindTexts;
    QTableView* m_dbgTexts;
};

} // namespace tarvik::messaging
