#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "app/controls/UpDown.h"
#include "tests/app/QtPrinters.h"
#include "tests/app/ScrollBarParts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <utility>

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

// Records a bar's Scroll and Change events as text: "LineDown 1500 (at 1000)" is a Scroll
// raised while the position was still 1000, "Change 1500" a change to 1500.
class ScrollLog {
public:
    explicit ScrollLog(ScrollBar& bar) {
        QObject::connect(&bar, &ScrollBar::Scroll, [&bar, this](auto code, int position) {
            entries_.append(QStringLiteral("%1 %2 (at %3)")
                                .arg(QMetaEnum::fromType<ScrollBar::ScrollCode>().valueToKey(
                                    static_cast<int>(code)))
                                .arg(position)
                                .arg(bar.Position()));
        });
        QObject::connect(&bar, &ScrollBar::Change, [&bar, this] {
            entries_.append(QStringLiteral("Change %1").arg(bar.Position()));
        });
    }

    // The entries since the last call.
    QStringList Take() { return std::exchange(entries_, {}); }

private:
    QStringList entries_;
};

// A shown 400-pixel bar over 1000..15000 with arrow step 500 and page step 50, at 1000.
class ScrollBarShownTest : public testing::Test {
protected:
    void SetUp() override {
        bar_.setGeometry(0, 0, 400, 18);
        bar_.SetMax(15000);
        bar_.SetMin(1000);
        bar_.SetArrowStep(500);
        bar_.SetPageStep(50);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        bar_.setFocus();
        log_.Take();
    }

    QWidget window_;
    ScrollBar bar_{&window_};
    ScrollLog log_{bar_};
};

