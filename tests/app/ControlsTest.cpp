#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "app/controls/UpDown.h"

#include <QButtonGroup>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(ScrollBarTest, ClampsOnEverySetAndRefusesACrossedRange) {
    QWidget window;
    ScrollBar bar(&window);
    bar.SetMax(15000);
    bar.SetMin(11);
    EXPECT_EQ(bar.Position(), 11);

    bar.SetPosition(20000);
    EXPECT_EQ(bar.Position(), 15000);
    bar.SetMax(1000);
    EXPECT_EQ(bar.Position(), 1000);

    bar.SetMin(2000); // above the maximum: refused
    EXPECT_EQ(bar.Min(), 11);
    EXPECT_EQ(bar.Max(), 1000);
    bar.SetMax(5); // below the minimum: refused
    EXPECT_EQ(bar.Max(), 1000);
    EXPECT_EQ(bar.Position(), 1000);
}

TEST(ScrollBarTest, ChangeFollowsEveryRealChangeOfPosition) {
    QWidget window;
    ScrollBar bar(&window);
    bar.SetMax(100);
    bar.SetPosition(50);
    QSignalSpy changes(&bar, &ScrollBar::Change);
    QList<int> seen;
    QObject::connect(&bar, &ScrollBar::Change, [&] { seen.append(bar.Position()); });

    bar.SetPosition(50); // the same value: nothing
    EXPECT_EQ(changes.count(), 0);
    bar.SetPosition(60);
    bar.SetMax(40); // clamps the position: a change
    bar.SetMin(10); // position 40 stays: nothing
    EXPECT_EQ(seen, (QList<int>{60, 40}));
}

TEST(ScrollBarTest, KeysAndTroughClicksMoveByTheirSteps) {
    QWidget window;
    ScrollBar bar(&window);
    bar.setGeometry(0, 0, 400, 18);
    bar.SetMax(15000);
    bar.SetMin(1000);
    bar.SetArrowStep(500);
    bar.SetPageStep(50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    bar.setFocus();

    QTest::keyClick(&bar, Qt::Key_Right);
    EXPECT_EQ(bar.Position(), 1500);
    QTest::keyClick(&bar, Qt::Key_PageDown);
    EXPECT_EQ(bar.Position(), 1550);
    QTest::keyClick(&bar, Qt::Key_Up);
    EXPECT_EQ(bar.Position(), 1050);
    QTest::keyClick(&bar, Qt::Key_End);
    EXPECT_EQ(bar.Position(), 15000);
    QTest::keyClick(&bar, Qt::Key_Home);
    EXPECT_EQ(bar.Position(), 1000);

    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar.Min();
    option.maximum = bar.Max();
    option.sliderPosition = option.sliderValue = bar.Position();
    option.singleStep = bar.ArrowStep();
    option.pageStep = bar.PageStep();
    const QRect trough = bar.style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                     QStyle::SC_ScrollBarAddPage, &bar);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, trough.center());
    EXPECT_EQ(bar.Position(), 1050);
}

TEST(UpDownTest, ChangingSeesThePositionBeforeThePress) {
    QWidget window;
    UpDown upDown(&window);
    upDown.setGeometry(0, 0, 15, 22);
    upDown.SetMax(16);
    upDown.SetPosition(16);
    QList<int> seen;
    QObject::connect(&upDown, &UpDown::Changing, [&] { seen.append(upDown.Position()); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(upDown.DownArrow(), Qt::LeftButton);
    QTest::mouseClick(upDown.DownArrow(), Qt::LeftButton);
    EXPECT_EQ(seen, (QList<int>{16, 15}));
    EXPECT_EQ(upDown.Position(), 14);
}

TEST(UpDownTest, APressAtTheEndStillRaisesChangingButDoesNotWrap) {
    QWidget window;
    UpDown upDown(&window);
    upDown.SetMax(16);
    upDown.SetPosition(16);
    int changing = 0;
    QObject::connect(&upDown, &UpDown::Changing, [&] { ++changing; });

    upDown.UpArrow()->click();
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(upDown.Position(), 16);

    upDown.SetPosition(-5);
    EXPECT_EQ(upDown.Position(), 0);
    upDown.DownArrow()->click();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(upDown.Position(), 0);
}

TEST(UpDownTest, RangeIsClampedAndNeverCrossed) {
    QWidget window;
    UpDown upDown(&window);
    upDown.SetMax(32);
    upDown.SetPosition(32);
    upDown.SetMax(16);
    EXPECT_EQ(upDown.Position(), 16);
    upDown.SetMin(20);
    EXPECT_EQ(upDown.Min(), 0);
    upDown.SetMax(-1);
    EXPECT_EQ(upDown.Max(), 16);
}

TEST(RadioButtonTest, CheckingFromCodeRaisesClickOnlyOnAChange) {
    QWidget group;
    RadioButton sine(&group);
    RadioButton triangle(&group);
    sine.setChecked(true);
    int sineClicks = 0;
    int triangleClicks = 0;
    QObject::connect(&sine, &RadioButton::Click, [&] { ++sineClicks; });
    QObject::connect(&triangle, &RadioButton::Click, [&] { ++triangleClicks; });

    triangle.setChecked(true);
    EXPECT_EQ(triangleClicks, 1);
    EXPECT_FALSE(sine.isChecked());
    triangle.setChecked(true);
    EXPECT_EQ(triangleClicks, 1);
    sine.click(); // as the user does
    EXPECT_EQ(sineClicks, 1);
    EXPECT_EQ(triangleClicks, 1);
}

TEST(SpeedButtonTest, AGroupKeepsExactlyOneButtonDown) {
    QWidget window;
    QButtonGroup group;
    SpeedButton automatic(&window);
    SpeedButton manual(&window);
    automatic.JoinGroup(group);
    manual.JoinGroup(group);
    manual.SetDown(true);
    int manualClicks = 0;
    QObject::connect(&manual, &SpeedButton::clicked, [&] { ++manualClicks; });

    automatic.click();
    EXPECT_TRUE(automatic.Down());
    EXPECT_FALSE(manual.Down());

    manual.SetDown(true); // from code: down, but no click
    EXPECT_TRUE(manual.Down());
    EXPECT_FALSE(automatic.Down());
    EXPECT_EQ(manualClicks, 0);

    manual.SetDown(false); // the down button of a group cannot go up by itself
    EXPECT_TRUE(manual.Down());
    EXPECT_EQ(manual.focusPolicy(), Qt::NoFocus);
}

TEST(PanelTest, ALeftClickInsideRaisesClick) {
    QWidget window;
    Panel panel(&window);
    panel.setGeometry(0, 0, 100, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(&panel, &Panel::Click);

    QTest::mouseClick(&panel, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&panel, Qt::RightButton, {}, {10, 10});
    QTest::mousePress(&panel, Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, {150, 10}); // let go outside
    EXPECT_EQ(clicks.count(), 1);

    panel.setEnabled(false);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(clicks.count(), 1);
}

} // namespace
