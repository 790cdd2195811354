#include "app/SignalClose.h"

#include "app/ConfirmationDialog.h"
#include "app/ErrorBox.h"
#include "tests/app/WindowFixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <functional>
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

// In a message box nobody may be there to answer it: the box closes, and the program ends right
// after it instead of going on; the window is left to the end of the program.
TEST(SignalCloseWatchTest, ASignalInAMessageBoxClosesItAndEndsTheProgram) {
    const seams::TestPlatform owner;
    seams::SetExitProcess([](UINT code) { throw ProgramEnded{code}; });
    SignalClose closeRequests;
    CountingWindow window;
    window.show();
    closeRequests.Watch(window);

    const std::function<void()> boxes[] = {[] { ShowErrorBox("x"); },
                                           [] { AskConfirmation(QStringLiteral("x")); }};
    for (const auto& showBox : boxes) {
        bool answeredByTest = false;
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            answeredByTest = true;
            QApplication::activeModalWidget()->close();
        });
        answer.start(5000);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        try {
            showBox();
            ADD_FAILURE() << "the program went on after the box";
        } catch (const ProgramEnded& end) {
            EXPECT_EQ(end.code, 0u);
        }
        EXPECT_FALSE(answeredByTest);
    }
    EXPECT_TRUE(TerminationRequested());
    EXPECT_EQ(window.closes, 0);
}

} // namespace
