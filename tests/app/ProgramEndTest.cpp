// The real program (ScriptedProgram) ended from outside: by a termination signal during a sweep or
// in one of its boxes, by a kill or a crash, by a normal close, and two of them on one mixer.
// However it ends, the mixer file soon holds the user's levels, and no process (this test reaps
// the orphaned watchers) and no share file is left.

#include "audio/platform/levels/ProcessId.h"
#include "audio/platform/util/UniqueFd.h"
#include "tests/ChildProcess.h"
#include "tests/app/WindowFixture.h"

#include <QFile>
#include <cstdio>
#include <filesystem>
#include <functional>
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

void WriteFile(const QString& path, const std::string& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// This process as a live holder of a share: its program and watcher.
std::string SelfAsHolder() {
    const std::string self =
        std::to_string(getpid()) + "/" + std::to_string(platform::IdOf(getpid()).start);
    return self + " " + self;
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

    // `prepare` runs in the child just before the program starts.
    std::unique_ptr<ChildProcess> Start(const char* script,
                                        const std::function<void()>& prepare = {}) const {
        const std::string folder = directory_.path().toStdString();
        return std::make_unique<ChildProcess>([&] {
            if (::chdir(folder.c_str()) == 0) {
                setenv("XDG_RUNTIME_DIR", (folder + "/runtime").c_str(), 1);
                setenv("PROGEN_MIXER", ("file:" + folder + "/mixer.txt").c_str(), 1);
                setenv("PROGEN_AUDIO", "null", 1);
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
#if defined(PROGEN_UNDER_SANITIZER)
                // A crash signal must end the program as it ends any other, not as a report.
                setenv("ASAN_OPTIONS", "handle_segv=0", 1);
#endif
                if (prepare) {
                    prepare();
                }
                execl(SCRIPTED_PROGRAM, SCRIPTED_PROGRAM, script, nullptr);
            }
        });
    }

    QString SharePath() const {
        return Path("runtime") + "/" + QDir(Path("runtime")).entryList(QDir::Files).value(0);
    }
    // The program and watcher pids of the share's first holder.
    std::pair<pid_t, pid_t> FirstHolder() const {
        const std::string text = ReadFile(SharePath());
        pid_t program = 0;
        pid_t watcher = 0;
        const std::size_t at = text.find("holder=");
        if (at != std::string::npos) {
            std::sscanf(text.c_str() + at, "holder=%d/%*u %d/", &program, &watcher);
        }
        return {program, watcher};
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

// Standard error as standard output, which the test reads.
void ErrorsToOutput() {
    ::dup2(STDOUT_FILENO, STDERR_FILENO);
}

// Whether the program says a line holding `words` within a few seconds.
bool Says(const ChildProcess& program, const std::string& words) {
    for (std::optional<std::string> line; (line = program.ReadLine(10s));) {
        if (line->find(words) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class StartBoxTest : public ProgramEndTest,
                     public testing::WithParamInterface<std::tuple<const char*, int>> {};

// A box shown while the window is being built, its device taken or its tone file a folder, and
// a recording that would have gone through a link to another file.
TEST_P(StartBoxTest, ASignalInAStartUpBoxEndsTheProgramAtOnce) {
    const auto [cause, signal] = GetParam();
    WriteFile(Path("precious"), "keep");
    std::string audio = std::string(cause) == "busy" ? "busy" : "null";
    if (std::string(cause) == "tonefolder") {
        ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("pokus.wav")));
    } else if (std::string(cause) == "wavlink") {
        ASSERT_TRUE(QFile::link(Path("precious"), Path("recording.wav")));
        audio = "wav:" + Path("recording.wav").toStdString();
    }
    const auto program = Start("start", [audio] { setenv("PROGEN_AUDIO", audio.c_str(), 1); });
    ASSERT_EQ(program->ReadLine(10s), "box");
    program->Signal(signal);
    EXPECT_TRUE(ExitedWithZero(program->Wait(1s)));
    ExpectUserLevelsBackAndNothingLeft();
    EXPECT_EQ(ReadFile(Path("precious")), "keep");
}

INSTANTIATE_TEST_SUITE_P(Causes, StartBoxTest,
                         testing::Combine(testing::Values("busy", "tonefolder", "wavlink"),
                                          testing::Values(SIGTERM, SIGINT, SIGHUP)),
                         [](const auto& test) {
                             return std::get<0>(test.param) + std::string("_SIG") +
                                    sigabbrev_np(std::get<1>(test.param));
                         });

// Both killed at once (an out-of-memory kill of the session): the share still holds the user's
// levels, and the next program gives them back. A holder of an earlier boot counts as gone,
// though its pid and start time are those of a live process now. The first program starts with
// standard error closed: its messages must not go into its watcher's socket.
TEST_F(ProgramEndTest, ASharePastAllItsHoldersStillGivesTheUserLevelsBack) {
    for (const bool earlierBoot : {false, true}) {
        const auto first = Start("tone", [] { ::close(STDERR_FILENO); });
        ASSERT_TRUE(Within(10s, [&] { return Holders() == 1 && MixerHolds(GeneratorLevels); }));
        const auto [program, watcher] = FirstHolder();
        ASSERT_GT(watcher, 0);
        char errors[64] = "";
        const std::string fd = "/proc/" + std::to_string(program) + "/fd/2";
        EXPECT_GT(::readlink(fd.c_str(), errors, sizeof errors - 1), 0);
        EXPECT_STREQ(errors, "/dev/null");
        ::kill(watcher, SIGKILL);
        first->Signal(SIGKILL);
        ASSERT_TRUE(first->Wait(1s) && AllChildrenEnded(1s));
        if (earlierBoot) {
            std::string text = ReadFile(SharePath());
            const std::size_t boot = text.find("boot=") + 5;
            text.replace(boot, text.find('\n', boot) - boot, "an-earlier-boot");
            const std::size_t holder = text.find("holder=") + 7;
            text.replace(holder, text.find('\n', holder) - holder, SelfAsHolder());
            WriteFile(SharePath(), text);
        }
        EXPECT_TRUE(MixerHolds(GeneratorLevels));

        const auto next = Start("tone", ErrorsToOutput);
        EXPECT_TRUE(Says(*next, "ended without giving them back")) << earlierBoot;
        next->Signal(SIGTERM);
        EXPECT_TRUE(ExitedWithZero(next->Wait(1s)));
        ExpectUserLevelsBackAndNothingLeft();
    }
}

// No share to be had: each program says so, and the second, which finds the first one's levels
// in the mixer, does not give those back when it ends last.
TEST_F(ProgramEndTest, WithoutAShareTheLastProgramLeavesTheFirstOnesLevelsAlone) {
    WriteFile(Path("file"), "");
    const std::string runtime = Path("file").toStdString() + "/runtime";
    const auto noShare = [&] {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ErrorsToOutput();
    };
    const auto first = Start("tone", noShare);
    EXPECT_TRUE(Says(*first, "cannot be shared"));
    ASSERT_TRUE(Within(10s, [&] { return QFile::exists(Path("pokus.wav")); }));
    ASSERT_TRUE(QFile::remove(Path("pokus.wav")));
    const auto second = Start("tone", noShare);
    EXPECT_TRUE(Says(*second, "cannot be shared"));
    ASSERT_TRUE(Within(10s, [&] { return QFile::exists(Path("pokus.wav")); })); // set up

    first->Signal(SIGTERM);
    EXPECT_TRUE(ExitedWithZero(first->Wait(1s)));
    EXPECT_TRUE(Within(1s, [&] { return MixerHolds(UserLevels); }));
    second->Signal(SIGTERM);
    EXPECT_TRUE(ExitedWithZero(second->Wait(1s)));
    ExpectUserLevelsBackAndNothingLeft();
}

// A share another user planted (in a folder of theirs, or in the user's own), holding a live
// holder and levels of theirs, is not taken; a share that cannot be read is kept aside.
TEST_F(ProgramEndTest, AForeignOrUnreadableShareIsNeitherTakenNorOverwritten) {
    const auto probe = Start("tone");
    ASSERT_TRUE(Within(10s, [&] { return Holders() == 1; }));
    const QString share = SharePath();
    probe->Signal(SIGTERM);
    ASSERT_TRUE(ExitedWithZero(probe->Wait(1s)) && AllChildrenEnded(1s));

    std::string planted =
        "mixer=file:" + Path("mixer.txt").toStdString() + "\nboot=" + platform::BootId() + "\n";
    for (const char* line : {"wave0", "aux1", "aux2", "aux3", "aux4", "aux5"}) {
        planted += std::string(line) + "=0xFFFFFFFF\n";
    }
    planted += "holder=" + SelfAsHolder() + "\nend\n";
    const std::string runtime = Path("runtime").toStdString();
    const struct {
        const char* what;
        std::string text;
        uid_t folderOwner;
        uid_t fileOwner;
    } cases[] = {{"another user's folder", planted, 65534, 65534},
                 {"another user's file", planted, 0, 65534},
                 {"cut short", planted.substr(0, planted.size() - 2), 0, 0}};
    for (const auto& shared : cases) {
        WriteFile(share, shared.text);
        ASSERT_EQ(::chown(share.toLocal8Bit(), shared.fileOwner, 0), 0);
        ASSERT_EQ(::chown(runtime.c_str(), shared.folderOwner, 0), 0);
        const auto program = Start("tone", ErrorsToOutput);
        ASSERT_TRUE(Within(10s, [&] { return MixerHolds(GeneratorLevels); })) << shared.what;
        EXPECT_TRUE(Says(*program, shared.fileOwner == 0 ? "kept as" : "cannot be shared"))
            << shared.what;
        program->Signal(SIGTERM);
        EXPECT_TRUE(ExitedWithZero(program->Wait(1s))) << shared.what;
        EXPECT_TRUE(Within(1s, [&] { return MixerHolds(UserLevels); })) << shared.what;
        EXPECT_TRUE(AllChildrenEnded(1s));
        ASSERT_EQ(::chown(runtime.c_str(), 0, 0), 0);
        const QString kept = shared.fileOwner == 0 ? share + ".unreadable" : share;
        EXPECT_EQ(ReadFile(kept), shared.text) << shared.what;
        EXPECT_EQ(QDir(Path("runtime")).entryList(QDir::Files).size(), 1) << shared.what;
        QFile::remove(kept);
    }
}

} // namespace
