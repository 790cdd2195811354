// The window's handlers of the frequency and amplitude controls: the two sliders, the two number
// boxes, the range choice and the drag of PanelHraj. They keep Frekvence and Amplituda, the
// sliders and the number boxes in step.

#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"

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
    if (const auto number = EditFrekvence->ReadNumber()) {
        SetFrekvence(*number);
        TrackBarLF->SetPosition(Frekvence);
        SetFrekvence(TrackBarLF->Position());
    }
    EditFrekvence->setText(QString::number(TrackBarLF->Position()));
    LabelF->setText(QStringLiteral("Frekvence:") + EditFrekvence->text());
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

void TProgGenerator::ComboBox1Click() {
    Panel9->SetBevelOuter(Panel::Bevel::Raised);
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
