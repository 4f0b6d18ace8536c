#pragma once

#include <QDialog>

class QRadioButton;
class QTimer;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::widgets {
class MarkupComboBox;
}

namespace tarvik::ruduvo {

// Clears the presence marks of all users, of one user, or only those that
// workstations which lost their link to the server left behind, after
// confirmation, and then the utility ends. The list shows each mark's state
// and keeps it current.
class TfmMain : public QDialog
{
    Q_OBJECT
public:
    static const QString kClearAllSql;
    static const QString kClearOneSql;
    static const QString kClearStaleSql;
    // How often the marks' states are read again while the window is open.
    static constexpr int kRefreshMs = 5000;

    TfmMain(db::Connection& connection, db::Query& users, QWidget* parent = nullptr);

    [[nodiscard]] bool cleared() const { return m_cleared; }

public slots:
    void sbOKClick();
    void sbCancelClick();
    void sbHelpClick();
    // Reads the marks' states again and shows them in the list.
    void refreshStates();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillUsers();
    void scopeChanged();
    [[nodiscard]] bool clearStale();

    db::Connection& m_connection;
    db::Query& m_users;
    QRadioButton* m_rbAllUsers;
    QRadioButton* m_rbSelectUser;
    QRadioButton* m_rbStaleUsers;
    QTimer* m_refresh;
    widgets::MarkupComboBox* m_cbUser;
    bool m_filled = false;
    bool m_cleared = false;
};

} // namespace tarvik::ruduvo
