#include "tests/app/WindowFixture.h"

#include <QFile>
#include <QTextStream>
#include <cstdlib>

void WriteMixerFile(const QString& path, const MixerLevels& levels) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QTextStream out(&file);
    for (const char* name : {"wave0", "aux1", "aux2", "aux3", "aux4", "aux5"}) {
        if (const auto level = levels.find(name); level != levels.end()) {
            out << name << "=0x"
                << QStringLiteral("%1").arg(level->second, 8, 16, QLatin1Char('0')).toUpper()
                << '\n';
        }
    }
}

MixerLevels ReadMixerFile(const QString& path) {
    MixerLevels levels;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return levels;
    }
    while (!file.atEnd()) {
        const QStringList line = QString::fromLatin1(file.readLine()).trimmed().split('=');
        if (line.size() == 2) {
            levels[line[0].toStdString()] = line[1].toUInt(nullptr, 16);
        }
    }
    return levels;
}

void WindowFixture::SetUp() {
    ASSERT_TRUE(directory_.isValid());
    ASSERT_TRUE(QDir::setCurrent(directory_.path()));
    WriteMixerFile(MixerFile(), UserLevels);
    platform::SetErrorBox([this](const std::string& text) { boxes_.push_back(text); });
    seams::SetExitProcess([](UINT code) { throw ProgramEnded{code}; });
}

void WindowFixture::TearDown() {
    window_.reset();
    QDir::setCurrent(previousDirectory_);
    ::setenv("PROGEN_AUDIO", "null", 1); // the sink of GuiTestMain, whichever a test chose
}

void WindowFixture::OpenWindow() {
    window_ = std::make_unique<TProgGenerator>();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
}
