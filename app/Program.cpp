#include "app/Program.h"

#include "app/ErrorBox.h"
#include "app/ProgGenerator.h"
#include "app/SignalClose.h"
#include "audio/platform/Platform.h"
#include "audio/platform/ProgramHooks.h"
#include "audio/platform/levels/LevelWatcher.h"

#include <QApplication>
#include <memory>

namespace {

// The application and its window, from their start to the end of the event loop.
int RunWindow(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The title the program shows under outside its window. Not the display name: on X11 Qt
    // appends that to every window caption.
    QApplication::setApplicationName(QStringLiteral("Programovatelný generátor"));
    platform::SetErrorBox(ShowErrorBox);

    // From here on SIGINT, SIGTERM and SIGHUP only queue a request to end the program.
    SignalClose closeRequests;
    TProgGenerator ProgGenerator;
    ProgGenerator.show();
    closeRequests.Watch(ProgGenerator);
    return QApplication::exec();
}

} // namespace

int RunProgram(int argc, char* argv[]) {
    platform::OpenClosedStandardStreams();
    // Made before the watcher is forked, which takes the clock from it; ended after the window.
    auto owner = std::make_unique<platform::Platform>();
    platform::StartLevelWatcher();
    const int code = RunWindow(argc, argv);
    platform::Platform::EndProgram(std::move(owner));
    return code;
}
