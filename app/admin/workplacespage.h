#pragma once

#include "listpage.h"

class QComboBox;

namespace tarvik::admin {

class OptionLists;

// "Рабочие места (отделы)": the work places of one boss, chosen in
// cbUsers by an administrator; stored at once into the shared transaction.
class WorkPlacesPage : public ListPage
{
    Q_OBJECT
public:
    WorkPlacesPage(OptionLists& lists, QWidget* parent = nullptr);

    // The add, change and delete buttons.
    void setButtonsAvailable(bool available);
    void setBossChooserVisible(bool visible);
    // Fills the chooser with the bosses list, nobody chosen.
    void fillBosses();

    void cbUsersChange(int index);
    void sbAddPlaceClick();
    void sbEditPlaceClick();
    void sbDelPlaceClick();

    [[nodiscard]] QComboBox* bossChooser() const { return m_cbUsers; }

private:
    // Shows the name dialog until the row is stored or the user gives up.
    void editRow(const QString& name);

    OptionLists& m_lists;
    QComboBox* m_cbUsers;
    QToolButton* m_sbAddPlace;
    QToolButton* m_sbEditPlace;
    QToolButton* m_sbDelPlace;
};

} // namespace tarvik::admin
