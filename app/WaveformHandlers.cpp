// The window's handlers of the waveform choice, by its radio buttons or by its pictures, and the
// preview of the chosen waveform on ImageL.

#include "app/ProgGenerator.h"
#include "app/controls/Image.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"

#include <cmath>
#include <cstdint>

namespace {

// The preview's period: a little less than 2 pi, so the sine's last point lies just short of a
// full period.
constexpr long double Perioda = 6.28L;

// The preview's coordinates are bytes: each value keeps its low 8 bits. So the picture must not
// be wider or higher than 255 pixels, which the resource's 180 x 150 keeps to.
std::uint8_t Byte(long long value) {
    return static_cast<std::uint8_t>(value);
}

// Fills the whole picture with the canvas's brush.
void ClearImage(Image& image) {
    const QImage& picture = image.Picture();
    image.FillRect(0, 0, picture.width(), picture.height());
}

} // namespace

// Whether a tone was sounding or had been stopped, the choice ends with the tone running in the
// new waveform.
void TProgGenerator::RadioButtonPrubehClick() {
    DrawPrubeh();
    RestartTone();
}

// Checking a radio button that was not checked raises its click: the preview and the restart
// come first, then the picture draws the preview once more. The waveform already chosen is only
// redrawn.
void TProgGenerator::Image1Click() {
    RadioButtonSin->setChecked(true);
    DrawPrubeh();
}

void TProgGenerator::Image2Click() {
    RadioButtonPila->setChecked(true);
    DrawPrubeh();
}

void TProgGenerator::Image3Click() {
    RadioButtonTroj->setChecked(true);
    DrawPrubeh();
}

void TProgGenerator::Image4Click() {
    RadioButtonObdelnik->setChecked(true);
    DrawPrubeh();
}

// A change of frequency or amplitude alone does not redraw the preview; a click on it does.
void TProgGenerator::ImageLClick() {
    DrawPrubeh();
}

void TProgGenerator::DrawPrubeh() {
    // The amplitude in steps of 100: below 100 every shape lies on the centre line.
    const int a = TrackBarA->Position() / 100;
    const int m = TrackBarA->Max() / 100;
    const long double r = static_cast<long double>(a) / m;

    const QImage& picture = ImageL->Picture();
    const int width = picture.width();
    const int height = picture.height();
    const std::uint8_t hc = Byte(height / 2);
    const std::uint8_t peak = Byte(hc - 10);

    ClearImage(*ImageL);
    // The axes span the full picture.
    ImageL->SetPenWidth(1);
    ImageL->MoveTo(1, 5);
    ImageL->LineTo(1, height - 5);
    ImageL->MoveTo(1, hc);
    ImageL->LineTo(width, hc);
    ImageL->MoveTo(0, hc);

    ImageL->SetPenWidth(2);
    const std::uint8_t w = Byte(width);
    const std::uint8_t v = Byte(static_cast<long long>(r * peak));
    if (RadioButtonSin->isChecked()) {
        for (int i = 1; i <= w; ++i) {
            // Truncated toward zero, so the peaks fall a pixel short of v.
            const std::uint8_t y = Byte(static_cast<long long>(
                std::sin(static_cast<long double>(i) * Perioda / w) * r * peak));
            ImageL->LineTo(i, Byte(hc - y));
        }
    }
    if (RadioButtonPila->isChecked()) {
        ImageL->LineTo(Byte(w / 2 - 5), Byte(hc - v));
        ImageL->LineTo(Byte(w / 2 - 5), hc);
        ImageL->LineTo(Byte(w - 5), Byte(hc - v));
        ImageL->LineTo(Byte(w - 5), hc);
    }
    if (RadioButtonTroj->isChecked()) {
        ImageL->LineTo(Byte(w / 2 - 5), Byte(hc - v));
        ImageL->LineTo(Byte(w - 5), hc);
    }
    if (RadioButtonObdelnik->isChecked()) {
        ImageL->MoveTo(2, hc);
        ImageL->LineTo(2, Byte(hc - v));
        ImageL->LineTo(w / 2, Byte(hc - v));
        ImageL->LineTo(w / 2, Byte(hc + v));
        ImageL->LineTo(Byte(w - 2), Byte(hc + v));
        ImageL->LineTo(Byte(w - 2), hc);
    }
}
