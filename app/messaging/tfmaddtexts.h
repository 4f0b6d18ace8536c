#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace tarvik::db {
class Query;
}
namespace tarvik::widgets {
class DialogBar;
class MarkupComboBox;
} // namespace tarvik::widgets

namespace tarvik::messaging {

// The letter dialog: writes a new letter, shows one, or writes an answer.
// It stores nothing itself; the caller reads the recipient, subject and
// text after a confirmed close.
class TfmAddTexts : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        New,   // "Новое сообщение": the recipient is chosen from the users
        Open,  // "Правка": read only, left with "Отмена" alone
        Answer // "Ответ на сообщение": the recipient is the letter's sender
    };
    static constexpr int kHelpTopic = 89;
    // SUBJ is VARCHAR(255), BODY VARCHAR(1000).
    static constexpr int kSubjectLength = 255;
    static constexpr int kBodyLength = 1000;

    explicit TfmAddTexts(Mode mode, QWidget* parent = nullptr);

    // New: one item per user of the list, in its order, in the presence
    // form; presetUserId (0 for none) is chosen at once.
    void fillRecipients(db::Query& users, int presetUserId);
    // Open and answer: the fixed recipient shown instead of the list.
    void setRecipient(int userId, const QString& name);
    void setLetter(const QString& subject, const QString& body);

    [[nodiscard]] Mode mode() const { return m_mode; }
    [[nodiscard]] bool confirmed() const { return m_confirmed; }
    // 0 while nobody is chosen.
    [[nodiscard]] int recipientId() const;
    [[nodiscard]] QString subject() const;
    [[nodiscard]] QString body() const;

signals:
    // "Печать": the letter is to be shown in the report preview.
    void printRequested();

public slots:
    void sbOKClick();
    void sbCancelClick();
    void sbHelpClick();
    void sbPrintClick();
    void cbUsersChange(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Mode m_mode;
    bool m_confirmed = false;
    int m_fixedRecipient = 0;
    widgets::DialogBar* m_bar;
    QToolButton* m_sbPrint;
    widgets::MarkupComboBox* m_cbUsers;
    QLabel* m_lbUserName;
    QLineEdit* m_edSubj;
    QPlainTextEdit* m_meBody;
};

} // namespace tarvik::messaging
