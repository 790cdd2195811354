#include "app/controls/ComboBox.h"

#include "tests/app/QtPrinters.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Types `text` into `widget` key by key; QTest knows keys for ASCII characters only.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// A shown, focused box with three items and a text of its own; its events are logged with the
// item index each one saw.
class ComboBoxTest : public testing::Test {
protected:
    void SetUp() override {
        box_.setGeometry(0, 0, 120, 21);
        box_.addItems({QStringLiteral("11 Hz až 15 kHz"), QStringLiteral("11 Hz až 100 Hz"),
                       QStringLiteral("   automaticky")});
        box_.setCurrentIndex(-1);
        box_.setEditText(QStringLiteral("11 Hz až 15 kHz "));
        QObject::connect(&box_, &ComboBox::Click, [this] {
            seen_.append(QStringLiteral("click %1").arg(box_.ItemIndex()));
        });
        QObject::connect(&box_, &ComboBox::Change, [this] {
            seen_.append(QStringLiteral("change %1").arg(box_.ItemIndex()));
        });
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        box_.setFocus();
    }

    QWidget window_;
    ComboBox box_{&window_};
    QStringList seen_;
};

TEST_F(ComboBoxTest, ATextThatIsNoItemHasNoIndex) {
    EXPECT_EQ(box_.ItemIndex(), -1);
    EXPECT_EQ(box_.currentText(), QStringLiteral("11 Hz až 15 kHz "));
}

TEST_F(ComboBoxTest, ChoosingWithTheArrowKeysClicksThenChanges) {
    QTest::keyClick(&box_, Qt::Key_Down);
    QTest::keyClick(&box_, Qt::Key_Down);
    QTest::keyClick(&box_, Qt::Key_Up);
    EXPECT_EQ(seen_,
              (QStringList{"click 0", "change 0", "click 1", "change 1", "click 0", "change 0"}));
    EXPECT_EQ(box_.currentText(), QStringLiteral("11 Hz až 15 kHz"));
}

TEST_F(ComboBoxTest, ChoosingWithTheMouseClicksThenChanges) {
    box_.showPopup();
    QAbstractItemView* list = box_.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(seen_, (QStringList{"click 2", "change 2"}));
    EXPECT_EQ(box_.currentText(), QStringLiteral("   automaticky"));
}

TEST_F(ComboBoxTest, EditingChangesWithTheIndexOfTheTextOnly) {
    box_.lineEdit()->clear();
    seen_.clear();
    Type(&box_, QStringLiteral("11 Hz až 100 Hz"));
    ASSERT_EQ(seen_.size(), 15);
    EXPECT_EQ(seen_.front(), QStringLiteral("change -1"));
    EXPECT_EQ(seen_[13], QStringLiteral("change -1"));
    EXPECT_EQ(seen_.back(), QStringLiteral("change 1"));
    // Nothing was completed onto the typed text.
    seen_.clear();
    QTest::keyClick(&box_, Qt::Key_Backspace);
    EXPECT_EQ(box_.currentText(), QStringLiteral("11 Hz až 100 H"));
    EXPECT_EQ(seen_, QStringList{"change -1"});
}

TEST_F(ComboBoxTest, EnterChoosesNothing) {
    box_.lineEdit()->setText(QStringLiteral("11 HZ AŽ 100 HZ"));
    QTest::keyClick(&box_, Qt::Key_Return);
    EXPECT_EQ(seen_, QStringList{});
    EXPECT_EQ(box_.currentText(), QStringLiteral("11 HZ AŽ 100 HZ"));
}

TEST_F(ComboBoxTest, SelectingFromCodeRaisesNothing) {
    box_.setCurrentIndex(1);
    box_.setCurrentIndex(0);
    EXPECT_EQ(seen_, QStringList{});
    EXPECT_EQ(box_.currentText(), QStringLiteral("11 Hz až 15 kHz"));
    EXPECT_EQ(box_.ItemIndex(), 0);

    // Also over an edited text while the same item is still the current one.
    box_.lineEdit()->setText(QStringLiteral("x"));
    box_.setCurrentIndex(0);
    EXPECT_EQ(box_.ItemIndex(), 0);
    EXPECT_EQ(seen_, QStringList{});
}

} // namespace
