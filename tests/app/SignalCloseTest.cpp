#include "app/SignalClose.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>

namespace {

class CountingWindow : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        QWidget::closeEvent(event);
    }
};

class SignalCloseTest : public testing::TestWithParam<int> {};

TEST_P(SignalCloseTest, ASignalClosesTheWindowThroughItsCloseEvent) {
    SignalClose closeRequests;
    CountingWindow window;
    window.show();
    closeRequests.Watch(window);

    std::raise(GetParam());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.closes == 1; }, 2000));
    EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(ClosingSignals, SignalCloseTest, testing::Values(SIGINT, SIGTERM, SIGHUP));

TEST(SignalCloseWatchTest, ASignalBeforeWatchingIsKeptUntilThen) {
    SignalClose closeRequests;
    std::raise(SIGTERM); // while the window is still being built
    CountingWindow window;
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.closes, 0);

    closeRequests.Watch(window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.closes == 1; }, 2000));
}

TEST(SignalCloseWatchTest, AnOpenModalBoxIsClosedFirst) {
    SignalClose closeRequests;
    CountingWindow window;
    window.show();
    closeRequests.Watch(window);

    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), QStringLiteral("x"),
                    QMessageBox::Ok);
    bool answeredByTest = false;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(5000, &box, [&] {
        answeredByTest = true;
        box.reject();
    });
    box.exec();
    EXPECT_FALSE(answeredByTest);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.closes == 1; }, 2000));
}

} // namespace
