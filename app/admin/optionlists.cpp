#include "optionlists.h"

#include "query.h"

namespace tarvik::admin {

const QString OptionLists::kWorkPlacesSql = QStringLiteral("SELECT * FROM WORKPLACE WHERE BossId = :BossId");
const QString OptionLists::kTemplatesSql = QStringLiteral("SELECT * FROM TEMPLATE");
const QString OptionLists::kSoundsSql = QStringLiteral("SELECT * FROM Sounds");
const QString OptionLists::kBossesSql = QStringLiteral("SELECT * FROM Users WHERE BOSS = 'T' ORDER BY Name");

namespace {

const QString kBossId = QStringLiteral("BossId");

} // namespace

OptionLists::OptionLists(db::Connection& connection)
    : m_workPlaces(std::make_unique<db::Query>(connection, kWorkPlacesSql)),
      m_templates(std::make_unique<db::Query>(connection, kTemplatesSql)),
      m_sounds(std::make_unique<db::Query>(connection, kSoundsSql)),
      m_bosses(std::make_unique<db::Query>(connection, kBossesSql))
{
    m_workPlaces->setObjectName(QStringLiteral("qWorkPlace"));
    m_workPlaces->setParam(kBossId, -1);
    m_workPlaces->setInsertSql(QStringLiteral("INSERT INTO WORKPLACE (NAME, ID, BOSSID, ORDERPOS) "
                                              "VALUES (:NAME, :ID, :BOSSID, :ORDERPOS)"));
    m_workPlaces->setModifySql(
        QStringLiteral("UPDATE WORKPLACE SET ORDERPOS = :ORDERPOS, BOSSID = :BOSSID, NAME = :NAME "
                       "WHERE ID = :OLD_ID"));
    m_workPlaces->setDeleteSql(QStringLiteral("DELETE FROM WorkPlace WHERE ID = :OLD_ID"));
    m_workPlaces->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("WORKPLACE_ID"),
                                  db::Query::KeyDrawn::OnPost);

    m_templates->setObjectName(QStringLiteral("qTemplates"));
    m_templates->setInsertSql(QStringLiteral(
        "INSERT INTO TEMPLATE (ID, NAME, TRACKCOLOR, CAPTIONCOLOR, CAPTIONBG, CAPTIONFONT, BGCOLOR, "
        "HEADERFONT, BRUSHSTILE, TEXTCOLOR, TEXTFONT, CAPTIONFONTCOLOR, HEADERFONTCOLOR, TEXTFONTCOLOR, "
        "CAPTIONFONTSIZE, HEADERFONTSIZE, TEXTFONTSIZE) VALUES (:ID, :NAME, :TRACKCOLOR, :CAPTIONCOLOR, "
        ":CAPTIONBG, :CAPTIONFONT, :BGCOLOR, :HEADERFONT, :BRUSHSTILE, :TEXTCOLOR, :TEXTFONT, "
        ":CAPTIONFONTCOLOR, :HEADERFONTCOLOR, :TEXTFONTCOLOR, :CAPTIONFONTSIZE, :HEADERFONTSIZE, "
        ":TEXTFONTSIZE)"));
    m_templates->setModifySql(QStringLiteral(
        "UPDATE TEMPLATE SET NAME = :NAME, TRACKCOLOR = :TRACKCOLOR, CAPTIONCOLOR = :CAPTIONCOLOR, "
        "CAPTIONBG = :CAPTIONBG, CAPTIONFONT = :CAPTIONFONT, BGCOLOR = :BGCOLOR, HEADERFONT = :HEADERFONT, "
        "BRUSHSTILE = :BRUSHSTILE, TEXTCOLOR = :TEXTCOLOR, TEXTFONT = :TEXTFONT, "
        "CAPTIONFONTCOLOR = :CAPTIONFONTCOLOR, HEADERFONTCOLOR = :HEADERFONTCOLOR, "
        "TEXTFONTCOLOR = :TEXTFONTCOLOR, CAPTIONFONTSIZE = :CAPTIONFONTSIZE, "
        "HEADERFONTSIZE = :HEADERFONTSIZE, TEXTFONTSIZE = :TEXTFONTSIZE WHERE ID = :OLD_ID"));
    m_templates->setDeleteSql(QStringLiteral("DELETE FROM TEMPLATE WHERE ID =:OLD_ID"));
    m_templates->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("TEMPLATE_ID"),
                                 db::Query::KeyDrawn::OnPost);

    m_sounds->setObjectName(QStringLiteral("qSounds"));
    m_sounds->setInsertSql(QStringLiteral("INSERT INTO Sounds (Id, Name, Path) VALUES (:ID, :NAME, :PATH)"));
    m_sounds->setModifySql(QStringLiteral("UPDATE Sounds SET Name = :NAME, Path = :PATH WHERE Id = :OLD_ID"));
    m_sounds->setDeleteSql(QStringLiteral("DELETE FROM Sounds WHERE Id = :OLD_ID"));
    m_sounds->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("SOUNDS_ID"));

    m_bosses->setObjectName(QStringLiteral("qBosses"));
}

OptionLists::~OptionLists() = default;

void OptionLists::open()
{
    m_templates->reopen();
    m_sounds->reopen();
    m_bosses->reopen();
    m_workPlaces->reopen();
}

void OptionLists::reopenAll()
{
    for (db::Query* list : {m_workPlaces.get(), m_templates.get(), m_sounds.get()}) {
        list->cancel();
        list->reopen();
    }
}

void OptionLists::showWorkPlacesOf(int bossId)
{
    m_workPlaces->cancel();
    m_workPlaces->setParam(kBossId, bossId);
    m_workPlaces->reopen();
}

int OptionLists::workPlacesBoss() const
{
    return m_workPlaces->param(kBossId).toInt();
}

int OptionLists::rowWith(const db::Query& list, const QString& column, const QVariant& value)
{
    const int index = list.columnIndex(column);
    if (index < 0 || !list.isOpen())
        return -1;
    for (int row = 0; row < list.recordCount(); ++row) {
        if (list.valueAt(row, index) == value)
            return row;
    }
    return -1;
}

QString OptionLists::soundPath(int soundId) const
{
    const int row = rowWith(*m_sounds, QStringLiteral("ID"), soundId);
    return row < 0 ? QString() : m_sounds->valueAt(row, QStringLiteral("PATH")).toString();
}

} // namespace tarvik::admin
