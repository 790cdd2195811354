// The automatic sweep: the start button's handler, which validates the four sweep settings, asks
// for confirmation and then plays one step after another on this thread, and the end sequence
// that returns the window to the manual tone.

#include "app/ConfirmationDialog.h"
#include "app/ProgGenerator.h"
#include "app/SignalClose.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "audio/GenerujAuto.h"
#include "synth/SweepSynth.h"

#include <QGuiApplication>
#include <cstdint>

namespace {

// The hourglass while the sweep holds the thread. Taken back however the sweep ends, an exception
// thrown through it included.
class Hourglass {
public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// The summary the user confirms; the runs of blanks lay it out in the dialog as it was designed.
QString Summary(std::uint16_t minF, std::uint16_t maxF, std::uint16_t krok, std::uint16_t t) {
    // (n + 1) steps of T x 100 ms: at most 14990 x 99 x 100, well within 32 bits.
    const std::int32_t steps = (maxF - minF) / krok + 1;
    const std::int32_t milliseconds = steps * t * 100;
    return QStringLiteral("Od frekvence ") + QString::number(minF) +
           QStringLiteral(" Hz do frekvence ") + QString::number(maxF) + QStringLiteral(" Hz po ") +
           QString::number(krok) + QStringLiteral(" Hz. Doba přenosu ") +
           QString::number(milliseconds) + QStringLiteral(" ms") + QString(18, QLatin1Char(' ')) +
           QStringLiteral("Automatické generování není možno po dobu generování ukončit.") +
           QString(65, QLatin1Char(' ')) + QStringLiteral("  Pokračovat ? ");
}

} // namespace

void TProgGenerator::PlayGenerujAutoClick() {
    if (ManualPlaying()) {
        ReleaseManual();
    }
    PanelHraj->show();
    PanelAuto->show();

    // A failed check or a declined sweep plays nothing, so the frequency slider stays where it
    // was; after a sweep it shows the last frequency played.
    if (KontrolaNastaveni()) {
        PlayGenerujAuto->SetDown(true);
        PlayGenerujAuto->setEnabled(false);

        // Validated: each lies in 1..15000 now.
        const auto minF = static_cast<std::uint16_t>(ScrollBarMinF->Position());
        const auto maxF = static_cast<std::uint16_t>(ScrollBarMaxF->Position());
        const auto krok = static_cast<std::uint16_t>(ScrollBarKrok->Position());
        const auto t = static_cast<std::uint16_t>(ScrollBarProdleva->Position());
        const int n = (maxF - minF) / krok;

        if (AskConfirmation(Summary(minF, maxF, krok, t)) == QMessageBox::Yes) {
            const Hourglass hourglass;
            // The previous run's object is released here, as the new one takes its place.
            GenerujAuto = TGenerujAuto::Create(Amplituda);
            if (!GenerujAuto) {
                ZobrazChybu("GenerujAuto = nil");
                ExitProcess(1);
            }
            for (int k = 0; k <= n; ++k) {
                const auto f = static_cast<std::uint16_t>(minF + k * krok);
                GenerujAuto->NastavFormat(f);
                GenerujAuto->AutoOpenVystup(StepLoops(f, t), f);
                GenerujAuto->AutoVystup();
                // The window is not repainted during the sweep; only this label is, at once.
                LabelF->setText(QStringLiteral("Frekvence:%1 Hz").arg(f));
                LabelF->repaint();
                // Looks at the header's done flag every millisecond and never lets the event loop
                // run, so that no input reaches the window before the sweep is over. A termination
                // signal stops the step (closing it fades it out) and ends the program.
                while (GenerujAuto->PlayingVystup() && !TerminationRequested()) {
                    Sleep(1);
                }
                GenerujAuto->AutoCloseVystup();
                EndIfTerminationRequested();
            }
            TrackBarLF->SetPosition(minF + n * krok);
        }
    }

    PanelHraj->show();
    PlayGenerujAuto->SetDown(false);
    PlayGenerujAuto->setEnabled(true);
    ManualClick();
    PlayClick();
}

// Every check runs, so that the user sees one box for each setting that is wrong.
bool TProgGenerator::KontrolaNastaveni() {
    const std::int32_t minF = ScrollBarMinF->Position();
    const std::int32_t maxF = ScrollBarMaxF->Position();
    const std::int32_t krok = ScrollBarKrok->Position();
    const std::int32_t t = ScrollBarProdleva->Position();
    const struct {
        bool fails;
        const char* text;
    } checks[] = {
        {maxF <= minF, "Minimální frekvence je větší než maximální frekvence"},
        {minF < 11 || minF > 15000, "Minimální frekvence není v rozsahu 11Hz - 15kHz"},
        {maxF < 11 || maxF > 15000, "Maximální frekvence není v rozsahu 11Hz - 15kHz"},
        {krok < 1 || krok > 1000, "Krok není v rozsahu 1Hz - 1kHz"},
        {t < 1 || t > 99, "Doba přehrání není v rozsahu 100ms - 9.9s"},
    };
    bool valid = true;
    for (const auto& check : checks) {
        if (check.fails) {
            ZobrazChybu(check.text);
            valid = false;
        }
    }
    return valid;
}
