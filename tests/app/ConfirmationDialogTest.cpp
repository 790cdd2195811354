#include "app/ConfirmationDialog.h"

#include "tests/app/QtPrinters.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Shows the real dialog and lets `act` answer it once it is up; returns the dialog's result.
QMessageBox::StandardButton Answer(std::function<void(QMessageBox&)> act, QStringList* buttons) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isModal());
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Information"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->text(), QStringLiteral("  Pokračovat ? "));
        for (QAbstractButton* button : box->buttons()) {
            buttons->append(button->text().remove(QLatin1Char('&')));
        }
        act(*box);
    });
    return AskConfirmation(QStringLiteral("  Pokračovat ? "));
}

TEST(ConfirmationDialogTest, AnswersWithTheButtonPressedAndClosingIsCancel) {
    QStringList buttons;
    EXPECT_EQ(Answer([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, &buttons),
              QMessageBox::Yes);
    buttons.sort();
    EXPECT_EQ(buttons,
              (QStringList{QStringLiteral("Cancel"), QStringLiteral("No"), QStringLiteral("Yes")}));
    EXPECT_EQ(Answer([](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, &buttons),
              QMessageBox::No);
    EXPECT_EQ(Answer([](QMessageBox& box) { box.close(); }, &buttons), QMessageBox::Cancel);
}

} // namespace
