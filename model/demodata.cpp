#include "demodata.h"

#include "connection.h"
#include "wallclock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <random>

namespace tarvik::db {

namespace {

int newUser(Connection& c, const QString& name, bool boss, int bossId)
{
    const int id = int(c.generatorValue(QStringLiteral("USERS_ID")));
    c.execute(QStringLiteral(
                  "INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID, INSYSTEM, MONO, CPWIDTH, "
                  "STARTSYSTEM, SNEVENT, SNTEXT, SNMESAGE) VALUES (:Id, :Name, '1', 'F', :Boss, :BossId, "
                  "'F', 'F', 0, 0, 'T', 'T', 'T')"),
              {{QStringLiteral("Id"), id},
               {QStringLiteral("Name"), name},
               {QStringLiteral("Boss"), boss ? QStringLiteral("T") : QStringLiteral("F")},
               {QStringLiteral("BossId"), boss ? QVariant() : QVariant(bossId)}});
    return id;
}

int newWorkPlace(Connection& c, const QString& name, int bossId)
{
    const int id = int(c.generatorValue(QStringLiteral("WORKPLACE_ID")));
    c.execute(
        QStringLiteral(
            "INSERT INTO WORKPLACE (ID, NAME, BOSSID, ORDERPOS) VALUES (:Id, :Name, :BossId, :Id)"),
        {{QStringLiteral("Id"), id}, {QStringLiteral("Name"), name}, {QStringLiteral("BossId"), bossId}});
    return id;
}

void grant(Connection& c, int userId, int workPlaceId, bool view, bool edit)
{
    c.execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                             "VALUES (GEN_ID(USERWORKPLACE_ID, 1), :UserId, :WorkPlaceId, :WView, :WEdit)"),
              {{QStringLiteral("UserId"), userId},
               {QStringLiteral("WorkPlaceId"), workPlaceId},
               {QStringLiteral("WView"), view ? QStringLiteral("T") : QStringLiteral("F")},
               {QStringLiteral("WEdit"), edit ? QStringLiteral("T") : QStringLiteral("F")}});
}

int newTemplate(Connection& c, const QString& name, int track, int captionBg, int bg, int headerColor)
{
    const int id = int(c.generatorValue(QStringLiteral("TEMPLATE_ID")));
    c.execute(
        QStringLiteral(
            "INSERT INTO TEMPLATE (ID, NAME, TRACKCOLOR, CAPTIONBG, CAPTIONFONT, CAPTIONFONTCOLOR, "
            "CAPTIONFONTSIZE, HEADERFONT, HEADERFONTCOLOR, HEADERFONTSIZE, BGCOLOR, TEXTFONT, TEXTFONTCOLOR, "
            "TEXTFONTSIZE, CAPTIONCOLOR, TEXTCOLOR, BRUSHSTILE, TDEFAULT) VALUES (:Id, :Name, :Track, "
            ":CaptionBg, 'MS Sans Serif', 0, 8, 'MS Sans Serif', :HeaderColor, 9, :Bg, 'MS Sans Serif', 0, "
            "8, "
            "0, 0, 0, 'F')"),
        {{QStringLiteral("Id"), id},
         {QStringLiteral("Name"), name},
         {QStringLiteral("Track"), track},
         {QStringLiteral("CaptionBg"), captionBg},
         {QStringLiteral("Bg"), bg},
         {QStringLiteral("HeaderColor"), headerColor}});
    return id;
}

} // namespace

