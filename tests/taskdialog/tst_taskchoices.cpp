// Which template and sound rows the task dialog shows for stored keys, and
// which keys its positions read back.

#include "connection.h"
#include "query.h"
#include "taskchoices.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::planner;

namespace {

TaskChoices threeTemplatesTwoSounds()
{
    return TaskChoices(
        {{5, QStringLiteral("Срочный")}, {1, QStringLiteral("Обычный")}, {7, QStringLiteral("Встреча")}},
        {{3, QStringLiteral("Звонок")}, {9, QStringLiteral("Гонг")}});
}

} // namespace

TEST(TaskChoices, TemplateKeyFindsItsRowElseTheLast)
{
    const TaskChoices choices = threeTemplatesTwoSounds();
    const struct
    {
        QVariant key;
        int position;
        bool listed;
    } cases[] = {
        {5, 0, true}, {1, 1, true}, {7, 2, true}, {99, 2, false}, {QVariant(), 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toString().toStdString());
        EXPECT_EQ(choices.templatePositionOf(c.key), c.position);
        EXPECT_EQ(choices.hasTemplate(c.key), c.listed);
    }
    EXPECT_EQ(TaskChoices().templatePositionOf(1), -1) << "no templates, no selection";
}

// Position 0 is "нет"; a key naming no sound (deleted since) lands on the last sound.
TEST(TaskChoices, SoundKeyFindsItsRowAfterNone)
{
    const TaskChoices choices = threeTemplatesTwoSounds();
    EXPECT_EQ(choices.soundChoices(),
              (QStringList{QStringLiteral("нет"), QStringLiteral("Звонок"), QStringLiteral("Гонг")}));
    const struct
    {
        QVariant key;
        int position;
        bool listed;
    } cases[] = {
        {0, 0, true}, {QVariant(), 0, true}, {3, 1, true}, {9, 2, true}, {4, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toString().toStdString());
        EXPECT_EQ(choices.soundPositionOf(c.key), c.position);
        EXPECT_EQ(choices.hasSound(c.key), c.listed);
    }
    EXPECT_EQ(TaskChoices().soundPositionOf(4), 0) << "no sounds: only \"нет\" is left";
}

TEST(TaskChoices, PositionsReadBackKeys)
{
    const TaskChoices choices = threeTemplatesTwoSounds();
    EXPECT_EQ(choices.templateIdAt(-1), QVariant(5)) << "no selection reads the first row";
    EXPECT_EQ(choices.templateIdAt(2), QVariant(7));
    EXPECT_FALSE(choices.templateIdAt(3).isValid());
    EXPECT_FALSE(TaskChoices().templateIdAt(-1).isValid()) << "no templates, no key";
    EXPECT_EQ(choices.soundIdAt(0), QVariant(0));
    EXPECT_EQ(choices.soundIdAt(1), QVariant(3));
    EXPECT_EQ(choices.soundIdAt(2), QVariant(9));
    EXPECT_FALSE(choices.soundIdAt(3).isValid());
}

TEST(TaskChoices, ReadsBothTablesInTheirOrderWithoutMovingTheLists)
{
    test::TestDatabase database;
    auto c = database.connect();
    c->execute(QStringLiteral("INSERT INTO TEMPLATE (ID, NAME) VALUES (5, 'Срочный')"));
    c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (3, 'Звонок', 'c:\\ring.wav')"));
    c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (2, 'Гонг', 'c:\\gong.wav')"));
    c->commitRetaining();

    db::Query templates(*c, TaskChoices::kTemplatesSql);
    db::Query sounds(*c, TaskChoices::kSoundsSql);
    templates.open();
    sounds.open();
    templates.last();
    const TaskChoices fromLists = TaskChoices::fromLists(templates, sounds);
    EXPECT_EQ(templates.recNo(), templates.recordCount() - 1);

    const TaskChoices loaded = TaskChoices::load(*c);
    for (const TaskChoices* choices : {&fromLists, &loaded}) {
        QStringList expectedTemplates;
        for (int r = 0; r < templates.recordCount(); ++r)
            expectedTemplates << templates.valueAt(r, QStringLiteral("NAME")).toString();
        EXPECT_EQ(choices->templateNames(), expectedTemplates);
        EXPECT_TRUE(expectedTemplates.contains(QStringLiteral("Срочный")));
        ASSERT_EQ(choices->sounds().size(), 2u);
        EXPECT_EQ(choices->soundPositionOf(sounds.valueAt(0, QStringLiteral("ID"))), 1);
        EXPECT_EQ(choices->soundPositionOf(sounds.valueAt(1, QStringLiteral("ID"))), 2);
    }
}
