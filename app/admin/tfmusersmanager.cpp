#include "tfmusersmanager.h"

#include "dberror.h"
#include "dialogbar.h"
#include "listpage.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "optionlists.h"
#include "pictures.h"
#include "platform.h"
#include "query.h"
#include "querylistmodel.h"
#include "tfmadduser.h"
#include "tfmoptions.h"
#include "workplacespage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

namespace {

// Firebird's codes for a value refused by a unique index or key.
constexpr long kNoDuplicate = 335544349;
constexpr long kUniqueKeyViolation = 335544665;

const QString kAdministratorName = QStringLiteral("Администратор");

QVariant picture(const QVariant& flag, const QImage& image)
{
    if (flag.toString() == QLatin1String("T"))
        return QPixmap::fromImage(image);
    QPixmap empty(widgets::Pictures::ImageSize, widgets::Pictures::ImageSize);
    empty.fill(Qt::transparent);
    return empty;
}

} // namespace

bool isDuplicateName(const db::DbError& error)
{
    return error.code() == kNoDuplicate || error.code() == kUniqueKeyViolation;
}

TfmUsersManager::TfmUsersManager(db::Connection& connection, TfmOptions& options, int userId, UserRole role,
                                 bool exclusive, QWidget* parent)
    : QDialog(parent), m_options(options), m_userId(userId), m_role(role),
      m_qAdmins(std::make_unique<db::Query>(
          connection, QStringLiteral("SELECT * FROM Users WHERE AdmCheck = 'T' ORDER BY Name"))),
      m_qBosses(std::make_unique<db::Query>(
          connection, QStringLiteral("SELECT * FROM Users WHERE BOSS = 'T' ORDER BY Name"))),
      m_qWorkers(std::make_unique<db::Query>(
          connection, QStringLiteral("SELECT * FROM Users WHERE BossId = :BossId ORDER BY Name"))),
      m_qUsers(std::make_unique<db::Query>(connection, QStringLiteral("SELECT * FROM Users ORDER BY Name"))),
      m_qUserWorkPlace(std::make_unique<db::Query>(
          connection,
          QStringLiteral("SELECT Id, UserId, WorkPlaceId, WView, WEdit, (SELECT Name FROM WorkPlace "
                         "WHERE Id = UserWorkPlace.WorkPlaceId) AS Name FROM USERWORKPLACE "
                         "WHERE UserId = :UserId")))
{
    setObjectName(QStringLiteral("fmUsersManager"));
    setWindowTitle(QStringLiteral("Менеджер пользователей"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_qUsers->setInsertSql(QStringLiteral("INSERT INTO Users (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID) "
                                          "VALUES (:ID, :NAME, :PASS, :ADMCHECK, :BOSS, :BOSSID)"));
    m_qUsers->setModifySql(
        QStringLiteral("UPDATE Users SET NAME = :NAME, PASS = :PASS, ADMCHECK = :ADMCHECK, "
                       "BOSS = :BOSS, BOSSID = :BOSSID WHERE ID = :OLD_ID"));
    m_qUsers->setDeleteSql(QStringLiteral("DELETE FROM Users WHERE ID = :OLD_ID"));
    m_qUsers->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("USERS_ID"), db::Query::KeyDrawn::OnPost);
    m_qUserWorkPlace->setInsertSql(QStringLiteral(
        "INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID) VALUES (:ID, :USERID, :WORKPLACEID)"));
    m_qUserWorkPlace->setModifySql(
        QStringLiteral("UPDATE USERWORKPLACE SET WEDIT = :WEDIT, WVIEW = :WVIEW WHERE ID = :OLD_ID"));
    m_qUserWorkPlace->setDeleteSql(QStringLiteral("DELETE FROM USERWORKPLACE WHERE ID = :OLD_ID"));
    m_qUserWorkPlace->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("USERWORKPLACE_ID"));
    m_qUserWorkPlace->setParam(QStringLiteral("UserId"), 0);

    m_bar = new widgets::DialogBar(this, true);
    m_sbAddAdmin = m_bar->addLeftButton(
        QStringLiteral("sbAddAdmin"), QStringLiteral("Добавить администратора"),
        QIcon(QPixmap::fromImage(widgets::Pictures::imageList()[widgets::Pictures::Group])));
    m_sbAddBoss = m_bar->addLeftButton(
        QStringLiteral("sbAddBoss"), QStringLiteral("Добавить управляющего"),
        QIcon(QPixmap::fromImage(widgets::Pictures::imageList()[widgets::Pictures::Person])));
    m_sbEdit =
        m_bar->addLeftButton(QStringLiteral("sbEdit"), QStringLiteral("Править"), listIcon(ListIcon::Edit));
    m_sbDel =
        m_bar->addLeftButton(QStringLiteral("sbDel"), QStringLiteral("Удалить"), listIcon(ListIcon::Delete));
    connect(m_sbAddAdmin, &QToolButton::clicked, this, &TfmUsersManager::sbAddAdminClick);
    connect(m_sbAddBoss, &QToolButton::clicked, this, &TfmUsersManager::sbAddBossClick);
    connect(m_sbEdit, &QToolButton::clicked, this, &TfmUsersManager::sbEditClick);
    connect(m_sbDel, &QToolButton::clicked, this, &TfmUsersManager::sbDelClick);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, [] { platform().showHelp(5); });
    connect(m_bar, &widgets::DialogBar::okClicked, this, &QDialog::accept);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);

    m_tvUsers = new widgets::MarkupTreeView(this);
    m_tvUsers->setObjectName(QStringLiteral("tvUsers"));
    m_tvUsers->setHeaderHidden(true);
    m_tvUsers->setFixedWidth(220);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pcUsers"));
    for (const char* name : {"tsEmpty", "tsAdmin"}) {
        auto* page = new QWidget(m_pages);
        page->setObjectName(QLatin1String(name));
        m_pages->addWidget(page);
    }
    auto* bossPage = new QWidget(m_pages);
    bossPage->setObjectName(QStringLiteral("tsBoss"));
    m_sbAddWorker = new QToolButton(bossPage);
    m_sbAddWorker->setObjectName(QStringLiteral("sbAddWorker"));
    m_sbAddWorker->setText(QStringLiteral("Добавить рабочего"));
    m_sbAddWorker->setToolTip(QStringLiteral("Добавить рабочего"));
    QFont bold = m_sbAddWorker->font();
    bold.setBold(true);
    m_sbAddWorker->setFont(bold);
    connect(m_sbAddWorker, &QToolButton::clicked, this, &TfmUsersManager::sbAddWorkerClick);
    auto* bossLayout = new QVBoxLayout(bossPage);
    bossLayout->addWidget(m_sbAddWorker, 0, Qt::AlignLeft);
    bossLayout->addStretch(1);
    m_pages->addWidget(bossPage);

    auto* workerPage = new QWidget(m_pages);
    workerPage->setObjectName(QStringLiteral("tsWorker"));
    auto* text = new QLabel(QStringLiteral("Рабочий может иметь доступ к рабочим местам (полный или\n"
                                           "для просмотра)."),
                            workerPage);
    auto* frame = new QGroupBox(QStringLiteral(" Права пользователя "), workerPage);
    frame->setFont(bold);
    m_sbAddWorkPlace = new QToolButton(frame);
    m_sbAddWorkPlace->setObjectName(QStringLiteral("sbAddWorkPlace"));
    m_sbAddWorkPlace->setToolTip(QStringLiteral("Добавить"));
    m_sbAddWorkPlace->setIcon(listIcon(ListIcon::Add));
    m_sbDelWorkPlace = new QToolButton(frame);
    m_sbDelWorkPlace->setObjectName(QStringLiteral("sbDelWorkPlace"));
    m_sbDelWorkPlace->setToolTip(QStringLiteral("Удалить"));
    m_sbDelWorkPlace->setIcon(listIcon(ListIcon::Delete));
    m_cbView = new QCheckBox(QStringLiteral("Просмотр"), frame);
    m_cbView->setObjectName(QStringLiteral("cbView"));
    m_cbEdit = new QCheckBox(QStringLiteral("Редактирование"), frame);
    m_cbEdit->setObjectName(QStringLiteral("cbEdit"));
    QFont plain = m_cbView->font();
    plain.setBold(false);
    for (QWidget* w : {static_cast<QWidget*>(m_cbView), static_cast<QWidget*>(m_cbEdit)})
        w->setFont(plain);
    connect(m_sbAddWorkPlace, &QToolButton::clicked, this, &TfmUsersManager::sbAddWorkPlaceClick);
    connect(m_sbDelWorkPlace, &QToolButton::clicked, this, &TfmUsersManager::sbDelWorkPlaceClick);
    connect(m_cbView, &QCheckBox::toggled, this, &TfmUsersManager::cbViewClick);
    connect(m_cbEdit, &QCheckBox::toggled, this, &TfmUsersManager::cbEditClick);
    m_dbgUserWorkPlace = new QTableView(frame);
    m_dbgUserWorkPlace->setObjectName(QStringLiteral("dbgUserWorkPlace"));
    m_dbgUserWorkPlace->setFont(plain);
    m_dbgUserWorkPlace->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbgUserWorkPlace->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbgUserWorkPlace->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbgUserWorkPlace->verticalHeader()->hide();
    auto* rightsModel =
        new QueryListModel(*m_qUserWorkPlace,
                           {{QStringLiteral("NAME"), QStringLiteral(" Рабочее место"), {}},
                            {QStringLiteral("WVIEW"), QStringLiteral(" "),
                             [](const QVariant& v) { return picture(v, widgets::Pictures::eye()); }},
                            {QStringLiteral("WEDIT"), QStringLiteral(" "),
                             [](const QVariant& v) { return picture(v, widgets::Pictures::pencil()); }}},
                           this);
    rightsModel->bindView(m_dbgUserWorkPlace);
    m_dbgUserWorkPlace->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_dbgUserWorkPlace->horizontalHeader()->resizeSection(1, 24);
    m_dbgUserWorkPlace->horizontalHeader()->resizeSection(2, 24);
    for (auto signal : {&db::Query::opened, &db::Query::closed})
        connect(m_qUserWorkPlace.get(), signal, this, &TfmUsersManager::rightsRowChanged);
    for (auto signal : {&db::Query::currentChanged, &db::Query::rowChanged, &db::Query::rowRemoved})
        connect(m_qUserWorkPlace.get(), signal, this, &TfmUsersManager::rightsRowChanged);

    auto* rightsBar = new QHBoxLayout;
    rightsBar->addWidget(m_sbAddWorkPlace);
    rightsBar->addWidget(m_sbDelWorkPlace);
    rightsBar->addSpacing(12);
    rightsBar->addWidget(m_cbView);
    rightsBar->addWidget(m_cbEdit);
    rightsBar->addStretch(1);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(rightsBar);
    frameLayout->addWidget(m_dbgUserWorkPlace, 1);
    auto* workerLayout = new QVBoxLayout(workerPage);
    workerLayout->addWidget(text);
    workerLayout->addWidget(frame, 1);
    m_pages->addWidget(workerPage);

    auto* body = new QHBoxLayout;
    body->addWidget(m_tvUsers);
    body->addWidget(m_pages, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 6);
    layout->addWidget(m_bar);
    layout->addLayout(body, 1);
    resize(620, 400);

    connect(m_tvUsers->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfmUsersManager::tvUsersChange);
    BuildTree();
    // Users are added, changed and deleted only by an administrator alone
    // in the system; rights are kept by everybody who may open the window.
    const bool keepsUsers = role == UserRole::Administrator && exclusive;
    for (QToolButton* b : {m_sbAddAdmin, m_sbAddBoss, m_sbAddWorker, m_sbEdit, m_sbDel})
        b->setEnabled(keepsUsers);
}

