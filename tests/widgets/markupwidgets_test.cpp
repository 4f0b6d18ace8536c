#include "markupcombobox.h"
#include "markupitemdelegate.h"
#include "markuplabel.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik::widgets;

namespace {

// How many pixels of the widget are clearly red: the red markup drew.
int redPixels(QWidget& w)
{
    const QImage image = w.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                ++count;
        }
    return count;
}

} // namespace

TEST(MarkupLabel, ClickOnALinkReportsItsTarget)
{
    MarkupLabel label(QStringLiteral("<a href=\"user7\">Пётр Петров</a> пишет"));
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.resize(200, 30);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    QSignalSpy clicked(&label, &MarkupLabel::linkClicked);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(8, label.fontMetrics().height() / 2));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), "user7");
    EXPECT_EQ(label.markup(), "<a href=\"user7\">Пётр Петров</a> пишет");
}

TEST(MarkupLabel, DrawsColourAndPictures)
{
    MarkupLabel plain(QStringLiteral("<b>Иван</b>"));
    MarkupLabel red(QStringLiteral("<font color=\"clRed\"><b>Иван</b></font>"));
    MarkupLabel done(QStringLiteral("<IMG src=\"idx:2\">"));
    EXPECT_EQ(redPixels(plain), 0);
    EXPECT_GT(redPixels(red), 0);
    EXPECT_GT(redPixels(done), 0) << "the finished task's tick is red";
}

TEST(MarkupComboBox, PositionsFollowTheOrderOfAdding)
{
    MarkupComboBox box;
    QSignalSpy changed(&box, &QComboBox::currentIndexChanged);
    box.setMarkupItems({"<font color=\"clRed\"><b>Админ</b></font>", "<b>Босс</b>", "Рабочий"});
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.selectedPosition(), 0);
    box.selectPosition(2);
    EXPECT_EQ(box.selectedPosition(), 2);
    EXPECT_EQ(changed.last().at(0).toInt(), 2);
    EXPECT_EQ(box.markupItem(1), "<b>Босс</b>");
    // The display text is plain, so typing a name finds it.
    EXPECT_EQ(box.itemText(0), "Админ");
    EXPECT_EQ(box.findText(QStringLiteral("Босс")), 1);
    box.selectPosition(-1);
    EXPECT_EQ(box.selectedPosition(), -1);
}

TEST(MarkupComboBox, ClosedBoxDrawsTheChosenItemsMarkup)
{
    MarkupComboBox box;
    box.addMarkupItem(QStringLiteral("<font color=\"clSilver\">Иван</font>"));
    box.addMarkupItem(QStringLiteral("<font color=\"clRed\"><b>Админ</b></font>"));
    box.resize(160, box.sizeHint().height());
    box.selectPosition(0);
    EXPECT_EQ(redPixels(box), 0);
    box.selectPosition(1);
    EXPECT_GT(redPixels(box), 0);
}

TEST(MarkupComboBox, PopupItemsKeepTheirMarkup)
{
    MarkupComboBox box;
    box.addMarkupItem(QStringLiteral("<b>Босс</b>"), 42);
    EXPECT_NE(qobject_cast<MarkupItemDelegate*>(box.itemDelegate()), nullptr);
    EXPECT_EQ(box.model()->index(0, 0).data(MarkupRole).toString(), "<b>Босс</b>");
    EXPECT_EQ(box.itemData(0).toInt(), 42);
}

TEST(MarkupTreeModel, PassesTheModelTesterWhileBuiltAndCleared)
{
    MarkupTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QModelIndex admins = model.appendItem(QStringLiteral("<IMG src=\"idx:7\"> <b>Администраторы</b>"));
    model.appendItem(QStringLiteral("Админ"), 1, admins);
    const QModelIndex boss = model.appendItem(QStringLiteral("<IMG src=\"idx:1\"> <b>Босс</b>"), 2);
    const QModelIndex worker = model.appendItem(QStringLiteral("Рабочий"), 3, boss);
    model.setMarkup(worker, QStringLiteral("<font color=\"clSilver\">Рабочий</font>"));

    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(boss), 1);
    EXPECT_EQ(model.parent(worker), boss);
    EXPECT_EQ(admins.data().toString(), " Администраторы");
    EXPECT_EQ(worker.data(MarkupRole).toString(), "<font color=\"clSilver\">Рабочий</font>");
    EXPECT_EQ(worker.data(Qt::UserRole).toInt(), 3);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(MarkupTreeView, DrawsEntriesAndReportsLinks)
{
    MarkupTreeView tree;
    const QModelIndex root = tree.markupModel()->appendItem(QStringLiteral("<b>Рабочие места</b>"));
    const QModelIndex place = tree.markupModel()->appendItem(
        QStringLiteral("<a href=\"wp5\"><font color=\"clRed\">Склад</font></a>"), 5, root);
    tree.expandAll();
    tree.resize(200, 100);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    EXPECT_EQ(tree.indentation(), 19);
    EXPECT_GT(redPixels(*tree.viewport()), 0);

    QSignalSpy clicked(&tree, &MarkupTreeView::linkClicked);
    const QRect rect = tree.visualRect(place);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 8, rect.center().y()));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(1).toString(), "wp5");
    EXPECT_EQ(tree.currentValue().toInt(), 5);
    // A click beside the text is no link.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(rect.right() - 2, rect.center().y()));
    EXPECT_EQ(clicked.size(), 1);
}
