#pragma once

#include <QDialog>

class QRadioButton;

namespace tarvik::db {
class Connection;
}
namespace tarvik::widgets {
class DatePicker;
}

namespace tarvik::tasks {

// "Чистка базы": deletes, of every work place, either the events of a
// period or every finished event, and commits. Created for the menu command
// and shown modally; it can be run several times before it is closed.
class TfmClearBase : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Чистка базы");
    static inline const QString kQuestion =
        QStringLiteral("Вы уверены, что хотите произвести очитстку базы?");
    static inline const QString kDoneMessage = QStringLiteral("Очистка базы успешно закончена!");

    explicit TfmClearBase(db::Connection& connection, QWidget* parent = nullptr);

public slots:
    // Runs the clearing: after the user's yes, the chosen statement is
    // executed and committed; a failure takes nothing of it into effect.
    void SpeedButton1Click();
    void sbCancelClick();

private:
    db::Connection& m_connection;
    QRadioButton* m_rbPeriod;
    QRadioButton* m_rbComplete;
    widgets::DatePicker* m_pdStart;
    widgets::DatePicker* m_pdEnd;
};

} // namespace tarvik::tasks
