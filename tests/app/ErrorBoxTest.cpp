#include "app/ErrorBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ErrorBoxTest, IsAModalInformationBoxWithOneOkButton) {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        modal = box->isModal();
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            buttons.append(button->text().remove(QLatin1Char('&')));
        }
        box->button(QMessageBox::Ok)->click();
    });

    ShowErrorBox("MMSYSERR_ALLOCATED\t");

    EXPECT_TRUE(modal);
    EXPECT_EQ(caption, QStringLiteral("Information"));
    EXPECT_EQ(text, QStringLiteral("MMSYSERR_ALLOCATED\t"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

} // namespace