void fillDemoOffice(Connection& c, QDate month)
{
    // Colours are stored with red in the low byte.
    const int urgent = newTemplate(c, QStringLiteral("Срочное"), 0x0000FF, 0x8080FF, 0xE0E0FF, 0x0000C0);
    const int meeting = newTemplate(c, QStringLiteral("Совещание"), 0x008000, 0x80C080, 0xE0FFE0, 0x006000);
    const int routine =
        newTemplate(c, QStringLiteral("Текущая работа"), 0xC08000, 0xF0D0A0, 0xFFF8F0, 0x804000);
    const int templates[] = {1, urgent, meeting, routine};

    const QString soundPath =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QStringLiteral("/sounds/bell.wav"));
    const int soundId = int(c.generatorValue(QStringLiteral("SOUNDS_ID")));
    c.execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (:Id, 'Колокольчик', :Path)"),
              {{QStringLiteral("Id"), soundId}, {QStringLiteral("Path"), soundPath}});

    const int petrov = newUser(c, QStringLiteral("Петров Иван Сергеевич"), true, 0);
    const int sidorova = newUser(c, QStringLiteral("Сидорова Анна Викторовна"), true, 0);

    QList<int> places;
    const int sales = newWorkPlace(c, QStringLiteral("Отдел продаж"), petrov);
    const int stock = newWorkPlace(c, QStringLiteral("Склад"), petrov);
    const int delivery = newWorkPlace(c, QStringLiteral("Доставка"), petrov);
    const int accounts = newWorkPlace(c, QStringLiteral("Бухгалтерия"), sidorova);
    const int office = newWorkPlace(c, QStringLiteral("Канцелярия"), sidorova);
    places << sales << stock << delivery << accounts << office;

    const int kozlov = newUser(c, QStringLiteral("Козлов Дмитрий"), false, petrov);
    const int orlova = newUser(c, QStringLiteral("Орлова Мария"), false, petrov);
    const int zaitsev = newUser(c, QStringLiteral("Зайцев Павел"), false, sidorova);
    grant(c, kozlov, sales, true, true);
    grant(c, kozlov, stock, true, false);
    grant(c, orlova, delivery, true, true);
    grant(c, orlova, sales, true, false);
    grant(c, zaitsev, accounts, true, true);
    grant(c, zaitsev, office, true, true);
    const int authors[] = {petrov, petrov, petrov, sidorova, sidorova};

    const QStringList headers = {QStringLiteral("Планёрка"),
                                 QStringLiteral("Звонок клиенту"),
                                 QStringLiteral("Подготовить отчёт"),
                                 QStringLiteral("Инвентаризация"),
                                 QStringLiteral("Приём товара"),
                                 QStringLiteral("Отгрузка заказа"),
                                 QStringLiteral("Сверка с поставщиком"),
                                 QStringLiteral("Проверка счетов"),
                                 QStringLiteral("Обучение сотрудника"),
                                 QStringLiteral("Встреча с партнёром")};
    const QStringList comments = {
        QStringLiteral("Обсудить план на неделю и распределить задачи."),
        QStringLiteral("Уточнить сроки поставки и условия оплаты."),
        QStringLiteral("Собрать данные за прошлый период,\nпередать руководителю до конца дня."),
        QStringLiteral("Проверить остатки по ведомости."),
        QStringLiteral("Сверить накладные с фактическим количеством."),
        QStringLiteral("")};
    const int alarms[] = {0, 0, 5, 10, 20, 60};

    std::mt19937 random(20261209u + uint(month.year() * 12 + month.month()));
    auto pick = [&random](int n) { return int(random() % uint(n)); };
    const QDate first(month.year(), month.month(), 1);
    const QDateTime now = wallClockNow();
    for (int day = 0; day < first.daysInMonth(); ++day) {
        const QDate date = first.addDays(day);
        const bool weekend = date.dayOfWeek() >= 6;
        for (int p = 0; p < places.size(); ++p) {
            const int count = weekend ? 0 : 1 + pick(3);
            for (int k = 0; k < count; ++k) {
                const QDateTime start = wallClock(date, QTime(9 + 3 * k + pick(2), pick(2) * 30));
                const QDateTime end = start.addSecs(60 * (30 + 30 * pick(4)));
                const bool past = end < now;
                c.execute(
                    QStringLiteral(
                        "INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, "
                        "ISPERCENT, WORKPLACE, TEMPLATE, DATEEDIT, ALARM, SOUND) VALUES (GEN_ID(EVENTS_ID, "
                        "1), "
                        ":UsersId, :Header, :Comment, :StartTime, :EndTime, :IsFinish, :IsPercent, "
                        ":WorkPlace, "
                        ":Template, :DateEdit, :Alarm, :Sound)"),
                    {{QStringLiteral("UsersId"), authors[p]},
                     {QStringLiteral("Header"), headers.at(pick(int(headers.size())))},
                     {QStringLiteral("Comment"), comments.at(pick(int(comments.size())))},
                     {QStringLiteral("StartTime"), start},
                     {QStringLiteral("EndTime"), end},
                     {QStringLiteral("IsFinish"),
                      past && pick(4) != 0 ? QStringLiteral("T") : QStringLiteral("F")},
                     {QStringLiteral("IsPercent"), past ? 100 : 10 * pick(6)},
                     {QStringLiteral("WorkPlace"), places.at(p)},
                     {QStringLiteral("Template"), templates[pick(4)]},
                     {QStringLiteral("DateEdit"), now},
                     {QStringLiteral("Alarm"), alarms[pick(6)]},
                     {QStringLiteral("Sound"), pick(2) ? QVariant(soundId) : QVariant(0)}});
            }
        }
    }

    // A letter from each boss to a worker, stored in both mailboxes.
    struct Letter
    {
        int from, to;
        QString subject, body;
    };
    const Letter letters[] = {
        {petrov, kozlov, QStringLiteral("Отчёт по продажам"),
         QStringLiteral("Дмитрий, подготовьте, пожалуйста, отчёт по продажам за месяц.")},
        {sidorova, zaitsev, QStringLiteral("Счета поставщиков"),
         QStringLiteral("Павел, проверьте счета, поступившие на этой неделе.")}};
    for (const Letter& l : letters)
        for (int owner : {l.to, l.from})
            c.execute(
                QStringLiteral("INSERT INTO TEXTS (ID, IDUSER, IDFROM, IDTO, SUBJ, BODY, WRITEDATE) VALUES "
                               "(GEN_ID(TEXTS_ID, 1), :IdUser, :IdFrom, :IdTo, :Subj, :Body, :WriteDate)"),
                {{QStringLiteral("IdUser"), owner},
                 {QStringLiteral("IdFrom"), l.from},
                 {QStringLiteral("IdTo"), l.to},
                 {QStringLiteral("Subj"), l.subject},
                 {QStringLiteral("Body"), l.body},
                 {QStringLiteral("WriteDate"), now}});
}

} // namespace tarvik::db
