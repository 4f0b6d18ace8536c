// The print commands of the pages on real workstations: the mail page's
// letter for an incoming and a sent letter, the letter dialog's preview
// while writing, the chat and planner views printing themselves.

#include "chatpage.h"
#include "mailpage.h"
#include "messagingfixture.h"
#include "plannerpage.h"
#include "query.h"
#include "reportpdf.h"
#include "tfmaddtexts.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tarvik;

namespace {

class ReportCommandsTest : public test::MessagingFixture
{
protected:
    void SetUp() override
    {
        test::MessagingFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_platform.setPrinterNames({QStringLiteral("Office")});
        m_platform.setPrintOutput(pdf());
    }
    [[nodiscard]] QString pdf() const { return m_dir.filePath(QStringLiteral("out.pdf")); }
    // Presses a tool button and reads what was printed (empty when nothing).
    QString press(QWidget& page, const char* button, const QString& keepAs)
    {
        QFile::remove(pdf());
        page.findChild<QToolButton*>(QLatin1String(button))->click();
        return QFile::exists(pdf()) ? test::pdfText(pdf(), keepAs).simplified() : QString();
    }

    QTemporaryDir m_dir;
};

TEST_F(ReportCommandsTest, MailPrintsTheCurrentLetterInAndOut)
{
    auto boss = station(QStringLiteral("Шеф"));
    auto worker = station(QStringLiteral("Рабочий"));
    auto guard = station(QStringLiteral("Сторож"));
    for (auto* w : {boss.get(), worker.get(), guard.get()})
        w->findChild<QToolButton*>(QStringLiteral("sbTexts"))->click();
    sendLetter(*boss, m_worker, QStringLiteral("План"), QStringLiteral("Зайдите ко мне."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker->mail()->letters().recordCount() == 1; }, 5000));

    const QString incoming = press(*worker->mail(), "sbPrintMesage", QStringLiteral("letter-in.pdf"));
    EXPECT_TRUE(incoming.contains(QStringLiteral("От кого: Шеф Дата:"))) << incoming.toStdString();
    EXPECT_TRUE(incoming.contains(QStringLiteral("Кому: Рабочий Тема: План")));
    EXPECT_TRUE(incoming.contains(QStringLiteral("Зайдите ко мне.")));

    auto* kind = boss->mail()->findChild<QComboBox*>(QStringLiteral("cbTextsType"));
    kind->setCurrentIndex(1);
    boss->mail()->cbTextsTypeChange(1);
    ASSERT_EQ(boss->mail()->letters().recordCount(), 1);
    const QString sent = press(*boss->mail(), "sbPrintMesage", QStringLiteral("letter-out.pdf"));
    EXPECT_TRUE(sent.contains(QStringLiteral("От кого: Шеф Дата:"))) << sent.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("Кому: Рабочий Тема: План")));

    // An empty list prints nothing and asks nothing.
    const int dialogs = m_platform.printDialogs();
    EXPECT_TRUE(press(*guard->mail(), "sbPrintMesage", {}).isEmpty());
    EXPECT_EQ(m_platform.printDialogs(), dialogs);

    // While writing, the dialog previews the letter being written.
    messaging::MailPage::PreviewedLetter previewed;
    boss->mail()->setDialogRunner([&](messaging::TfmAddTexts& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edSubj"))->setText(QStringLiteral("Смена"));
        previewed = boss->mail()->letterOf(d);
        d.sbCancelClick();
    });
    boss->mail()->newLetter(m_guard);
    EXPECT_EQ(previewed.from, QStringLiteral("Шеф"));
    EXPECT_EQ(previewed.to, QStringLiteral("Сторож"));
    EXPECT_EQ(previewed.subject, QStringLiteral("Смена"));
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

TEST_F(ReportCommandsTest, ChatAndPlannerPrintTheirViews)
{
    auto boss = station(QStringLiteral("Шеф"));
    boss->findChild<QToolButton*>(QStringLiteral("sbMesages"))->click();
    say(*boss, -1, QStringLiteral("Всем привет"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return chatLines(*boss).join(u' ').contains(QStringLiteral("Всем привет")); }, 5000));
    const QString chat = press(*boss->chat(), "sbPrintMesages", QStringLiteral("chat.pdf"));
    EXPECT_TRUE(chat.contains(QStringLiteral("Всем привет"))) << chat.toStdString();

    boss->findChild<QToolButton*>(QStringLiteral("sb1"))->click();
    press(*boss->planner(), "sbEventPrint", QStringLiteral("planner.pdf"));
    EXPECT_EQ(test::pdfPages(pdf()), 1);

    m_platform.setPrintDialogAccepted(false);
    EXPECT_TRUE(press(*boss->planner(), "sbEventPrint", {}).isEmpty());
    EXPECT_TRUE(press(*boss->chat(), "sbPrintMesages", {}).isEmpty());
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

} // namespace