TfmUsersManager::~TfmUsersManager() = default;

int TfmUsersManager::nodeRole(const QModelIndex& index) const
{
    return index.data(Qt::UserRole).toList().value(0).toInt();
}

int TfmUsersManager::nodeUser(const QModelIndex& index) const
{
    return index.data(Qt::UserRole).toList().value(1).toInt();
}

int TfmUsersManager::pageShown() const
{
    return m_pages->currentIndex();
}

void TfmUsersManager::BuildTree()
{
    widgets::MarkupTreeModel* model = m_tvUsers->markupModel();
    model->clear();
    for (db::Query* q : {m_qAdmins.get(), m_qBosses.get(), m_qUsers.get(), m_qUserWorkPlace.get()})
        q->reopen();
    auto node = [](int role, int id) { return QVariantList{role, id}; };
    if (m_role == UserRole::Administrator) {
        const QModelIndex group = model->appendItem(
            QStringLiteral("<IMG src=\"idx:7\"> <b>Администраторы</b>"), node(GroupNode, 0));
        for (int r = 0; r < m_qAdmins->recordCount(); ++r)
            model->appendItem(m_qAdmins->valueAt(r, QStringLiteral("NAME")).toString(),
                              node(AdministratorNode, m_qAdmins->valueAt(r, QStringLiteral("ID")).toInt()),
                              group);
    }
    for (int r = 0; r < m_qBosses->recordCount(); ++r) {
        const int bossId = m_qBosses->valueAt(r, QStringLiteral("ID")).toInt();
        if (m_role != UserRole::Administrator && bossId != m_userId)
            continue;
        const QModelIndex boss =
            model->appendItem(QStringLiteral("<IMG src=\"idx:1\"> <b>%1</b>")
                                  .arg(m_qBosses->valueAt(r, QStringLiteral("NAME")).toString()),
                              node(BossNode, bossId));
        m_qWorkers->setParam(QStringLiteral("BossId"), bossId);
        m_qWorkers->reopen();
        for (int w = 0; w < m_qWorkers->recordCount(); ++w)
            model->appendItem(m_qWorkers->valueAt(w, QStringLiteral("NAME")).toString(),
                              node(WorkerNode, m_qWorkers->valueAt(w, QStringLiteral("ID")).toInt()), boss);
    }
    m_tvUsers->expandAll();
    const QModelIndex first = model->index(0, 0);
    m_tvUsers->setCurrentIndex(first);
    if (!first.isValid())
        m_pages->setCurrentIndex(0);
}

