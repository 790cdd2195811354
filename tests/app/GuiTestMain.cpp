// GoogleTest over a QApplication on Qt's offscreen platform (unless another one is asked for).
// The tests never reach the sound card or the user's mixer, however they are started: sound goes
// to the null sink and levels to "mixer.txt" in each test's own working directory.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("PROGEN_AUDIO", "null");
    qputenv("PROGEN_MIXER", "file:mixer.txt");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
