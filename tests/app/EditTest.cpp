#include "app/controls/Edit.h"

#include "tests/app/QtPrinters.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Two shown boxes, "first" focused; every event of the second is logged with the text it saw.
class EditTest : public testing::Test {
protected:
    void SetUp() override {
        first_.setGeometry(0, 0, 50, 20);
        second_.setGeometry(60, 0, 50, 20);
        QObject::connect(&second_, &Edit::KeyDown, [this](int key, auto) {
            seen_.append(QStringLiteral("key %1 on \"%2\"").arg(key).arg(second_.text()));
        });
        QObject::connect(&second_, &Edit::Enter, [this] { seen_.append(QStringLiteral("enter")); });
        QObject::connect(&second_, &Edit::Click, [this] { seen_.append(QStringLiteral("click")); });
        QObject::connect(&second_, &Edit::Change, [this] {
            seen_.append(QStringLiteral("change to \"%1\"").arg(second_.text()));
        });
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        first_.setFocus();
    }

    QWidget window_;
    Edit first_{QString(), &window_};
    Edit second_{QString(), &window_};
    QStringList seen_;
};

TEST_F(EditTest, KeyDownComesBeforeTheKeyActsAndEnterIs13) {
    second_.setFocus();
    seen_.clear();
    QTest::keyClicks(&second_, QStringLiteral("4a"));
    QTest::keyClick(&second_, Qt::Key_Return);
    QTest::keyClick(&second_, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&second_, Qt::Key_Backspace);
    EXPECT_EQ(seen_, (QStringList{"key 52 on \"\"", "change to \"4\"", "key 65 on \"4\"",
                                  "change to \"4a\"", "key 13 on \"4a\"", "key 13 on \"4a\"",
                                  QStringLiteral("key %1 on \"4a\"").arg(Qt::Key_Backspace),
                                  "change to \"4\""}));
}

TEST_F(EditTest, TabRaisesKeyDownInTheBoxItLeaves) {
    second_.setFocus();
    seen_.clear();
    QTest::keyClick(&second_, Qt::Key_Tab);
    EXPECT_EQ(seen_, (QStringList{QStringLiteral("key %1 on \"\"").arg(Qt::Key_Tab)}));
    EXPECT_TRUE(first_.hasFocus());
}

TEST_F(EditTest, EnterOnTheFocusByTabOrClickAndClickAfterIt) {
    QTest::keyClick(&first_, Qt::Key_Tab);
    EXPECT_TRUE(second_.hasFocus());
    EXPECT_EQ(seen_, QStringList{"enter"});

    // Focused already: only the click.
    seen_.clear();
    QTest::mouseClick(&second_, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(seen_, QStringList{"click"});

    first_.setFocus();
    seen_.clear();
    QTest::mouseClick(&second_, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(seen_, (QStringList{"enter", "click"}));

    // Another button, or a release outside the box, is no click.
    seen_.clear();
    QTest::mouseClick(&second_, Qt::RightButton, {}, {5, 5});
    QTest::mousePress(&second_, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(&second_, Qt::LeftButton, {}, {80, 5});
    EXPECT_EQ(seen_, QStringList{});
}

TEST_F(EditTest, TheWindowComingBackIsNoEnter) {
    second_.setFocus();
    seen_.clear();
    QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&second_, &focus);
    EXPECT_EQ(seen_, QStringList{});
}

TEST_F(EditTest, ChangeOnlyWhenTheTextReallyChanges) {
    second_.setText(QStringLiteral("500"));
    second_.setText(QStringLiteral("500"));
    second_.clear();
    EXPECT_EQ(seen_, (QStringList{"change to \"500\"", "change to \"\""}));
}

TEST_F(EditTest, ReadNumberTakesEmptyAsZeroAndLeavesOtherTextAlone) {
    EXPECT_EQ(second_.ReadNumber(), 0);
    EXPECT_EQ(second_.text(), QStringLiteral("0"));
    second_.setText(QStringLiteral("abc"));
    EXPECT_EQ(second_.ReadNumber(), std::nullopt);
    EXPECT_EQ(second_.text(), QStringLiteral("abc"));
    second_.setText(QStringLiteral(" $1B8"));
    EXPECT_EQ(second_.ReadNumber(), 440);
}

} // namespace
