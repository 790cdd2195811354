// The real program, started as main() starts it, with a script that drives its window once the
// event loop runs, for the tests that end it from outside (ProgramEndTest). The script, named by
// the first argument, says on standard output when the program is where the test wants it:
//   tone     - nothing more: the manual tone plays;
//   start    - "box" once a box is up while the window is being built;
//   sweep    - a sweep of 99 s, its confirmation answered: "sweeping" just before the first step;
//   confirm  - the same sweep, the real confirmation box left open: "box";
//   step-box - the same sweep, confirmed, with every device open failing: "box" at the first
//              step's real error box.

#include "app/ProgGenerator.h"
#include "app/Program.h"
#include "app/controls/ComboBox.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "tests/support/Seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <iostream>
#include <string>

namespace {

std::string script;

void Say(const char* word) {
    std::cout << word << std::endl;
}

void Drive() {
    TProgGenerator* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        window = window ? window : qobject_cast<TProgGenerator*>(widget);
    }
    window->findChild<ComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(5);
    window->ComboBox1Change(); // automatic mode
    const std::pair<const char*, int> settings[] = {{"ScrollBarMinF", 100},
                                                    {"ScrollBarMaxF", 1000},
                                                    {"ScrollBarKrok", 100},
                                                    {"ScrollBarProdleva", 99}};
    for (const auto& [name, position] : settings) {
        window->findChild<ScrollBar*>(QString::fromLatin1(name))->SetPosition(position);
    }
    if (script == "step-box") {
        seams::FailCall(seams::Call::waveOutOpen, MMSYSERR_ALLOCATED);
    }
    // The confirmation is answered Yes once it is up, unless the script leaves it open.
    auto* boxWatch = new QTimer(window);
    QObject::connect(boxWatch, &QTimer::timeout, [boxWatch] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (QAbstractButton* yes = box->button(QMessageBox::Yes); yes && script != "confirm") {
            if (script == "sweep") {
                Say("sweeping");
            }
            yes->click();
            return;
        }
        boxWatch->stop();
        Say("box");
    });
    boxWatch->start(5);
    QTest::mouseClick(window->findChild<SpeedButton*>(QStringLiteral("PlayGenerujAuto")),
                      Qt::LeftButton);
}

void ScheduleScript() {
    if (script == "start") {
        auto* boxWatch = new QTimer; // runs in the box's own event loop
        QObject::connect(boxWatch, &QTimer::timeout, [boxWatch] {
            if (QApplication::activeModalWidget() != nullptr) {
                boxWatch->stop();
                Say("box");
            }
        });
        boxWatch->start(5);
    } else if (script != "tone") {
        QTimer::singleShot(0, Drive);
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(ScheduleScript)

int main(int argc, char* argv[]) {
    script = argc > 1 ? argv[1] : "tone";
    return RunProgram(argc, argv);
}
