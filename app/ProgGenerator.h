#pragma once

// The main window: a slim strip at the top of the screen. The upper row is the amplitude
// slider, the lower row the frequency slider (or, in automatic mode, the sweep settings), and a
// column at the right edge holds the number boxes, the range choice and the mixer button.
//
// Its controls come from the resource (ProgGeneratorResource.cpp), which also binds their events
// to the handlers below. Every handler runs on the user-interface thread, one at a time; handlers
// call each other directly. Each control carries its name as its object name.

#include "app/controls/ScrollBar.h"
#include "audio/platform/MMSystem.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class ComboBox;
class Edit;
class Image;
class Label;
class Panel;
class RadioButton;
class SpeedButton;
class UpDown;
class TGenerujManual;
class TGenerujAuto;
enum class TPrubeh;

class TProgGenerator : public QWidget {
    Q_OBJECT

public:
    // Builds the controls from the resource, then runs FormCreate.
    TProgGenerator();
    ~TProgGenerator() override;

    void FormCreate();
    void FormResize();
    void FormClose();
    void AWEClick();
    void ManualClick();
    void AutoClick();
    void LabelNastaveniClick();

    // The manual tone.
    void PlayClick();
    void StopClick();
    void PauseClick();
    // Every finished change that should be heard restarts the tone this one way.
    void RestartTone();
    // A tone is playing when an output object exists and reports playing; a paused or silent
    // one is not.
    bool ManualPlaying() const;
    // Closes and releases the manual tone's output, if there is one, without touching Play and
    // Pause.
    void ReleaseManual();

    // Output levels and mixer programs.
    void UpDownWaveLChanging();
    void UpDownAuxLChanging();
    void Button1Click();
    void Panel9Click();

    // The waveform choice and its preview. A choice redraws the preview and restarts the tone in
    // the chosen waveform; a click on the preview redraws it, so that it catches up with the
    // amplitude.
    void RadioButtonPrubehClick();
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void Image4Click();
    void ImageLClick();
    // Draws one period of the checked waveform on ImageL, scaled by the amplitude slider, over a
    // pair of axes.
    void DrawPrubeh();

    // Frequency and amplitude: the sliders, the number boxes, the range choice and the drag of
    // the panel with the sweep's start button.
    void TrackBarLFChange();
    void TrackBarAChange();
    void TrackBarlfScroll(ScrollBar::ScrollCode code);
    void TrackBarAScroll(ScrollBar::ScrollCode code);
    void EditFrekvenceEnter();
    void EditFrekvenceClick();
    void EditFrekvenceKeyDown(int key);
    void EditAmplitudaClick();
    void EditAmplitudaKeyDown(int key);
    void ComboBox1Click();
    void ComboBox1Change();
    void RadioButton5Click();
    void PanelHrajMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PanelHrajMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void PanelHrajMouseUp();

    // The sweep settings row: four scroll bars hold the sweep's values, the boxes beside them show
    // the values and take typed ones. Key handlers take the box's key code, before the key acts.
    void ScrollBarMinMaxKrokChange();
    void EditminFKeyDown(int key);
    void EditMaxFKeyDown(int key);
    void EditKrokKeyDown(int key);
    void EditProdlevaKeyDown();
    void EditProdlevaChange();
    void EditminFClick();
    void EditMaxFClick();
    void EditKrokClick();
    void EditProdlevaClick();
    void Panel7Click();
    void Panel8Click();

    // The automatic sweep, from its start button to the manual tone that follows it.
    void PlayGenerujAutoClick();

