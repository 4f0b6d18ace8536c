#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tarvik::db {
class Query;
}

namespace tarvik::ruduvo {

// The utility's login: administrators only, by name and password. On
// success the dialog's query becomes the users list of the run.
class TfmSystemEnter : public QDialog
{
    Q_OBJECT
public:
    static const QString kAdministratorsSql;

    TfmSystemEnter(db::Query& users, QWidget* parent = nullptr);

public slots:
    void sbOKClick();
    void sbCancelClick();

private:
    db::Query& m_users;
    QComboBox* m_cbUser;
    QLineEdit* m_edPass;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tarvik::ruduvo
