#include "sqlparams.h"

#include <gtest/gtest.h>

using namespace tarvik::db;

namespace {

struct Case
{
    const char* name;
    QString sql;
    QString expected;
    QStringList markers;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class NamedParameters : public testing::TestWithParam<Case>
{
};

TEST_P(NamedParameters, AreReplacedByMarkers)
{
    const Case& c = GetParam();
    const ParsedSql parsed = parseNamedParameters(c.sql);
    EXPECT_EQ(parsed.sql, c.expected);
    EXPECT_EQ(parsed.markers, c.markers);
}

INSTANTIATE_TEST_SUITE_P(
    Sql, NamedParameters,
    testing::Values(
        Case{"Plain", QStringLiteral("SELECT * FROM Users"), QStringLiteral("SELECT * FROM Users"), {}},
        Case{"CaseFolded", QStringLiteral("WHERE Id = :userId"), QStringLiteral("WHERE Id = ?"), {"USERID"}},
        Case{"RepeatedName",
             QStringLiteral("WHERE IdTo = :IdTo AND IdUser = :IdTo"),
             QStringLiteral("WHERE IdTo = ? AND IdUser = ?"),
             {"IDTO", "IDTO"}},
        Case{"NoBlankBefore",
             QStringLiteral("DELETE FROM TEMPLATE WHERE ID =:OLD_ID"),
             QStringLiteral("DELETE FROM TEMPLATE WHERE ID =?"),
             {"OLD_ID"}},
        Case{"InsideDoubleQuotes",
             QStringLiteral("WHERE A = \"x :No\" AND B = :Yes"),
             QStringLiteral("WHERE A = \"x :No\" AND B = ?"),
             {"YES"}},
        Case{"InsideSingleQuotesWithDoubledQuote",
             QStringLiteral("SET A = 'it''s :No', B = :B"),
             QStringLiteral("SET A = 'it''s :No', B = ?"),
             {"B"}},
        Case{"TimeLiteral",
             QStringLiteral("WHERE T > '9.12.2026 10:30:00'"),
             QStringLiteral("WHERE T > '9.12.2026 10:30:00'"),
             {}},
        Case{"LineComment",
             QStringLiteral("SELECT 1 -- :No\nFROM X WHERE A = :A"),
             QStringLiteral("SELECT 1 -- :No\nFROM X WHERE A = ?"),
             {"A"}},
        Case{"BlockComment",
             QStringLiteral("SELECT /* :No */ :A FROM X"),
             QStringLiteral("SELECT /* :No */ ? FROM X"),
             {"A"}},
        Case{"DigitsAndUnderscore",
             QStringLiteral("VALUES (:Id_2, :x1)"),
             QStringLiteral("VALUES (?, ?)"),
             {"ID_2", "X1"}},
        Case{"LoneColon",
             QStringLiteral("SELECT ':' || A, B FROM X WHERE C = : D"),
             QStringLiteral("SELECT ':' || A, B FROM X WHERE C = : D"),
             {}},
        Case{"UnclosedQuote",
             QStringLiteral("WHERE A = 'open :No"),
             QStringLiteral("WHERE A = 'open :No"),
             {}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace

TEST(SelectItems, TellColumnsAliasesAndUnnamedExpressionsApart)
{
    using I = SelectItem;
    EXPECT_EQ(selectItems(QStringLiteral("SELECT Texts.*, (SELECT Name FROM Users WHERE Id = Texts.IdTo), "
                                         "(SELECT Name FROM Users WHERE Id = Texts.IdFrom) FROM Texts")),
              (QList<I>{I::Star, I::Unnamed, I::Unnamed}));
    EXPECT_EQ(selectItems(QStringLiteral("SELECT Id, UserId, (SELECT Name FROM WorkPlace WHERE Id = "
                                         "UserWorkPlace.WorkPlaceId) AS Name FROM USERWORKPLACE")),
              (QList<I>{I::Named, I::Named, I::Named}));
    EXPECT_EQ(
        selectItems(QStringLiteral("select first 5 distinct a.b, c d, e || f, (x + 1), cast(y as integer), "
                                   "\"Q\" from t")),
        (QList<I>{I::Named, I::Named, I::Unnamed, I::Unnamed, I::Unnamed, I::Named}));
    EXPECT_EQ(selectItems(QStringLiteral("SELECT* FROM Users")), QList<I>{I::Star});
    EXPECT_EQ(selectItems(QStringLiteral("SELECT CASE WHEN a = 1 THEN 'x' END, 'from' FROM t")),
              (QList<I>{I::Unnamed, I::Unnamed}));
    EXPECT_TRUE(selectItems(QStringLiteral("UPDATE t SET a = 1")).isEmpty());
}
