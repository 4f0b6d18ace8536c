#pragma once

#include "roles.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QStackedWidget;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::tasks {
class TfmMP;
}
namespace tarvik::widgets {
class DialogBar;
class MarkupTreeView;
} // namespace tarvik::widgets

namespace tarvik::admin {

class OptionLists;
class SoundsPage;
class TemplatesPage;
class WorkPlacesPage;

// The grid values the day page starts from: the main window's copies of
// the system options.
struct GridValues
{
    int step = 30;
    QString startTimeGrid;
    QString endTimeGrid;
    QString startWorkTimeGrid;
    QString endWorkTimeGrid;
};

// "Настройка": created once before login and kept for the whole run; it
// holds the lists of work places, templates, sounds and bosses that the
// planner, the task dialog and the reminders read too. Shown modally in one
// of four modes; what its list pages store stays in the shared transaction
// for the command that showed it to commit or roll back.
class TfmOptions : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Full,
        WorkPlaces,
        Personal,
        WorkPlaceChoice
    };
    enum Page
    {
        PersonalPage,
        DayPage,
        WeekMonthPage,
        WorkPlacesPageIndex,
        TemplatesPageIndex,
        SoundsPageIndex
    };

    TfmOptions(db::Connection& connection, db::Query& users, QWidget* parent = nullptr);
    ~TfmOptions() override;

    [[nodiscard]] OptionLists& lists() const { return *m_lists; }
    void setUser(int userId, UserRole role);
    void setGridValues(const GridValues& values) { m_grid = values; }
    void setSoundPlayer(tasks::TfmMP* player);

    [[nodiscard]] Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }
    [[nodiscard]] bool restricted() const { return m_mode != Mode::Full; }
    void setTreeAvailable(bool available);
    // Shows one page in the page area.
    void showPage(Page page);
    [[nodiscard]] int shownPage() const;
    // Shows the window modally; true when it was closed by OK.
    bool showModal();
    [[nodiscard]] bool confirmed() const { return m_confirmed; }

    void FormActivate();
    void tvOptionsChange();
    void sbOKClick();
    void sbCancelClick();
    void sbHelpClick();
    // Keeps the working times inside the visible times.
    void applyVisibleTimeRule();

    // What the personal page holds.
    [[nodiscard]] int startSystem() const;
    [[nodiscard]] bool newEventNotices() const;
    [[nodiscard]] bool newLetterNotices() const;
    [[nodiscard]] bool newChatNotices() const;
    // The grid the day and week pages hold, as OK stores it.
    [[nodiscard]] GridValues chosenGrid() const;

    [[nodiscard]] WorkPlacesPage* workPlacesPage() const { return m_workPlaces; }
    [[nodiscard]] TemplatesPage* templatesPage() const { return m_templates; }
    [[nodiscard]] SoundsPage* soundsPage() const { return m_sounds; }
    [[nodiscard]] widgets::MarkupTreeView* pageTree() const { return m_tvOptions; }

    // "00:00", "00:30" … "24:00".
    [[nodiscard]] static QStringList visibleTimes();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPersonalPage();
    QWidget* buildDayPage();
    QWidget* buildWeekMonthPage();
    void buildTree();
    void writeOptions();

    db::Connection& m_connection;
    db::Query& m_users;
    std::unique_ptr<OptionLists> m_lists;
    Mode m_mode = Mode::Full;
    bool m_setUp = true;
    bool m_confirmed = false;
    bool m_inRule = false;
    int m_userId = 0;
    UserRole m_role = UserRole::Worker;
    GridValues m_grid;

    widgets::DialogBar* m_bar = nullptr;
    widgets::MarkupTreeView* m_tvOptions = nullptr;
    QStackedWidget* m_pages = nullptr;
    QComboBox* m_cbStartSystem = nullptr;
    QCheckBox* m_cbNewEvents = nullptr;
    QCheckBox* m_cbNewTexts = nullptr;
    QCheckBox* m_cbNewMesages = nullptr;
    QComboBox* m_cbVisibleStart = nullptr;
    QComboBox* m_cbVisibleEnd = nullptr;
    QComboBox* m_cbWorkStart = nullptr;
    QComboBox* m_cbWorkEnd = nullptr;
    QRadioButton* m_cb15 = nullptr;
    QRadioButton* m_cb30 = nullptr;
    QRadioButton* m_cb60 = nullptr;
    std::array<QCheckBox*, 7> m_days{};
    WorkPlacesPage* m_workPlaces = nullptr;
    TemplatesPage* m_templates = nullptr;
    SoundsPage* m_sounds = nullptr;
};

} // namespace tarvik::admin
