// The real program (ScriptedProgram) ended from outside: by a termination signal during a sweep or
// in one of its boxes, by a kill or a crash, by a normal close, and two of them on one mixer.
// However it ends, the mixer file soon holds the user's levels, and no process (this test reaps
// the orphaned watchers) and no share file is left.

#include "audio/platform/util/UniqueFd.h"
#include "tests/ChildProcess.h"
#include "tests/app/WindowFixture.h"

#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/inotify.h>

namespace {

using namespace std::chrono_literals;

template <class Condition>
bool Within(std::chrono::milliseconds timeout, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    return condition();
}

bool ExitedWithZero(const std::optional<int>& status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

class ProgramEndTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory_.isValid());
        ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("runtime")));
        WriteMixerFile(Path("mixer.txt"), UserLevels);
    }

    // A test that failed may leave a watcher behind: it gives the levels back while the folder is
    // still there, instead of trying into the next test.
    void TearDown() override { AllChildrenEnded(2s); }

    QString Path(const char* name) const { return directory_.filePath(QString::fromLatin1(name)); }

    std::unique_ptr<ChildProcess> Start(const char* script) const {
        const std::string folder = directory_.path().toStdString();
        return std::make_unique<ChildProcess>([&] {
            if (::chdir(folder.c_str()) == 0) {
                setenv("XDG_RUNTIME_DIR", (folder + "/runtime").c_str(), 1);
                setenv("PROGEN_MIXER", ("file:" + folder + "/mixer.txt").c_str(), 1);
                setenv("PROGEN_AUDIO", "null", 1);
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
                execl(SCRIPTED_PROGRAM, SCRIPTED_PROGRAM, script, nullptr);
            }
        });
    }

    bool MixerHolds(const MixerLevels& levels) const {
        return ReadMixerFile(Path("mixer.txt")) == levels;
    }

    // How many programs hold the shared levels.
    int Holders() const {
        const QStringList files = QDir(Path("runtime")).entryList(QDir::Files);
        QFile share(Path("runtime") + "/" + files.value(0));
        return files.size() == 1 && share.open(QIODevice::ReadOnly)
                   ? static_cast<int>(share.readAll().count("holder="))
                   : 0;
    }

    void ExpectUserLevelsBackAndNothingLeft() const {
        EXPECT_TRUE(Within(1s, [&] { return MixerHolds(UserLevels); }));
        EXPECT_TRUE(AllChildrenEnded(1s));
        EXPECT_TRUE(QDir(Path("runtime")).isEmpty());
    }

    QTemporaryDir directory_;
};

class SignalEndTest : public ProgramEndTest,
                      public testing::WithParamInterface<std::tuple<const char*, int>> {};

TEST_P(SignalEndTest, ASignalInASweepOrItsBoxesEndsTheProgramAtOnce) {
    const auto [script, signal] = GetParam();
    const auto program = Start(script);
    ASSERT_EQ(program->ReadLine(10s), std::string(script) == "sweep" ? "sweeping" : "box");
    if (std::string(script) == "sweep") {
        std::this_thread::sleep_for(300ms); // into the first step of 9.9 s
    }
    // The 11 Hz tone of the automatic mode wrote it; a tone started after the signal would again.
    ASSERT_TRUE(QFile::remove(Path("pokus.wav")));

    program->Signal(signal);
    EXPECT_TRUE(ExitedWithZero(program->Wait(1s)));
    EXPECT_FALSE(QFile::exists(Path("pokus.wav")));
    ExpectUserLevelsBackAndNothingLeft();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalEndTest,
                         testing::Combine(testing::Values("sweep", "confirm", "step-box"),
                                          testing::Values(SIGTERM, SIGINT, SIGHUP)),
                         [](const auto& test) {
                             std::string script = std::get<0>(test.param);
                             std::erase(script, '-');
                             return script + "_SIG" + sigabbrev_np(std::get<1>(test.param));
                         });

TEST_F(ProgramEndTest, AKillOrACrashWhileATonePlaysGivesTheLevelsBack) {
    for (const int signal : {SIGKILL, SIGSEGV, SIGABRT}) {
        const auto program = Start("tone");
        ASSERT_TRUE(Within(10s, [&] { return QFile::exists(Path("pokus.wav")); }));
        ASSERT_TRUE(MixerHolds(GeneratorLevels));
        program->Signal(signal);
        const std::optional<int> status = program->Wait(1s);
        EXPECT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == signal);
        ExpectUserLevelsBackAndNothingLeft();
        QFile::remove(Path("pokus.wav"));
    }
}

TEST_F(ProgramEndTest, ACloseWritesEachLevelReadOnceAndLeavesOneNeverRead) {
    MixerLevels withoutWave = UserLevels;
    withoutWave.erase("wave0");
    WriteMixerFile(Path("mixer.txt"), withoutWave);
    QFile mixer(Path("mixer.txt"));
    ASSERT_TRUE(mixer.open(QIODevice::Append));
    mixer.write("wave0=unreadable\n");
    mixer.close();
    const auto program = Start("tone");
    ASSERT_TRUE(Within(10s, [&] { return MixerHolds(GeneratorLevels); }));

    // Every write of the mixer file renames a new one into its place. Both ends of the rename are
    // watched, as the same event twice in a row would be merged.
    const platform::UniqueFd changes(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_GE(inotify_add_watch(changes.Get(), directory_.path().toLocal8Bit(),
                                IN_MOVED_FROM | IN_MOVED_TO),
              0);
    program->Signal(SIGTERM); // the window closes as if the user had closed it
    EXPECT_TRUE(ExitedWithZero(program->Wait(1s)));
    EXPECT_TRUE(AllChildrenEnded(1s));
    int writes = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t size; (size = read(changes.Get(), events, sizeof events)) > 0;) {
        for (char* at = events; at < events + size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            writes += (event->mask & IN_MOVED_TO) && std::string(event->name) == "mixer.txt";
            at += sizeof(inotify_event) + event->len;
        }
    }
    EXPECT_EQ(writes, 5);
    MixerLevels expected = UserLevels;
    expected["wave0"] = GeneratorLevels.at("wave0"); // as the start set it
    EXPECT_TRUE(MixerHolds(expected));
}

TEST_F(ProgramEndTest, TwoProgramsGiveTheUserLevelsBackWhenTheLastEnds) {
    struct Ending {
        bool olderFirst;
        int first;
        int last;
    };
    for (const Ending ending : {Ending{true, SIGTERM, SIGTERM}, Ending{false, SIGTERM, SIGTERM},
                                Ending{true, SIGKILL, SIGTERM}, Ending{false, SIGTERM, SIGKILL}}) {
        const auto older = Start("tone");
        ASSERT_TRUE(Within(10s, [&] { return MixerHolds(GeneratorLevels); }));
        const auto newer = Start("tone"); // finds the older one's levels in the mixer
        ASSERT_TRUE(Within(10s, [&] { return Holders() == 2; }));

        ChildProcess& first = ending.olderFirst ? *older : *newer;
        ChildProcess& last = ending.olderFirst ? *newer : *older;
        first.Signal(ending.first);
        ASSERT_TRUE(first.Wait(1s));
        ASSERT_TRUE(Within(1s, [&] { return Holders() == 1; }));
        EXPECT_TRUE(MixerHolds(GeneratorLevels)); // the other one still plays
        last.Signal(ending.last);
        ASSERT_TRUE(last.Wait(1s));
        ExpectUserLevelsBackAndNothingLeft();
    }
}

} // namespace