void TfmUsersManager::tvUsersChange()
{
    m_pages->setCurrentIndex(0);
    const QModelIndex current = m_tvUsers->currentIndex();
    if (!current.isValid())
        return;
    const int role = nodeRole(current);
    if (role == GroupNode) {
        m_userSelected = false;
        return;
    }
    if (m_role == UserRole::Boss && role == BossNode)
        return;
    try {
        m_qUsers->locate(QStringLiteral("ID"), nodeUser(current));
        m_pages->setCurrentIndex(role);
        m_qUserWorkPlace->setParam(QStringLiteral("UserId"), nodeUser(current));
        m_qUserWorkPlace->reopen();
        m_userSelected = true;
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TfmUsersManager::rightsRowChanged()
{
    m_settingRights = true;
    const bool any = m_qUserWorkPlace->isOpen() && !m_qUserWorkPlace->isEmpty();
    const bool current = any && m_qUserWorkPlace->recNo() >= 0;
    m_cbView->setChecked(current && m_qUserWorkPlace->text(QStringLiteral("WVIEW")) == QLatin1String("T"));
    m_cbEdit->setChecked(current && m_qUserWorkPlace->text(QStringLiteral("WEDIT")) == QLatin1String("T"));
    for (QWidget* w : {static_cast<QWidget*>(m_cbView), static_cast<QWidget*>(m_cbEdit),
                       static_cast<QWidget*>(m_sbDelWorkPlace)})
        w->setEnabled(any);
    m_settingRights = false;
}

void TfmUsersManager::storeRight(const QString& column, bool on)
{
    if (m_qUserWorkPlace->isEmpty() || m_qUserWorkPlace->recNo() < 0)
        return;
    try {
        m_qUserWorkPlace->edit();
        m_qUserWorkPlace->setValue(column, on ? QStringLiteral("T") : QStringLiteral("F"));
        m_qUserWorkPlace->post();
    } catch (const db::DbError& e) {
        m_qUserWorkPlace->cancel();
        platform().error(e.text());
        rightsRowChanged();
    }
}

void TfmUsersManager::cbViewClick(bool checked)
{
    if (m_settingRights)
        return;
    storeRight(QStringLiteral("WVIEW"), checked);
    if (!checked)
        m_cbEdit->setChecked(false);
    m_dbgUserWorkPlace->setFocus();
}

void TfmUsersManager::cbEditClick(bool checked)
{
    if (m_settingRights)
        return;
    storeRight(QStringLiteral("WEDIT"), checked);
    if (checked)
        m_cbView->setChecked(true);
    m_dbgUserWorkPlace->setFocus();
}

void TfmUsersManager::storeUser(const QString& title, QString name, QString password, NewUser kind,
                                bool adding)
{
    const int bossId = nodeUser(m_tvUsers->currentIndex());
    for (;;) {
        TfmAddUser dialog(title, this);
        dialog.setFields(name, password);
        if (dialog.exec() != QDialog::Accepted)
            break;
        name = dialog.name();
        password = dialog.password();
        try {
            if (adding) {
                m_qUsers->append();
                if (kind == NewUser::Administrator)
                    m_qUsers->setValue(QStringLiteral("ADMCHECK"), QStringLiteral("T"));
                else if (kind == NewUser::Boss)
                    m_qUsers->setValue(QStringLiteral("BOSS"), QStringLiteral("T"));
                else
                    m_qUsers->setValue(QStringLiteral("BOSSID"), bossId);
            } else {
                m_qUsers->edit();
            }
            m_qUsers->setValue(QStringLiteral("NAME"), name);
            m_qUsers->setValue(QStringLiteral("PASS"), password);
            m_qUsers->post();
            break;
        } catch (const db::DbError& e) {
            m_qUsers->cancel();
            // Only the database's own uniqueness refusal means the name is
            // taken; anything else (a row locked by another workstation...)
            // is told as the server tells it. The dialog comes back with
            // what was typed.
            if (isDuplicateName(e))
                platform().notice(QStringLiteral("Пользователь с таким именем уже существует"));
            else
                platform().error(e.text());
        }
    }
    try {
        BuildTree();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TfmUsersManager::addUser(NewUser kind)
{
    storeUser(QStringLiteral("Новый пользователь"), {}, {}, kind, true);
}

void TfmUsersManager::sbAddAdminClick()
{
    addUser(NewUser::Administrator);
}

void TfmUsersManager::sbAddBossClick()
{
    addUser(NewUser::Boss);
}

void TfmUsersManager::sbAddWorkerClick()
{
    addUser(NewUser::Worker);
}

void TfmUsersManager::sbEditClick()
{
    if (!m_userSelected || m_qUsers->recNo() < 0)
        return;
    storeUser(QStringLiteral("Правка"), m_qUsers->text(QStringLiteral("NAME")),
              m_qUsers->text(QStringLiteral("PASS")), NewUser::Worker, false);
}

QModelIndex TfmUsersManager::nodeAtPosition(int position) const
{
    QModelIndex index = m_tvUsers->markupModel()->index(0, 0);
    for (int i = 0; i < position && index.isValid(); ++i)
        index = m_tvUsers->indexBelow(index);
    return index;
}

void TfmUsersManager::sbDelClick()
{
    if (!m_userSelected || m_qUsers->recNo() < 0)
        return;
    if (!platform().confirm(QStringLiteral("Вы действительно хотите удалить пользователя?\r"
                                           "При удалении управляющего также удаляются его подчиненные, "
                                           "рабочие места и задания на них!")))
        return;
    if (m_qUsers->text(QStringLiteral("NAME")) == kAdministratorName) {
        platform().notice(QStringLiteral("Невозможно удалить пользователя Администратор!"));
        return;
    }
    const int position = m_tvUsers->currentIndex().row();
    try {
        m_qUsers->deleteRow();
        BuildTree();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    if (position > 1) {
        const QModelIndex at = nodeAtPosition(position);
        if (at.isValid())
            m_tvUsers->setCurrentIndex(at);
    }
}

void TfmUsersManager::sbAddWorkPlaceClick()
{
    const int workerId = nodeUser(m_tvUsers->currentIndex());
    const int bossId = m_qUsers->integer(QStringLiteral("BOSSID"));
    WorkPlacesPage* page = m_options.workPlacesPage();
    m_options.setUser(m_userId, m_role);
    m_options.setMode(TfmOptions::Mode::WorkPlaceChoice);
    m_options.setTreeAvailable(false);
    page->setBossChooserVisible(false);
    bool confirmed = false;
    try {
        m_options.lists().showWorkPlacesOf(bossId);
        page->setButtonsAvailable(true);
        m_options.showPage(TfmOptions::WorkPlacesPageIndex);
        confirmed = m_options.showModal();
        db::Query& places = m_options.lists().workPlaces();
        // A boss without work places has nothing to grant.
        if (confirmed && places.isOpen() && places.recNo() >= 0) {
            const int placeId = places.integer(QStringLiteral("ID"));
            m_qUserWorkPlace->append();
            m_qUserWorkPlace->setValue(QStringLiteral("USERID"), workerId);
            m_qUserWorkPlace->setValue(QStringLiteral("WORKPLACEID"), placeId);
            m_qUserWorkPlace->post();
            m_qUserWorkPlace->reopen();
        }
    } catch (const db::DbError& e) {
        m_qUserWorkPlace->cancel();
        platform().error(e.text());
    }
    page->setButtonsAvailable(false);
    m_options.setTreeAvailable(true);
    page->setBossChooserVisible(true);
    m_options.setMode(TfmOptions::Mode::Full);
}

void TfmUsersManager::sbDelWorkPlaceClick()
{
    if (!platform().confirm(
            QStringLiteral("Вы уверены что хотите удалить доступ пользователя к этому рабочему месту?")))
        return;
    if (m_qUserWorkPlace->isEmpty() || m_qUserWorkPlace->recNo() < 0)
        return;
    try {
        m_qUserWorkPlace->deleteRow();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

} // namespace tarvik::admin
