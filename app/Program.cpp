#include "app/Program.h"

#include "app/ErrorBox.h"
#include "app/ProgGenerator.h"
#include "app/SignalClose.h"
#include "audio/platform/LevelWatcher.h"
#include "audio/platform/Seams.h"

#include <QApplication>

int RunProgram(int argc, char* argv[]) {
    platform::StartLevelWatcher();

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