    void SetFrekvence(std::int64_t value) { Frekvence = static_cast<std::uint16_t>(value); }
    void SetAmplituda(std::int64_t value) { Amplituda = static_cast<std::uint16_t>(value); }
    void SetSampleRate(std::int64_t value) { SampleRate = static_cast<std::uint16_t>(value); }
    void SetWaveL(std::int64_t value) { WaveL = static_cast<std::uint16_t>(value); }
    void SetVibraMode(bool value) { VibraMode = value; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class WindowProbe; // what the tests read inside

    // The resource: creates every control with its place, texts, looks and events.
    void CreateControls();

    // The frequency slider over 11..15000 Hz, keeping its steps.
    void SetFullFrequencyRange();
    // The frequency slider over lo..hi at lo, with that arrow step.
    void SetRozsah(int lo, int hi, int arrowStep);
    // Reads a number box into its 16-bit field and its slider: a number (an empty box counts as
    // 0) is stored, the slider takes the field's value and clamps it, and the field takes the
    // clamped value. A text that is no number changes neither. The box then shows the slider.
    void TakeNumber(Edit& box, ScrollBar& slider, void (TProgGenerator::*store)(std::int64_t));
    // The part of a slider's scroll shared by both sliders: nothing unless in manual mode; the
    // thumb's drag stops a playing tone. True at the end of the action.
    bool ScrollEnded(ScrollBar::ScrollCode code);

    TPrubeh CheckedPrubeh() const;

    // Takes a sweep box into its scroll bar and shows the bar's value again: an empty box is
    // first given `whenEmpty`; an integer text, divided by `unit` (truncated), becomes the bar's
    // position, which the bar clamps; the box then shows position × unit. A change of position
    // refreshes all four boxes at once, before this box is rewritten.
    void TakeSweepValue(Edit& box, ScrollBar& holder, int unit, const QString& whenEmpty);
    // Takes all four boxes in the order minimum, maximum, step, dwell.
    void CommitSweepSettings();
    // Checks the four sweep settings in their scroll bars, one box for each that is wrong.
    bool KontrolaNastaveni();

    std::unique_ptr<TGenerujManual> GenerujManual;
    std::unique_ptr<TGenerujAuto> GenerujAuto; // the last sweep's object
    std::uint16_t VolumeIndex = 0; // which level pair goes to the output object; always 0
    std::uint16_t Pauza = 0;
    // The 16-bit fields keep the low 16 bits of whatever is stored in them.
    std::uint16_t Frekvence = 0;
    std::uint16_t Amplituda = 0;
    std::uint16_t SampleRate = 0;
    std::uint16_t WaveL = 0;
    std::uint16_t AuxL = 0;
    bool VibraMode = false;
    bool DragHraj = false;  // PanelHraj follows the pointer while the left button holds it
    std::int32_t DragX = 0; // where in PanelHraj the drag began
    std::int32_t DragY = 0;

    // The user's mixer levels found at start (aux devices 1..5 at 0..4), given back at close. A
    // level that could not be read holds nothing and is not written back.
    std::optional<DWORD> SavedWaveVolume;
    std::array<std::optional<DWORD>, 5> SavedAuxVolume{};
    // The level pairs handed to the output object's volume operations, which do nothing.
    std::array<DWORD, 2> WaveLevelPairs{0xFFFFFFFF, 0xFFFFFFFF};
    std::array<DWORD, 2> AuxLevelPairs{0xFFFFFFFF, 0xFFFFFFFF};

    // Shown at start.
    ScrollBar* TrackBarA = nullptr;
    Edit* EditAmplituda = nullptr;
    ScrollBar* TrackBarLF = nullptr;
    Edit* EditFrekvence = nullptr;
    ComboBox* ComboBox1 = nullptr;
    Panel* PanelWaveL = nullptr;
    Panel* Panel9 = nullptr;
    UpDown* UpDownWaveL = nullptr;
    Panel* PanelAuxL = nullptr;
    UpDown* UpDownAuxL = nullptr;
    Label* Label5 = nullptr;
    Label* Label6 = nullptr;
    QPushButton* Button1 = nullptr;

    // The sweep settings row and the start button, shown in automatic mode.
    Panel* Panel4 = nullptr;
    Panel* Panel7 = nullptr;
    Panel* Panel6 = nullptr;
    Panel* Panel5 = nullptr;
    Panel* Panel8 = nullptr;
    Edit* EditminF = nullptr;
    Edit* EditMaxF = nullptr;
    Edit* EditKrok = nullptr;
    Edit* EditProdleva = nullptr;
    ScrollBar* ScrollBarMinF = nullptr;
    ScrollBar* ScrollBarMaxF = nullptr;
    ScrollBar* ScrollBarKrok = nullptr;
    ScrollBar* ScrollBarProdleva = nullptr;
    Panel* PanelHraj = nullptr;
    SpeedButton* PlayGenerujAuto = nullptr;
    SpeedButton* Play = nullptr;
    SpeedButton* Pause = nullptr;

    // Never shown, but their state is read and set.
    Panel* PanelLImage = nullptr;
    Image* ImageL = nullptr;
    Label* LabelF = nullptr;
    Label* LabelA = nullptr;
    Panel* PanelLeft = nullptr;
    Label* LabelNastaveni = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    SpeedButton* SpeedButtonAuto = nullptr;
    SpeedButton* SpeedButtonManual = nullptr;
    Label* Label7 = nullptr;
    Panel* PanelLF = nullptr;
    Panel* PanelF = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    RadioButton* RadioButton1 = nullptr;
    RadioButton* RadioButton2 = nullptr;
    RadioButton* RadioButton3 = nullptr;
    RadioButton* RadioButton4 = nullptr;
    RadioButton* RadioButton5 = nullptr;
    Panel* Panel3 = nullptr;
    Panel* PanelFce = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    RadioButton* RadioButtonSin = nullptr;
    RadioButton* RadioButtonTroj = nullptr;
    RadioButton* RadioButtonObdelnik = nullptr;
    RadioButton* RadioButtonPila = nullptr;
    Image* Image1 = nullptr;
    Image* Image2 = nullptr;
    Image* Image3 = nullptr;
    Image* Image4 = nullptr;
    Panel* PanelA = nullptr;
    Panel* min = nullptr;
    Panel* max = nullptr;
    Panel* PanelAuto = nullptr;
    Label* LabelMinF = nullptr;
    Label* LabelMaxF = nullptr;
    Label* LabelKrokF = nullptr;
    Label* LabelProdlevaF = nullptr;
    Label* Label1 = nullptr;
    Label* Label2 = nullptr;
    Label* Label3 = nullptr;
    Label* Label4 = nullptr;
    Panel* Panel1 = nullptr;
    Panel* Panel2 = nullptr;
};
