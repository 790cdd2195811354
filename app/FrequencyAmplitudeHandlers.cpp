// The window's handlers of the frequency and amplitude controls: the two sliders, the two number
// boxes, the range choice and the drag of PanelHraj. They keep Frekvence and Amplituda, the
// sliders and the number boxes in step.

#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/SpeedButton.h"

#include <array>

namespace {

// The frequency ranges of ComboBox1's first items, in their order. The page steps of the upper
// two are smaller than their arrow steps.
struct Rozsah {
    int min;
    int max;
    int arrowStep;
    int pageStep;
};
constexpr std::array<Rozsah, 5> Rozsahy{{{11, 15000, 100, 1},
                                         {11, 100, 10, 1},
                                         {100, 1000, 10, 1},
                                         {1000, 10000, 500, 50},
                                         {10000, 15000, 1000, 100}}};
// The index of "   automaticky", the item after the ranges.
constexpr int Automaticky = 5;

} // namespace

// The number boxes follow the sliders live, also while a thumb is dragged and when code moves a
// slider; neither the fields nor the tone change here.
void TProgGenerator::TrackBarLFChange() {
    EditFrekvence->setText(QString::number(TrackBarLF->Position()));
}

void TProgGenerator::TrackBarAChange() {
    EditAmplituda->setText(QString::number(TrackBarA->Position()));
}

// Entering the frequency box widens the slider to the full range; the number in the box is taken
// into Frekvence, to be heard at the next restart.
void TProgGenerator::EditFrekvenceEnter() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
    SetFullFrequencyRange();
    TakeNumber(*EditFrekvence, *TrackBarLF, &TProgGenerator::SetFrekvence);
    LabelF->setText(QStringLiteral("Frekvence:") + EditFrekvence->text());
}

// Every key restarts the tone, before the key acts: so a number typed is heard only on Enter.
void TProgGenerator::EditFrekvenceKeyDown(int key) {
    SetFullFrequencyRange();
    if (key == Edit::KeyEnter) {
        TakeNumber(*EditFrekvence, *TrackBarLF, &TProgGenerator::SetFrekvence);
        // Unlike on entering the box, a text that is no number sets Frekvence too.
        SetFrekvence(TrackBarLF->Position());
    }
    RestartTone();
}

void TProgGenerator::EditAmplitudaKeyDown(int key) {
    if (key == Edit::KeyEnter) {
        TakeNumber(*EditAmplituda, *TrackBarA, &TProgGenerator::SetAmplituda);
        LabelA->setText(QStringLiteral("Amplituda:") + EditAmplituda->text());
    }
    RestartTone();
}

// A click empties the box for typing; the range choice shows the full range, which the focus
// has just set.
void TProgGenerator::EditFrekvenceClick() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
    EditFrekvence->clear();
    ComboBox1->setCurrentIndex(0);
}

void TProgGenerator::EditAmplitudaClick() {
    EditAmplituda->clear();
}

// The thumb's drag silences the tone; the end of any scroll action takes the position and
// restarts the tone with it. Outside manual mode the sliders only move.
void TProgGenerator::TrackBarlfScroll(ScrollBar::ScrollCode code) {
    if (ScrollEnded(code)) {
        SetFrekvence(TrackBarLF->Position());
        EditFrekvence->setText(QString::number(TrackBarLF->Position()));
        RestartTone();
    }
}

void TProgGenerator::TrackBarAScroll(ScrollBar::ScrollCode code) {
    if (ScrollEnded(code)) {
        SetAmplituda(TrackBarA->Position());
        EditAmplituda->setText(QString::number(Amplituda));
        RestartTone();
    }
}

void TProgGenerator::ComboBox1Click() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
}

// A range item sets the slider's range with its position at the bottom, and leaves automatic
// mode; "   automaticky" enters it. Either way, and also for a text that is no item, the fields
// take the sliders' positions and the tone restarts with them.
void TProgGenerator::ComboBox1Change() {
    const int index = ComboBox1->ItemIndex();
    if (index >= 0 && index < static_cast<int>(Rozsahy.size())) {
        const Rozsah& rozsah = Rozsahy[static_cast<std::size_t>(index)];
        SetRozsah(rozsah.min, rozsah.max, rozsah.arrowStep);
        TrackBarLF->SetPageStep(rozsah.pageStep);
        Panel4->hide();
        PanelHraj->hide();
    } else if (index == Automaticky) {
        // At this width the right-hand column lines up with the sweep settings row.
        resize(796, height());
        move(0, y());
        SetRozsah(11, 15000, 10);
        if (ManualPlaying()) {
            ReleaseManual();
        }
        Panel4->show();
        PanelHraj->show();
        PanelAuto->show();
        PanelF->hide();
        PanelFce->hide();
        Play->hide();
        PlayGenerujAuto->show();
        LabelF->setText(QStringLiteral("Frekvence:"));
    }
    SetAmplituda(TrackBarA->Position());
    EditAmplituda->setText(QString::number(TrackBarA->Position()));
    SetFrekvence(TrackBarLF->Position());
    EditFrekvence->setText(QString::number(TrackBarLF->Position()));
    RestartTone();
}

void TProgGenerator::RadioButton5Click() {
    SetFullFrequencyRange();
    // Checking it unchecks RadioButton1 to RadioButton4, its group's other buttons.
    RadioButton5->setChecked(true);
}

// PanelHraj moves with the pointer while the left button holds it; nothing keeps it inside the
// window. Only the strip of the panel right of the start button can be grabbed.
void TProgGenerator::PanelHrajMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                        int y) {
    DragHraj = button == Qt::LeftButton;
    if (DragHraj) {
        DragX = x;
        DragY = y;
    }
}

void TProgGenerator::PanelHrajMouseMove(Qt::KeyboardModifiers, int x, int y) {
    if (DragHraj) {
        PanelHraj->move(PanelHraj->x() + x - DragX, PanelHraj->y() + y - DragY);
    }
}

void TProgGenerator::PanelHrajMouseUp() {
    DragHraj = false;
}

void TProgGenerator::SetFullFrequencyRange() {
    TrackBarLF->SetMin(11);
    TrackBarLF->SetMax(15000);
}

// In an order that never asks the slider for a minimum above its maximum; at least one of the
// two steps runs, since lo < hi.
void TProgGenerator::SetRozsah(int lo, int hi, int arrowStep) {
    if (hi > TrackBarLF->Position()) {
        TrackBarLF->SetMax(hi);
        TrackBarLF->SetPosition(lo);
        TrackBarLF->SetMin(lo);
        TrackBarLF->SetArrowStep(arrowStep);
    }
    if (lo < TrackBarLF->Position()) {
        TrackBarLF->SetMin(lo);
        TrackBarLF->SetPosition(lo);
        TrackBarLF->SetMax(hi);
        TrackBarLF->SetArrowStep(arrowStep);
    }
}

void TProgGenerator::TakeNumber(Edit& box, ScrollBar& slider,
                                void (TProgGenerator::*store)(std::int64_t)) {
    if (const auto number = box.ReadNumber()) {
        const auto low16 = static_cast<std::uint16_t>(*number);
        (this->*store)(low16);
        slider.SetPosition(low16);
        (this->*store)(slider.Position());
    }
    box.setText(QString::number(slider.Position()));
}

bool TProgGenerator::ScrollEnded(ScrollBar::ScrollCode code) {
    if (!SpeedButtonManual->Down()) {
        return false;
    }
    if (code == ScrollBar::ScrollCode::Track && ManualPlaying()) {
        StopClick();
    }
    return code == ScrollBar::ScrollCode::EndScroll;
}
