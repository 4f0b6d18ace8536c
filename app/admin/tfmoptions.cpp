#include "tfmoptions.h"

#include "connection.h"
#include "dberror.h"
#include "dialogbar.h"
#include "markuplabel.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "optionlists.h"
#include "platform.h"
#include "query.h"
#include "soundspage.h"
#include "templatespage.h"
#include "workplacespage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarvik::admin {

namespace {

constexpr int kGroupNode = -1;
const QColor kAccent(177, 185, 207); // stored 13613489
const char* const kDayColumns[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};

QLabel* heading(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    f.setUnderline(true);
    l->setFont(f);
    return l;
}

QComboBox* timeList(QWidget* parent, const char* name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

bool isSet(const QVariant& flag)
{
    return flag.toString() == QLatin1String("T");
}

QString flagOf(bool on)
{
    return on ? QStringLiteral("T") : QStringLiteral("F");
}

// Selects the entry whose text, blanks removed, is the value; false when
// none is.
bool selectText(QComboBox* box, const QString& value)
{
    const int index = box->findText(value.trimmed(), Qt::MatchExactly);
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    return true;
}

} // namespace

QStringList TfmOptions::visibleTimes()
{
    QStringList times;
    for (int half = 0; half <= 48; ++half)
        times << QStringLiteral("%1:%2")
                     .arg(half / 2, 2, 10, QLatin1Char('0'))
                     .arg(half % 2 ? 30 : 0, 2, 10, QLatin1Char('0'));
    return times;
}

TfmOptions::TfmOptions(db::Connection& connection, db::Query& users, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_users(users),
      m_lists(std::make_unique<OptionLists>(connection))
{
    setObjectName(QStringLiteral("fmOptions"));
    setWindowTitle(QStringLiteral("Настройка"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_bar = new widgets::DialogBar(this, true);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, &TfmOptions::sbHelpClick);
    connect(m_bar, &widgets::DialogBar::okClicked, this, &TfmOptions::sbOKClick);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &TfmOptions::sbCancelClick);

    m_tvOptions = new widgets::MarkupTreeView(this);
    m_tvOptions->setObjectName(QStringLiteral("tvOptions"));
    m_tvOptions->setHeaderHidden(true);
    QPalette accent = m_tvOptions->palette();
    accent.setColor(QPalette::Base, kAccent);
    m_tvOptions->setPalette(accent);
    m_tvOptions->setFixedWidth(240);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pcOptions"));
    m_pages->addWidget(buildPersonalPage());
    m_pages->addWidget(buildDayPage());
    m_pages->addWidget(buildWeekMonthPage());
    m_workPlaces = new WorkPlacesPage(*m_lists, m_pages);
    m_templates = new TemplatesPage(m_lists->templates(), m_pages);
    m_sounds = new SoundsPage(m_lists->sounds(), m_pages);
    m_pages->addWidget(m_workPlaces);
    m_pages->addWidget(m_templates);
    m_pages->addWidget(m_sounds);
    buildTree();
    connect(m_tvOptions->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfmOptions::tvOptionsChange);

    auto* body = new QHBoxLayout;
    body->addWidget(m_tvOptions);
    body->addWidget(m_pages, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 6);
    layout->addWidget(m_bar);
    layout->addLayout(body, 1);
    resize(680, 420);
}

TfmOptions::~TfmOptions() = default;

void TfmOptions::buildTree()
{
    widgets::MarkupTreeModel* model = m_tvOptions->markupModel();
    model->appendItem(QStringLiteral("<b>Персональные настройки</b>"), PersonalPage);
    const QModelIndex grid =
        model->appendItem(QStringLiteral("<b>Настройка сетки расписания</b>"), kGroupNode);
    model->appendItem(QStringLiteral("День"), DayPage, grid);
    model->appendItem(QStringLiteral("Неделя / Месяц"), WeekMonthPage, grid);
    model->appendItem(QStringLiteral("<b>Рабочие места (отделы)</b>"), WorkPlacesPageIndex);
    model->appendItem(QStringLiteral("<b>Вид заметки</b>"), TemplatesPageIndex);
    const QModelIndex notice = model->appendItem(QStringLiteral("<b>Оповещение</b>"), kGroupNode);
    model->appendItem(QStringLiteral("Звуки"), SoundsPageIndex, notice);
    m_tvOptions->expandAll();
}

QWidget* TfmOptions::buildPersonalPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsPersonal"));
    m_cbStartSystem = new QComboBox(page);
    m_cbStartSystem->setObjectName(QStringLiteral("cbStartSystem"));
    m_cbStartSystem->addItems({QStringLiteral("День"), QStringLiteral("Неделя"), QStringLiteral("Месяц"),
                               QStringLiteral("Задания"), QStringLiteral("Почта"), QStringLiteral("Чат")});
    auto box = [page](const char* name, const QString& text) {
        auto* b = new QCheckBox(text, page);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_cbNewEvents = box("cbNewEvents", QStringLiteral("Выводить сообщения о новых задачах"));
    m_cbNewTexts = box("cbNewTexts", QStringLiteral("Выводить сообщения о новой почте"));
    m_cbNewMesages = box("cbNewMesages", QStringLiteral("Выводить сообщения о новых сообщениях в чате"));
    auto* start = new QHBoxLayout;
    start->addWidget(new QLabel(QStringLiteral("При запуске системы переходить "), page));
    start->addWidget(m_cbStartSystem);
    start->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(start);
    layout->addWidget(m_cbNewEvents);
    layout->addWidget(m_cbNewTexts);
    layout->addWidget(m_cbNewMesages);
    layout->addStretch(1);
    return page;
}

QWidget* TfmOptions::buildDayPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsDay"));
    const QStringList times = visibleTimes();
    m_cbVisibleStart = timeList(page, "cbVisibleStart", times);
    m_cbVisibleEnd = timeList(page, "cbVisibleEnd", times);
    m_cbWorkStart = timeList(page, "cbWorkStart", {});
    m_cbWorkEnd = timeList(page, "cbWorkEnd", {});
    for (QComboBox* visible : {m_cbVisibleStart, m_cbVisibleEnd})
        connect(visible, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_inRule)
                applyVisibleTimeRule();
        });
    m_cb15 = new QRadioButton(QStringLiteral("15 мин"), page);
    m_cb15->setObjectName(QStringLiteral("cb15"));
    m_cb30 = new QRadioButton(QStringLiteral("30 мин"), page);
    m_cb30->setObjectName(QStringLiteral("cb30"));
    m_cb60 = new QRadioButton(QStringLiteral("1 час"), page);
    m_cb60->setObjectName(QStringLiteral("cb60"));
    auto* steps = new QButtonGroup(page);
    for (QRadioButton* b : {m_cb15, m_cb30, m_cb60})
        steps->addButton(b);

    auto* layout = new QGridLayout(page);
    layout->addWidget(heading(page, QStringLiteral("Видимое время")), 0, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("начало "), page), 1, 0);
    layout->addWidget(m_cbVisibleStart, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("окончание"), page), 1, 2);
    layout->addWidget(m_cbVisibleEnd, 1, 3);
    layout->addWidget(heading(page, QStringLiteral("Рабочее время")), 2, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("начало"), page), 3, 0);
    layout->addWidget(m_cbWorkStart, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("окончание"), page), 3, 2);
    layout->addWidget(m_cbWorkEnd, 3, 3);
    layout->addWidget(heading(page, QStringLiteral("Интервал")), 4, 0, 1, 4);
    auto* stepRow = new QHBoxLayout;
    for (QRadioButton* b : {m_cb15, m_cb30, m_cb60})
        stepRow->addWidget(b);
    stepRow->addStretch(1);
    layout->addLayout(stepRow, 5, 0, 1, 4);
    layout->setRowStretch(6, 1);
    layout->setColumnStretch(4, 1);
    return page;
}

