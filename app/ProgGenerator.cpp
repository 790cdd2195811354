#include "app/ProgGenerator.h"

#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"

#include <QCloseEvent>
#include <QPushButton>
#include <algorithm>

namespace {

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

TProgGenerator::~TProgGenerator() = default;

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

void TProgGenerator::FormClose() {}

void TProgGenerator::ManualClick() {
    SpeedButtonManual->SetDown(true);
    PanelF->show();
    PanelFce->show();
    Play->show();
}

void TProgGenerator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TProgGenerator::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}
