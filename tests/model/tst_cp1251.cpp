#include "cp1251.h"
#include "dberror.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace tarvik::db;

TEST(Cp1251, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(cp1251::encode(cp1251::decode(all)), all);
}

// The mapping must agree with the system's own codec wherever it has one.
TEST(Cp1251, AgreesWithSystemCodec)
{
    QStringDecoder system("windows-1251");
    if (!system.isValid())
        GTEST_SKIP() << "no system codec for windows-1251";
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue; // unassigned in the code page
        const QByteArray one(1, char(b));
        EXPECT_EQ(cp1251::decode(one), QString(system.decode(one))) << "byte " << b;
    }
}

TEST(Cp1251, CyrillicAndPunctuation)
{
    const QString text = QStringLiteral("Съешь ещё этих мягких французских булок — №5 «ёлка»");
    EXPECT_EQ(cp1251::decode(cp1251::encode(text)), text);
    EXPECT_EQ(cp1251::encode(QStringLiteral("Я")), QByteArray("\xDF"));
    EXPECT_EQ(cp1251::encode(QStringLiteral("ё")), QByteArray("\xB8"));
}

TEST(Cp1251, CharacterOutsideCodePageIsClearError)
{
    EXPECT_FALSE(cp1251::canEncode(QStringLiteral("日本")));
    try {
        (void)cp1251::encode(QStringLiteral("Задача 日"));
        FAIL() << "no error";
    } catch (const EncodingError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Символ «日» нельзя сохранить в базе данных. Измените текст."));
    }
    // Every character once, an emoji whole, an invisible one by its code.
    EXPECT_EQ(cp1251::unencodable(QStringLiteral("😀 中文 ğ € 中\u200B")),
              (QStringList{QStringLiteral("😀"), QStringLiteral("中"), QStringLiteral("文"),
                           QStringLiteral("ğ"), QStringLiteral("\u200B")}));
    EXPECT_EQ(cp1251::cannotStoreText({QStringLiteral("😀"), QStringLiteral("\u200B")}),
              QStringLiteral("Символы «😀», U+200B нельзя сохранить в базе данных. Измените текст."));
}
