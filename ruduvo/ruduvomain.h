#pragma once

#include <QDialog>

class QRadioButton;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::widgets {
class MarkupComboBox;
}

namespace tarvik::ruduvo {

// Clears the presence marks of all users or of one user, after
// confirmation, and then the utility ends.
class TfmMain : public QDialog
{
    Q_OBJECT
public:
    static const QString kClearAllSql;
    static const QString kClearOneSql;

    TfmMain(db::Connection& connection, db::Query& users, QWidget* parent = nullptr);

    [[nodiscard]] bool cleared() const { return m_cleared; }

public slots:
    void sbOKClick();
    void sbCancelClick();
    void sbHelpClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillUsers();
    void scopeChanged();

    db::Connection& m_connection;
    db::Query& m_users;
    QRadioButton* m_rbAllUsers;
    QRadioButton* m_rbSelectUser;
    widgets::MarkupComboBox* m_cbUser;
    bool m_filled = false;
    bool m_cleared = false;
};

} // namespace tarvik::ruduvo
