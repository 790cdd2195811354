#include "app/ProgGenerator.h"

#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "app/controls/UpDown.h"
#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"
#include "audio/ToneWaveFile.h"
#include "audio/platform/ProgramHooks.h"
#include "audio/platform/mixer/Mixer.h"
#include "synth/ToneSynth.h"

#include <QCloseEvent>
#include <QPushButton>
#include <algorithm>
#include <optional>

namespace {

const char* const ToneFile = "pokus.wav";

// The manual tone loops practically without end.
constexpr DWORD ManualLoops = 2147483647;

// The auxiliary device that carries the output level.
constexpr UINT OutputLevelDevice = platform::MasterDevice;

// The level selectors' table, by up-down position. The words are taken as they stand, not
// computed from the nominal decibels.
struct Level {
    const char* Text;
    WORD Word;
};
constexpr std::array<Level, 17> LevelTable = {{
    {"-----", 0x0000},
    {"-63dB", 0x07FF},
    {"-38dB", 0x0FFF},
    {"-30dB", 0x17FF},
    {"-26dB", 0x1FFF},
    {"-22dB", 0x27FF},
    {"-20dB", 0x2FFF},
    {"-18dB", 0x37FF},
    {"-16dB", 0x3FFF},
    {"-14dB", 0x47FF},
    {"-12dB", 0x57FF},
    {"-10dB", 0x67FF},
    {"-8dB", 0x7FFF},
    {"-6dB", 0x97FF},
    {"-4dB", 0xAFFF},
    {"-2dB", 0xD7FF},
    {"-0dB", 0xFFFF},
}};

// The row of an up-down position; none outside the table.
const Level* LevelAt(int position) {
    return position >= 0 && position < static_cast<int>(LevelTable.size())
               ? &LevelTable[static_cast<std::size_t>(position)]
               : nullptr;
}

// A level word in both channels.
DWORD BothChannels(WORD word) {
    return static_cast<DWORD>(word) << 16 | word;
}

// The original strip is 800 x 72 pixels outside, a frame of 4 pixels on each side and a caption
// bar of 19 around its client area. Qt sizes the client area and the window system adds its own
// frame, so we give the client area what that frame left of 800 x 72.
constexpr int FrameWidth = 4;
constexpr int CaptionHeight = 19;

} // namespace

TProgGenerator::TProgGenerator() {
    CreateControls();
    FormCreate();
}

TProgGenerator::~TProgGenerator() {
    platform::SetExitHook({});
}

void TProgGenerator::FormCreate() {
    move(0, 0);
    resize(800 - 2 * FrameWidth, 72 - 2 * FrameWidth - CaptionHeight);
    // A window not yet shown gets its resize event only when shown; place the controls now.
    FormResize();

    TrackBarLF->SetMin(11);
    TrackBarLF->SetMax(15000);
    TrackBarLF->SetPosition(500);
    SetFrekvence(TrackBarLF->Position());
    EditFrekvence->setText(QString::number(Frekvence));
    LabelF->setText(QStringLiteral("Frekvence:") + EditFrekvence->text() + QStringLiteral(" Hz"));

    TrackBarA->SetPosition(2000);
    SetAmplituda(TrackBarA->Position());
    EditAmplituda->setText(QString::number(Amplituda));
    LabelA->setText(QStringLiteral("Amplituda:") + EditAmplituda->text());

    AWEClick();
    PlayClick();
}

void TProgGenerator::FormResize() {
    const int clientWidth = width();
    // Below 163 pixels the sliders keep no width rather than a negative one.
    const int sliderWidth = std::max(clientWidth - 163, 0);
    TrackBarA->resize(sliderWidth, TrackBarA->height());
    TrackBarLF->resize(sliderWidth, TrackBarLF->height());
    EditAmplituda->move(clientWidth - 164, EditAmplituda->y());
    EditFrekvence->move(clientWidth - 164, EditFrekvence->y());
    PanelWaveL->move(clientWidth - 119, PanelWaveL->y());
    Button1->move(clientWidth - 117, Button1->y());
    ComboBox1->move(clientWidth - 119, ComboBox1->y());
}

void TProgGenerator::ManualClick() {
    SpeedButtonManual->SetDown(true);
    PanelF->show();
    PanelFce->show();
    Play->show();
}

void TProgGenerator::AutoClick() {
    if (ManualPlaying()) {
        StopClick();
    }
    PanelAuto->show();
    PanelF->hide();
    PanelFce->hide();
    Play->hide();
    PlayGenerujAuto->show();
}

