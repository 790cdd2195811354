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
        first.setGeometry(0, 0, 50, 20);
        second.setGeometry(60, 0, 50, 20);
        QObject::connect(&second, &Edit::KeyDown, [this](int key, auto) {
            seen.append(QStringLiteral("key %1 on \"%2\"").arg(key).arg(second.text()));
        });
        QObject::connect(&second, &Edit::Enter, [this] { seen.append(QStringLiteral("enter")); });
        QObject::connect(&second, &Edit::Click, [this] { seen.append(QStringLiteral("click")); });
        QObject::connect(&second, &Edit::Change, [this] {
            seen.append(QStringLiteral("change to \"%1\"").arg(second.text()));
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        first.setFocus();
    }

    QWidget window;
    Edit first{QString(), &window};
    Edit second{QString(), &window};
    QStringList seen;
};

TEST_F(EditTest, KeyDownComesBeforeTheKeyActsAndEnterIs13) {
    second.setFocus();
    seen.clear();
    QTest::keyClicks(&second, QStringLiteral("4a"));
    QTest::keyClick(&second, Qt::Key_Return);
    QTest::keyClick(&second, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&second, Qt::Key_Backspace);
    EXPECT_EQ(seen, (QStringList{"key 52 on \"\"", "change to \"4\"", "key 65 on \"4\"",
                                 "change to \"4a\"", "key 13 on \"4a\"", "key 13 on \"4a\"",
                                 QStringLiteral("key %1 on \"4a\"").arg(Qt::Key_Backspace),
                                 "change to \"4\""}));
}

TEST_F(EditTest, TabRaisesKeyDownInTheBoxItLeaves) {
    second.setFocus();
    seen.clear();
    QTest::keyClick(&second, Qt::Key_Tab);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("key %1 on \"\"").arg(Qt::Key_Tab)}));
    EXPECT_TRUE(first.hasFocus());
}

TEST_F(EditTest, EnterOnTheFocusByTabOrClickAndClickAfterIt) {
    QTest::keyClick(&first, Qt::Key_Tab);
    EXPECT_TRUE(second.hasFocus());
    EXPECT_EQ(seen, QStringList{"enter"});

    // Focused already: only the click.
    seen.clear();
    QTest::mouseClick(&second, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(seen, QStringList{"click"});

    first.setFocus();
    seen.clear();
    QTest::mouseClick(&second, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(seen, (QStringList{"enter", "click"}));

    // Another button, or a release outside the box, is no click.
    seen.clear();
    QTest::mouseClick(&second, Qt::RightButton, {}, {5, 5});
    QTest::mousePress(&second, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(&second, Qt::LeftButton, {}, {80, 5});
    EXPECT_EQ(seen, QStringList{});
}

TEST_F(EditTest, TheWindowComingBackIsNoEnter) {
    second.setFocus();
    seen.clear();
    QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&second, &focus);
    EXPECT_EQ(seen, QStringList{});
}

TEST_F(EditTest, ChangeOnlyWhenTheTextReallyChanges) {
    second.setText(QStringLiteral("500"));
    second.setText(QStringLiteral("500"));
    second.clear();
    EXPECT_EQ(seen, (QStringList{"change to \"500\"", "change to \"\""}));
}

TEST_F(EditTest, ReadNumberTakesEmptyAsZeroAndLeavesOtherTextAlone) {
    EXPECT_EQ(second.ReadNumber(), 0);
    EXPECT_EQ(second.text(), QStringLiteral("0"));
    second.setText(QStringLiteral("abc"));
    EXPECT_EQ(second.ReadNumber(), std::nullopt);
    EXPECT_EQ(second.text(), QStringLiteral("abc"));
    second.setText(QStringLiteral(" $1B8"));
    EXPECT_EQ(second.ReadNumber(), 440);
}

} // namespace
