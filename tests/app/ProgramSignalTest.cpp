// The real program, ended by SIGTERM (kill, the end of a session), gives the user's mixer levels
// back. SignalCloseTest covers SIGINT and SIGHUP on the same path.

#include "tests/ChildProcess.h"
#include "tests/app/WindowFixture.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(ProgramSignalTest, SigtermGivesTheUserLevelsBack) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString mixerFile = directory.filePath(QStringLiteral("mixer.txt"));
    WriteMixerFile(mixerFile, UserLevels);

    QProcess progen;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PROGEN_AUDIO"), QStringLiteral("null"));
    environment.insert(QStringLiteral("PROGEN_MIXER"), QStringLiteral("file:") + mixerFile);
    progen.setProcessEnvironment(environment);
    progen.setWorkingDirectory(directory.path());
    progen.setChildProcessModifier(&ChildProcess::Bound);
    progen.start(QStringLiteral(PROGEN_BINARY), {});
    ASSERT_TRUE(progen.waitForStarted());

    // Once the output level is set for the generator, the user's levels are saved.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ReadMixerFile(mixerFile)["aux5"] == 0xFFFFEFFF; }, 10000));
    progen.terminate(); // SIGTERM
    ASSERT_TRUE(progen.waitForFinished(10000));

    EXPECT_EQ(progen.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(progen.exitCode(), 0);
    EXPECT_EQ(ReadMixerFile(mixerFile), UserLevels);
}

} // namespace