void TProgGenerator::LabelNastaveniClick() {
    switch (WinExec("sndvol32.exe", SW_SHOWNORMAL)) {
    case 0:
        ZobrazChybu("The system is out of memory or resources.");
        break;
    case ERROR_FILE_NOT_FOUND:
        ZobrazChybu("The specified file was not found.");
        break;
    case ERROR_PATH_NOT_FOUND:
        ZobrazChybu("The specified path was not found.");
        break;
    case ERROR_BAD_FORMAT:
        ZobrazChybu("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).");
        break;
    default:
        break;
    }
}

void TProgGenerator::PlayClick() {
    // An output still held here (paused, or silent after a failed open) is closed and released
    // first, so that it does not keep the device from the new one.
    ReleaseManual();

    Play->setEnabled(false);
    Pause->setEnabled(true);
    const ManualTone tone = VypocitejManual(Frekvence, Amplituda, CheckedPrubeh());
    SetSampleRate(tone.SampleRate);
    UlozWave(ToneFile, tone.Samples.data(),
             static_cast<DWORD>(tone.Samples.size() * sizeof(std::int16_t)));
    GenerujManual = TGenerujManual::Create(ToneFile, SampleRate);
    if (!GenerujManual) {
        ZobrazChybu("GenerujManual = nil");
        ExitProcess(1);
    }
    GenerujManual->WaveOpenVystup(ManualLoops);
    VolumeIndex = 0;
    Pauza = 0;
    WaveLevelPairs[0] = BothChannels(WaveL);
    AuxLevelPairs[0] = BothChannels(AuxL);
    GenerujManual->WaveVystup();
}

void TProgGenerator::StopClick() {
    Play->setEnabled(true);
    Pause->setEnabled(false);
    ReleaseManual();
}

void TProgGenerator::PauseClick() {
    Play->setEnabled(false);
    Pause->setEnabled(true);
    // Pauza toggles whatever the device does; the object's own flag decides that.
    if (Pauza != 0) {
        if (GenerujManual) {
            GenerujManual->RestartVystup();
        }
        Pauza = 0;
    } else {
        if (GenerujManual) {
            GenerujManual->PauseVystup();
        }
        Pauza = 1;
    }
}

void TProgGenerator::RestartTone() {
    if (ManualPlaying()) {
        StopClick();
    }
    // No tone plays now, so a new one always starts.
    PlayClick();
}

bool TProgGenerator::ManualPlaying() const {
    return GenerujManual && GenerujManual->PlayingVystup();
}

void TProgGenerator::ReleaseManual() {
    if (GenerujManual) {
        GenerujManual->WaveCloseVystup();
        GenerujManual.reset();
    }
}

// The selectors act on the row of the position before the press, so the applied row follows
// one press behind the up-down.
void TProgGenerator::UpDownWaveLChanging() {
    if (const Level* level = LevelAt(UpDownWaveL->Position())) {
        SetWaveL(level->Word);
        PanelWaveL->SetCaption(QString::fromLatin1(level->Text));
    }
    WaveLevelPairs[0] = BothChannels(WaveL);
    if (GenerujManual) {
        GenerujManual->SetWaveVolumeVystup(WaveLevelPairs[VolumeIndex]);
    }
}

void TProgGenerator::UpDownAuxLChanging() {
    if (const Level* level = LevelAt(UpDownAuxL->Position())) {
        // Left channel only: the right channel of the output level is silenced.
        auxSetVolume(OutputLevelDevice, level->Word);
        PanelAuxL->SetCaption(QString::fromLatin1(level->Text));
    }
    AuxLevelPairs[0] = BothChannels(AuxL);
    if (GenerujManual) {
        GenerujManual->SetAuxVolumeVystup(AuxLevelPairs[VolumeIndex]);
    }
}

void TProgGenerator::Button1Click() {
    WinExec("reg.exe", SW_SHOWNORMAL);
}

void TProgGenerator::Panel9Click() {
    Panel9->SetBevelOuter(Panel::Bevel::Lowered);
    WinExec("ctmixer.exe", SW_SHOWNOACTIVATE);
}

TPrubeh TProgGenerator::CheckedPrubeh() const {
    if (RadioButtonTroj->isChecked()) {
        return TPrubeh::Troj;
    }
    if (RadioButtonObdelnik->isChecked()) {
        return TPrubeh::Obdelnik;
    }
    if (RadioButtonPila->isChecked()) {
        return TPrubeh::Pila;
    }
    return TPrubeh::Sin;
}

void TProgGenerator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TProgGenerator::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}
