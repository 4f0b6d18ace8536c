#pragma once

#include <QWidget>

class QDialog;
class QPushButton;
class QToolButton;

namespace tarvik::widgets {

// The top bar every dialog of the system shares: small tool buttons at the
// right, "Справка" (when the dialog has a help topic), OK and "Отмена"; the
// Enter key acts as OK and Escape as "Отмена", through the invisible
// default button btOk. Buttons are named sbHelp, sbOK, sbCancel.
class DialogBar : public QWidget
{
    Q_OBJECT
public:
    DialogBar(QDialog* dialog, bool withHelp);

    [[nodiscard]] QToolButton* helpButton() const { return m_help; }
    [[nodiscard]] QToolButton* okButton() const { return m_ok; }
    [[nodiscard]] QToolButton* cancelButton() const { return m_cancel; }
    [[nodiscard]] QPushButton* defaultButton() const { return m_default; }
    // Adds a tool button at the left end of the bar.
    QToolButton* addLeftButton(const QString& name, const QString& hint, const QIcon& icon);

signals:
    void helpClicked();
    void okClicked();
    void cancelClicked();

private:
    QToolButton* m_help = nullptr;
    QToolButton* m_ok;
    QToolButton* m_cancel;
    QPushButton* m_default;
};

} // namespace tarvik::widgets
