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
        box.setGeometry(0, 0, 120, 21);
        box.addItems({QStringLiteral("11 Hz až 15 kHz"), QStringLiteral("11 Hz až 100 Hz"),
                      QStringLiteral("   automaticky")});
        box.setCurrentIndex(-1);
        box.setEditText(QStringLiteral("11 Hz až 15 kHz "));
        QObject::connect(&box, &ComboBox::Click,
                         [this] { seen.append(QStringLiteral("click %1").arg(box.ItemIndex())); });
        QObject::connect(&box, &ComboBox::Change,
                         [this] { seen.append(QStringLiteral("change %1").arg(box.ItemIndex())); });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        box.setFocus();
    }

    QWidget window;
    ComboBox box{&window};
    QStringList seen;
};

TEST_F(ComboBoxTest, ATextThatIsNoItemHasNoIndex) {
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.currentText(), QStringLiteral("11 Hz až 15 kHz "));
}

TEST_F(ComboBoxTest, ChoosingWithTheArrowKeysClicksThenChanges) {
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(seen,
              (QStringList{"click 0", "change 0", "click 1", "change 1", "click 0", "change 0"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("11 Hz až 15 kHz"));
}

TEST_F(ComboBoxTest, ChoosingWithTheMouseClicksThenChanges) {
    box.showPopup();
    QAbstractItemView* list = box.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(seen, (QStringList{"click 2", "change 2"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("   automaticky"));
}

TEST_F(ComboBoxTest, EditingChangesWithTheIndexOfTheTextOnly) {
    box.lineEdit()->clear();
    seen.clear();
    Type(&box, QStringLiteral("11 Hz až 100 Hz"));
    ASSERT_EQ(seen.size(), 15);
    EXPECT_EQ(seen.front(), QStringLiteral("change -1"));
    EXPECT_EQ(seen[13], QStringLiteral("change -1"));
    EXPECT_EQ(seen.back(), QStringLiteral("change 1"));
    // Nothing was completed onto the typed text.
    seen.clear();
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.currentText(), QStringLiteral("11 Hz až 100 H"));
    EXPECT_EQ(seen, QStringList{"change -1"});
}

TEST_F(ComboBoxTest, EnterChoosesNothing) {
    box.lineEdit()->setText(QStringLiteral("11 HZ AŽ 100 HZ"));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(seen, QStringList{});
    EXPECT_EQ(box.currentText(), QStringLiteral("11 HZ AŽ 100 HZ"));
}

TEST_F(ComboBoxTest, SelectingFromCodeRaisesNothing) {
    box.setCurrentIndex(1);
    box.setCurrentIndex(0);
    EXPECT_EQ(seen, QStringList{});
    EXPECT_EQ(box.currentText(), QStringLiteral("11 Hz až 15 kHz"));
    EXPECT_EQ(box.ItemIndex(), 0);

    // Also over an edited text while the same item is still the current one.
    box.lineEdit()->setText(QStringLiteral("x"));
    box.setCurrentIndex(0);
    EXPECT_EQ(box.ItemIndex(), 0);
    EXPECT_EQ(seen, QStringList{});
}

} // namespace