QWidget* TfmOptions::buildWeekMonthPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tsWeekMonth"));
    const char* const captions[] = {"<B>Понедельник</B>",
                                    "<B>Вторник</B>",
                                    "<B>Среда</B>",
                                    "<B>Четверг</B>",
                                    "<B>Пятница</B>",
                                    "<B><FONT color=\"#005CB9\" >Суббота</FONT></B>",
                                    "<B><FONT color=\"#AE5E5E\"  >Воскресенье</FONT></B>"};
    auto* layout = new QGridLayout(page);
    layout->addWidget(heading(page, QStringLiteral("Рабочие дни")), 0, 0, 1, 2);
    for (int d = 0; d < 7; ++d) {
        auto* box = new QCheckBox(page);
        box->setObjectName(QStringLiteral("cbD%1").arg(d + 1));
        auto* caption = new widgets::MarkupLabel(QString::fromUtf8(captions[d]), page);
        caption->setBuddy(box);
        box->setAccessibleName(
            QString::fromUtf8(captions[d]).remove(QRegularExpression(QStringLiteral("<[^>]*>"))));
        layout->addWidget(box, d + 1, 0);
        layout->addWidget(caption, d + 1, 1);
        m_days[size_t(d)] = box;
    }
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(8, 1);
    return page;
}

