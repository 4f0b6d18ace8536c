#include "tfmeventsearch.h"

#include "connection.h"
#include "datepicker.h"
#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "resizerule.h"
#include "screencentre.h"
#include "taskchoices.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "tfmtask.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::tasks {

namespace {

QToolButton* flatButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    return button;
}

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

const char16_t* const kScopeNames[] = {u"Везде", u"Заголовок", u"Текст"};

} // namespace

TfmEventSearch::TfmEventSearch(db::Connection& connection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_connection(connection),
      m_query(std::make_unique<db::Query>(connection)),
      m_runDialog([](planner::TfmTask& dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("fmEventSearch"));
    setWindowTitle(kCaption);
    setModal(true);
    m_query->setObjectName(QStringLiteral("qSearchEvent"));
    buildBars();
    m_list = new widgets::TaskListGrid(this);
    m_list->setObjectName(QStringLiteral("dbgSearch"));
    m_list->setEditable(false);
    m_list->setQuery(m_query.get());
    m_list->sortBy(widgets::TaskListModel::Done);
    layout()->addWidget(m_list);
    connect(m_list, &widgets::TaskListGrid::lineDoubleClicked, this, &TfmEventSearch::sbOpenClick);
    resize(760, 420);
    setFixedSize(size());
    widgets::centreOnScreen(this);
}

TfmEventSearch::~TfmEventSearch()
{
    m_list->setQuery(nullptr);
}

void TfmEventSearch::buildBars()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QStyle* s = style();

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnToolBar"));
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(2, 2, 2, 2);
    topRow->addStretch(1);
    QToolButton* cancel =
        flatButton(top, "sbCancel", QStringLiteral("Отмена"), s->standardIcon(QStyle::SP_DialogCancelButton));
    topRow->addWidget(cancel);
    connect(cancel, &QToolButton::clicked, this, &TfmEventSearch::sbCancelClick);
    column->addWidget(top);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pnSearch"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);
    QToolButton* open =
        flatButton(bar, "sbOpen", QStringLiteral("Открыть"), s->standardIcon(QStyle::SP_DialogOpenButton));
    connect(open, &QToolButton::clicked, this, &TfmEventSearch::sbOpenClick);
    QToolButton* print = flatButton(bar, "sbPrint", QStringLiteral("Печать списка"),
                                    s->standardIcon(QStyle::SP_FileDialogDetailedView));
    connect(print, &QToolButton::clicked, this, &TfmEventSearch::sbPrintClick);
    auto* label1 = new QLabel(QStringLiteral("Искать текст"), bar);
    label1->setObjectName(QStringLiteral("Label1"));
    m_edKey = new QLineEdit(bar);
    m_edKey->setObjectName(QStringLiteral("edKey"));
    m_edKey->setMaxLength(kKeyMaxLength);

    m_sbWhereSearch = new QToolButton(bar);
    m_sbWhereSearch->setObjectName(QStringLiteral("sbWhereSearch"));
    m_sbWhereSearch->setToolTip(QStringLiteral("Где искать"));
    m_sbWhereSearch->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_sbWhereSearch->setAutoRaise(true);
    m_sbWhereSearch->setPopupMode(QToolButton::InstantPopup);
    m_pmSearch = new QMenu(m_sbWhereSearch);
    m_pmSearch->setObjectName(QStringLiteral("pmSearch"));
    for (int i = 0; i < 3; ++i)
        m_pmSearch->addAction(QString::fromUtf16(kScopeNames[i]), this,
                              [this, i] { setScope(SearchScope(i)); });
    m_sbWhereSearch->setMenu(m_pmSearch);
    setScope(SearchScope::Everywhere);

    m_cbPeriod = new QCheckBox(QStringLiteral("Период с"), bar);
    m_cbPeriod->setObjectName(QStringLiteral("cbPeriod"));
    const QDate today = platform().now().date();
    m_pdStart = new widgets::DatePicker(bar);
    m_pdStart->setObjectName(QStringLiteral("pdStart"));
    m_pdStart->setDate(today);
    m_pdStart->setEnabled(false);
    auto* label2 = new QLabel(QStringLiteral("по"), bar);
    label2->setObjectName(QStringLiteral("Label2"));
    m_pdEnd = new widgets::DatePicker(bar);
    m_pdEnd->setObjectName(QStringLiteral("pdEnd"));
    m_pdEnd->setDate(today);
    m_pdEnd->setEnabled(false);
    connect(m_cbPeriod, &QCheckBox::toggled, this, [this](bool on) {
        m_pdStart->setEnabled(on);
        m_pdEnd->setEnabled(on);
    });
    auto* search = new QToolButton(bar);
    search->setObjectName(QStringLiteral("sbSearch"));
    search->setText(QStringLiteral("Поиск"));
    search->setToolTip(search->text());
    search->setToolButtonStyle(Qt::ToolButtonTextOnly);
    search->setAutoRaise(true);
    connect(search, &QToolButton::clicked, this, &TfmEventSearch::sbSearchClick);

    const QList<QWidget*> controls{open,      print,           separator(bar), label1,
                                   m_edKey,   m_sbWhereSearch, separator(bar), m_cbPeriod,
                                   m_pdStart, label2,          m_pdEnd,        search};
    for (QWidget* w : controls)
        row->addWidget(w);
    row->setStretchFactor(m_edKey, 1);
    column->addWidget(bar);
}

// The result list's columns follow the task list's rule.
void TfmEventSearch::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_list->setColumnWidths(startup::resize::taskListColumns(m_list->width()));
}

void TfmEventSearch::setScope(SearchScope scope)
{
    m_scope = scope;
    m_sbWhereSearch->setText(QString::fromUtf16(kScopeNames[int(scope)]));
}

void TfmEventSearch::sbSearchClick()
{
    const QString key = m_edKey->text();
    const EventSearchStatement s = EventSearchStatement::build(key, m_scope, m_cbPeriod->isChecked(),
                                                               m_pdStart->date(), m_pdEnd->date());
    if (s.isEmpty()) {
        platform().notice(kNoConditionsMessage);
        return;
    }
    try {
        m_query->close();
        m_query->setSql(s.text());
        for (auto it = s.params.cbegin(); it != s.params.cend(); ++it)
            m_query->setParam(it.key(), it.value());
        m_query->open();
    } catch (const db::DbError& e) {
        m_query->close();
        platform().error(e.text());
    }
}

void TfmEventSearch::sbOpenClick()
{
    if (!m_query->isOpen() || m_query->isEmpty() || m_query->recNo() < 0)
        return;
    try {
        planner::TfmTask dialog(m_choices ? m_choices() : planner::TaskChoices::load(m_connection), this);
        dialog.fillFromRow(*m_query);
        dialog.setViewOnly(planner::TfmTask::ViewOnlyOk::Disabled);
        // "Печать" prints the found event the dialog shows.
        if (m_printEvent)
            dialog.setPrinting(m_query.get(), m_printEvent);
        m_runDialog(dialog);
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TfmEventSearch::sbPrintClick()
{
    emit printRequested(*m_query);
}

void TfmEventSearch::sbCancelClick()
{
    reject();
}

} // namespace tarvik::tasks
