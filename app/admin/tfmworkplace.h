#pragma once

#include <QDialog>

class QLineEdit;

namespace tarvik::widgets {
class DialogBar;
}

namespace tarvik::admin {

// "Рабочее место": the name of one work place. OK only with a name that is
// not all blanks.
class TfmWorkPlace : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kNameLength = 100;

    explicit TfmWorkPlace(const QString& name, QWidget* parent = nullptr);

    [[nodiscard]] QString name() const;
    [[nodiscard]] QLineEdit* deName() const { return m_deName; }
    [[nodiscard]] widgets::DialogBar* bar() const { return m_bar; }

private:
    void deNameChange();

    widgets::DialogBar* m_bar;
    QLineEdit* m_deName;
};

} // namespace tarvik::admin