void TfmOptions::setUser(int userId, UserRole role)
{
    m_userId = userId;
    m_role = role;
}

void TfmOptions::setSoundPlayer(tasks::TfmMP* player)
{
    m_sounds->setPlayer(player);
}

void TfmOptions::setTreeAvailable(bool available)
{
    m_tvOptions->setEnabled(available);
}

void TfmOptions::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
    m_pages->setVisible(true);
}

int TfmOptions::shownPage() const
{
    return m_pages->isHidden() ? -1 : m_pages->currentIndex();
}

bool TfmOptions::showModal()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TfmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_setUp)
        FormActivate();
}

void TfmOptions::FormActivate()
{
    m_setUp = false;
    m_cb15->setChecked(true);
    if (m_grid.step == 30)
        m_cb30->setChecked(true);
    else if (m_grid.step == 60)
        m_cb60->setChecked(true);
    m_inRule = true;
    selectText(m_cbVisibleStart, m_grid.startTimeGrid);
    selectText(m_cbVisibleEnd, m_grid.endTimeGrid);
    m_inRule = false;
    applyVisibleTimeRule();
    selectText(m_cbWorkStart, m_grid.startWorkTimeGrid);
    selectText(m_cbWorkEnd, m_grid.endWorkTimeGrid);

    m_tvOptions->setCurrentIndex(m_tvOptions->markupModel()->index(0, 0));
    tvOptionsChange();
    m_tvOptions->expandAll();
    try {
        m_lists->templates().open();
        m_lists->sounds().open();
        db::Query options(m_connection, QStringLiteral("SELECT * FROM Options"));
        options.open();
        for (int d = 0; d < 7; ++d)
            m_days[size_t(d)]->setChecked(!options.isEmpty() &&
                                          isSet(options.value(QLatin1String(kDayColumns[d]))));

        const int me = OptionLists::rowWith(m_users, QStringLiteral("ID"), m_userId);
        auto mine = [&](const char* column) { return m_users.valueAt(me, QLatin1String(column)); };
        const QVariant start = mine("STARTSYSTEM");
        m_cbStartSystem->setCurrentIndex(start.isNull() ? -1 : start.toInt());
        m_cbNewEvents->setChecked(isSet(mine("SNEVENT")));
        m_cbNewTexts->setChecked(isSet(mine("SNTEXT")));
        m_cbNewMesages->setChecked(isSet(mine("SNMESAGE")));

        m_lists->bosses().reopen();
        m_workPlaces->fillBosses();
        if (m_role != UserRole::Administrator)
            m_lists->showWorkPlacesOf(m_userId);
        else if (m_mode == Mode::Full)
            m_lists->showWorkPlacesOf(-1);
        for (db::Query* list : {&m_lists->templates(), &m_lists->workPlaces(), &m_lists->sounds()})
            if (list->isOpen() && !list->isEmpty())
                list->first();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    if (restricted() && m_mode != Mode::Personal)
        m_tvOptions->setCurrentIndex(m_tvOptions->markupModel()->index(2, 0));
}

void TfmOptions::tvOptionsChange()
{
    const QVariant value = m_tvOptions->currentValue();
    if (!value.isValid())
        return;
    if (value.toInt() == kGroupNode) {
        m_pages->setVisible(false);
        return;
    }
    if (restricted())
        return;
    showPage(Page(value.toInt()));
}

void TfmOptions::applyVisibleTimeRule()
{
    m_inRule = true;
    if (m_cbVisibleStart->currentIndex() < 0)
        m_cbVisibleStart->setCurrentIndex(0);
    if (m_cbVisibleEnd->currentIndex() < 0)
        m_cbVisibleEnd->setCurrentIndex(m_cbVisibleEnd->count() - 1);
    if (m_cbVisibleStart->currentText() > m_cbVisibleEnd->currentText()) {
        platform().beep();
        platform().notice(QStringLiteral(
            "Начало отображаемого времени не может быть позже окончания отображаемого времени."));
        m_cbVisibleStart->setCurrentIndex(0);
        m_cbVisibleEnd->setCurrentIndex(m_cbVisibleEnd->count() - 1);
    }
    const QString start = m_cbVisibleStart->currentText();
    const QString end = m_cbVisibleEnd->currentText();
    const QString workStart = m_cbWorkStart->currentText();
    const QString workEnd = m_cbWorkEnd->currentText();
    QStringList entries;
    for (int i = 1; i < m_cbVisibleStart->count(); ++i) {
        const QString t = m_cbVisibleStart->itemText(i);
        if (!(t < start) && !(t > end))
            entries << t;
    }
    for (QComboBox* box : {m_cbWorkStart, m_cbWorkEnd}) {
        box->clear();
        box->addItems(entries);
    }
    if (!selectText(m_cbWorkStart, workStart))
        m_cbWorkStart->setCurrentIndex(entries.isEmpty() ? -1 : 0);
    if (!selectText(m_cbWorkEnd, workEnd))
        m_cbWorkEnd->setCurrentIndex(int(entries.size()) - 1);
    m_inRule = false;
}

GridValues TfmOptions::chosenGrid() const
{
    GridValues g;
    g.step = m_cb60->isChecked() ? 60 : m_cb30->isChecked() ? 30 : 15;
    g.startTimeGrid = m_cbVisibleStart->currentText();
    g.endTimeGrid = m_cbVisibleEnd->currentText();
    g.startWorkTimeGrid = m_cbWorkStart->currentText();
    g.endWorkTimeGrid = m_cbWorkEnd->currentText();
    return g;
}

void TfmOptions::writeOptions()
{
    const GridValues g = chosenGrid();
    db::Params params{{QStringLiteral("STEP"), g.step},
                      {QStringLiteral("STARTTIMEGRID"), g.startTimeGrid},
                      {QStringLiteral("ENDTIMEGRID"), g.endTimeGrid},
                      {QStringLiteral("STARTWORKTIMEGRID"), g.startWorkTimeGrid},
                      {QStringLiteral("ENDWORKTIMEGRID"), g.endWorkTimeGrid}};
    QStringList sets;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        sets << QStringLiteral("%1 = :%1").arg(it.key());
    for (int d = 0; d < 7; ++d) {
        const QString column = QLatin1String(kDayColumns[d]);
        params.insert(column, flagOf(m_days[size_t(d)]->isChecked()));
        sets << QStringLiteral("%1 = :%1").arg(column);
    }
    m_connection.execute(QStringLiteral("UPDATE OPTIONS SET ") + sets.join(QStringLiteral(", ")), params);
}

void TfmOptions::sbOKClick()
{
    if (m_mode == Mode::Full) {
        try {
            writeOptions();
        } catch (const db::DbError& e) {
            // The window stays open with everything the user chose.
            platform().error(e.text());
            return;
        }
    }
    m_confirmed = true;
    m_setUp = true;
    accept();
}

void TfmOptions::sbCancelClick()
{
    if (m_mode == Mode::Full) {
        try {
            m_connection.rollbackRetaining();
            m_lists->reopenAll();
        } catch (const db::DbError& e) {
            platform().error(e.text());
        }
    }
    m_confirmed = false;
    m_setUp = true;
    QDialog::reject();
}

void TfmOptions::reject()
{
    sbCancelClick();
}

void TfmOptions::sbHelpClick()
{
    static const int topics[] = {6, 7, 7, 8, 9, 10};
    const int page = m_pages->currentIndex();
    platform().showHelp(page >= 0 && page < int(std::size(topics)) ? topics[page] : 6);
}

int TfmOptions::startSystem() const
{
    return m_cbStartSystem->currentIndex();
}

bool TfmOptions::newEventNotices() const
{
    return m_cbNewEvents->isChecked();
}

bool TfmOptions::newLetterNotices() const
{
    return m_cbNewTexts->isChecked();
}

bool TfmOptions::newChatNotices() const
{
    return m_cbNewMesages->isChecked();
}

} // namespace tarvik::admin
