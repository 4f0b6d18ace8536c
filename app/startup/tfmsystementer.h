#pragma once

#include "presence.h"
#include "presencemarks.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace tarvik::db {
class Query;
}
namespace tarvik::widgets {
class MarkupComboBox;
}

namespace tarvik::startup {

// The login dialog. It reads the users list when opened, refuses by the
// login rules, and on success marks the user present and remembers him in
// "enter.ini". It is kept (hidden) for the run with its users list.
class TfmSystemEnter : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kEnterIni = QStringLiteral("enter.ini");

    explicit TfmSystemEnter(db::Query& users, QWidget* parent = nullptr);

    // Fills the list; false when somebody holds the system exclusively and
    // the program must end (the notices were shown).
    [[nodiscard]] bool openList();
    [[nodiscard]] bool loggedIn() const { return m_loggedIn; }
    [[nodiscard]] const LoginProfile& profile() const { return m_profile; }

public slots:
    void sbOKClick();
    void sbCancelClick();
    void sbHelpClick();

private:
    [[nodiscard]] std::optional<db::PresenceMarks> readMarks();
    db::Query& m_users;
    widgets::MarkupComboBox* m_cbUser;
    QLineEdit* m_edPass;
    QCheckBox* m_cbMono;
    LoginProfile m_profile;
    bool m_loggedIn = false;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tarvik::startup
