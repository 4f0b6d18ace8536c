#pragma once

#include <QDialog>

class QLineEdit;

namespace tarvik::widgets {
class DialogBar;
}

namespace tarvik::admin {

// The user dialog: a name and the password typed twice. OK only with a
// name; the two passwords must agree (both may be empty).
class TfmAddUser : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kFieldLength = 100;

    explicit TfmAddUser(const QString& title, QWidget* parent = nullptr);

    void setFields(const QString& name, const QString& password);
    [[nodiscard]] QString name() const;
    [[nodiscard]] QString password() const;
    [[nodiscard]] widgets::DialogBar* bar() const { return m_bar; }

    void sbOkClick();

private:
    widgets::DialogBar* m_bar;
    QLineEdit* m_edUser;
    QLineEdit* m_edPass;
    QLineEdit* m_edPass1;
};

} // namespace tarvik::admin