TEST_F(ScrollBarShownTest, KeysAndTroughClicksMoveByTheirSteps) {
    QTest::keyClick(&bar_, Qt::Key_Right);
    EXPECT_EQ(bar_.Position(), 1500);
    QTest::keyClick(&bar_, Qt::Key_PageDown);
    EXPECT_EQ(bar_.Position(), 1550);
    QTest::keyClick(&bar_, Qt::Key_Up);
    EXPECT_EQ(bar_.Position(), 1050);
    QTest::keyClick(&bar_, Qt::Key_End);
    EXPECT_EQ(bar_.Position(), 15000);
    QTest::keyClick(&bar_, Qt::Key_Home);
    EXPECT_EQ(bar_.Position(), 1000);

    QTest::mouseClick(&bar_, Qt::LeftButton, {},
                      PartOf(bar_, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(bar_.Position(), 1050);
}

TEST_F(ScrollBarShownTest, ArrowAndTroughClicksScrollBeforeTheChangeAndEndOnRelease) {
    const QPoint arrow = PartOf(bar_, QStyle::SC_ScrollBarAddLine).center();
    QTest::mousePress(&bar_, Qt::LeftButton, {}, arrow);
    EXPECT_EQ(log_.Take(), (QStringList{"LineDown 1500 (at 1000)", "Change 1500"}));
    QTest::mouseRelease(&bar_, Qt::LeftButton, {}, arrow);
    EXPECT_EQ(log_.Take(), (QStringList{"EndScroll 1500 (at 1500)"}));

    QTest::mouseClick(&bar_, Qt::LeftButton, {},
                      PartOf(bar_, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(log_.Take(),
              (QStringList{"PageDown 1550 (at 1500)", "Change 1550", "EndScroll 1550 (at 1550)"}));

    // At the minimum an arrow click still scrolls and ends, though nothing changes.
    bar_.SetPosition(1000);
    log_.Take();
    QTest::mouseClick(&bar_, Qt::LeftButton, {},
                      PartOf(bar_, QStyle::SC_ScrollBarSubLine).center());
    EXPECT_EQ(log_.Take(), (QStringList{"LineUp 1000 (at 1000)", "EndScroll 1000 (at 1000)"}));
}

TEST_F(ScrollBarShownTest, DraggingTheThumbTracksEveryMoveAndEndsOnRelease) {
    const QPoint thumb = PartOf(bar_, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(&bar_, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(&bar_, thumb + QPoint(40, 0));
    QTest::mouseMove(&bar_, thumb + QPoint(90, 3));
    const QStringList moves = log_.Take();
    ASSERT_EQ(moves.size(), 4);
    EXPECT_TRUE(moves[0].startsWith("Track ") && moves[0].endsWith("(at 1000)"))
        << moves[0].toStdString();
    EXPECT_TRUE(moves[2].startsWith("Track ")) << moves[2].toStdString();
    const int dragged = bar_.Position();
    EXPECT_GT(dragged, 1000);
    EXPECT_EQ(moves[3], QStringLiteral("Change %1").arg(dragged));

    QTest::mouseRelease(&bar_, Qt::LeftButton, {}, thumb + QPoint(90, 3));
    EXPECT_EQ(log_.Take(), (QStringList{QStringLiteral("EndScroll %1 (at %1)").arg(dragged)}));
    EXPECT_EQ(bar_.Position(), dragged);
}

TEST_F(ScrollBarShownTest, KeysScrollAndTheirReleaseEndsTheAction) {
    QTest::keyClick(&bar_, Qt::Key_Right);
    EXPECT_EQ(log_.Take(),
              (QStringList{"LineDown 1500 (at 1000)", "Change 1500", "EndScroll 1500 (at 1500)"}));
    QTest::keyClick(&bar_, Qt::Key_End);
    EXPECT_EQ(log_.Take(), (QStringList{"Bottom 15000 (at 1500)", "Change 15000",
                                        "EndScroll 15000 (at 15000)"}));
    QTest::keyClick(&bar_, Qt::Key_PageUp);
    QTest::keyClick(&bar_, Qt::Key_Home);
    EXPECT_EQ(log_.Take(),
              (QStringList{"PageUp 14950 (at 15000)", "Change 14950", "EndScroll 14950 (at 14950)",
                           "Top 1000 (at 14950)", "Change 1000", "EndScroll 1000 (at 1000)"}));

    // A held key repeats its action and ends once, at the real release.
    const auto send = [this](QEvent::Type type, bool autoRepeat) {
        QKeyEvent key(type, Qt::Key_Right, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&bar_, &key);
    };
    send(QEvent::KeyPress, false);
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(log_.Take(),
              (QStringList{"LineDown 1500 (at 1000)", "Change 1500", "LineDown 2000 (at 1500)",
                           "Change 2000", "EndScroll 2000 (at 2000)"}));

    // Other keys do not scroll.
    QTest::keyClick(&bar_, Qt::Key_A);
    EXPECT_EQ(log_.Take(), QStringList{});
}

TEST_F(ScrollBarShownTest, AKeyLetGoElsewhereEndsTheActionWithTheFocus) {
    QLineEdit other(&window_);
    other.show();
    QTest::keyPress(&bar_, Qt::Key_Left);
    QTest::keyPress(&bar_, Qt::Key_Right);
    other.setFocus();
    EXPECT_EQ(log_.Take(), (QStringList{"LineUp 1000 (at 1000)", "LineDown 1500 (at 1000)",
                                        "Change 1500", "EndScroll 1500 (at 1500)"}));
}

TEST_F(ScrollBarShownTest, AWheelNotchIsAnArrowClick) {
    const auto wheel = [this](int delta) {
        QWheelEvent event({10, 9}, bar_.mapToGlobal(QPointF(10, 9)), {}, {0, delta}, Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar_, &event);
    };
    wheel(-120);
    EXPECT_EQ(log_.Take(),
              (QStringList{"LineDown 1500 (at 1000)", "Change 1500", "EndScroll 1500 (at 1500)"}));
    wheel(240);
    EXPECT_EQ(log_.Take(), (QStringList{"LineUp 1000 (at 1500)", "Change 1000",
                                        "LineUp 1000 (at 1000)", "EndScroll 1000 (at 1000)"}));
    // Half notches add up.
    wheel(-60);
    EXPECT_EQ(log_.Take(), QStringList{});
    wheel(-60);
    EXPECT_EQ(log_.Take(),
              (QStringList{"LineDown 1500 (at 1000)", "Change 1500", "EndScroll 1500 (at 1500)"}));
}

TEST_F(ScrollBarShownTest, CodeChangesRaiseNoScroll) {
    bar_.SetPosition(3000);
    bar_.SetMax(2000);
    bar_.SetMin(1500);
    bar_.SetArrowStep(10);
    EXPECT_EQ(log_.Take(), (QStringList{"Change 3000", "Change 2000"}));
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

TEST(PanelTest, MouseEventsCarryTheButtonAndThePlaceInThePanel) {
    QWidget window;
    Panel panel(&window);
    panel.setGeometry(20, 20, 45, 17);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList seen;
    QObject::connect(&panel, &Panel::MouseDown, [&](Qt::MouseButton button, auto, int x, int y) {
        seen.append(QStringLiteral("down %1 %2,%3").arg(button).arg(x).arg(y));
    });
    QObject::connect(&panel, &Panel::MouseMove, [&](auto, int x, int y) {
        seen.append(QStringLiteral("move %1,%2").arg(x).arg(y));
    });
    QObject::connect(&panel, &Panel::MouseUp, [&](Qt::MouseButton button, auto, int x, int y) {
        seen.append(QStringLiteral("up %1 %2,%3").arg(button).arg(x).arg(y));
    });
    QObject::connect(&panel, &Panel::Click, [&] { seen.append(QStringLiteral("click")); });

    QTest::mousePress(&panel, Qt::LeftButton, {}, {42, 8});
    QTest::mouseMove(&panel, {50, -3}); // outside: the panel keeps the mouse
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, {50, -3});
    QTest::mouseClick(&panel, Qt::RightButton, {}, {1, 2});
    QTest::mouseClick(&panel, Qt::LeftButton, {}, {3, 4});
    EXPECT_EQ(seen, (QStringList{"down 1 42,8", "move 50,-3", "up 1 50,-3", "down 2 1,2",
                                 "up 2 1,2", "down 1 3,4", "click", "up 1 3,4"}));
}

} // namespace
