#include "app/controls/Image.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "audio/GenerujManual.h"
#include "synth/ToneSynth.h"
#include "tests/app/WindowFixture.h"
#include "tests/app/WindowProbe.h"
#include "tests/audio/OutputProbe.h"
#include "tests/support/CallRecorder.h"

#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace {

bool Black(const QImage& picture, int x, int y) {
    return picture.pixel(x, y) == qRgb(0, 0, 0);
}

// The preview read back in the drawing's coordinates. A pen 2 pixels wide covers, at a point
// (x, y), the pixels x-1..x by y-1..y; the vertical axis, 1 pixel wide, lies in column 1.
struct Reach {
    int y = -1;
    std::vector<int> xs; // the points at that height
};

// The highest (or lowest) points of the curves: the first pixel row from the top (or bottom)
// with black right of the vertical axis. The pen reaches one row above its points.
Reach Extreme(const QImage& picture, bool highest) {
    for (int i = 0; i < picture.height(); ++i) {
        const int row = highest ? i : picture.height() - 1 - i;
        Reach reach{highest ? row + 1 : row, {}};
        bool curve = false;
        for (int x = 2; x < picture.width(); ++x) {
            curve = curve || Black(picture, x, row);
            // A point's pen covers its own pixel and the one left of it.
            if (Black(picture, x - 1, row) && Black(picture, x, row)) {
                reach.xs.push_back(x);
            }
        }
        if (curve) {
            return reach;
        }
    }
    return {};
}

Reach Highest(const QImage& picture) {
    return Extreme(picture, true);
}

Reach Lowest(const QImage& picture) {
    return Extreme(picture, false);
}

std::vector<int> Span(int from, int to) {
    std::vector<int> xs(static_cast<std::size_t>(to - from + 1));
    std::iota(xs.begin(), xs.end(), from);
    return xs;
}

int Count(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
}

class WaveformTest : public OpenWindowFixture {
protected:
    void SetUp() override {
        OpenWindowFixture::SetUp();
        amplitude_ = Control<ScrollBar>("TrackBarA");
        preview_ = Control<Image>("ImageL");
    }

    // The samples the output object plays, as read back from "pokus.wav".
    std::vector<std::int16_t> Heard() const {
        const TGenerujManual* output = WindowProbe::GenerujManual(*window_);
        if (output == nullptr) {
            return {};
        }
        return {OutputProbe::Data(*output),
                OutputProbe::Data(*output) + OutputProbe::DataLength(*output) / 2};
    }

    // The 500 Hz tone of amplitude 2000 that the window starts with, in that waveform.
    static std::vector<std::int16_t> StartTone(TPrubeh prubeh) {
        return VypocitejManual(500, 2000, prubeh).Samples;
    }

    // Shows the hidden containers of the waveform choice, so that it takes mouse clicks.
    void ShowChoice() {
        for (const char* container : {"PanelLeft", "PanelLF"}) {
            Control<QWidget>(container)->show();
        }
    }

    ScrollBar* amplitude_ = nullptr;
    Image* preview_ = nullptr;
};

TEST_F(WaveformTest, AtFullAmplitudeTheSineFallsAPixelShortWhereTheOtherShapesReachTheirPeak) {
    amplitude_->SetPosition(32767);
    window_->ImageLClick();
    const QImage& picture = preview_->Picture();
    ASSERT_EQ(picture.size(), QSize(180, 150));
    // Truncated, one period rising first: the top in the first half, the bottom in the second.
    const Reach top = Highest(picture);
    EXPECT_EQ(top.y, 11);
    EXPECT_EQ(top.xs, Span(40, 50));
    const Reach bottom = Lowest(picture);
    EXPECT_EQ(bottom.y, 139);
    EXPECT_EQ(bottom.xs, Span(131, 140));
    // The axes: the centre line across the width, the vertical axis from 5 to H - 5.
    for (int x = 1; x < 180; ++x) {
        EXPECT_TRUE(Black(picture, x, 75)) << x;
    }
    EXPECT_TRUE(Black(picture, 1, 5));
    EXPECT_TRUE(Black(picture, 1, 144));
    EXPECT_FALSE(Black(picture, 1, 4));

    window_->Image4Click(); // rectangle: high then low
    EXPECT_EQ(Highest(preview_->Picture()).y, 10);
    EXPECT_EQ(Highest(preview_->Picture()).xs, Span(2, 90));
    EXPECT_EQ(Lowest(preview_->Picture()).y, 140);
    EXPECT_EQ(Lowest(preview_->Picture()).xs, Span(90, 178));

    window_->Image3Click(); // triangle: one hump, nothing below the centre line
    EXPECT_EQ(Highest(preview_->Picture()).y, 10);
    EXPECT_EQ(Highest(preview_->Picture()).xs, std::vector<int>{85});
    EXPECT_EQ(Lowest(preview_->Picture()).y, 75);

    window_->Image2Click(); // sawtooth: two teeth
    EXPECT_EQ(Highest(preview_->Picture()).y, 10);
    EXPECT_EQ(Highest(preview_->Picture()).xs, (std::vector<int>{85, 175}));
    EXPECT_EQ(Lowest(preview_->Picture()).y, 75);
}

TEST_F(WaveformTest, TheShapesScaleWithTheAmplitudeInStepsOf100) {
    struct Case {
        int position;
        int top;
        int bottom;
    };
    // 2000 is 20 steps of 327: the shapes stand 3 pixels off the centre line. Below 100 they lie
    // on it.
    for (const Case& test : {Case{2000, 72, 78}, Case{99, 75, 75}, Case{0, 75, 75}}) {
        amplitude_->SetPosition(test.position);
        window_->Image4Click();
        EXPECT_EQ(Highest(preview_->Picture()).y, test.top) << test.position;
        EXPECT_EQ(Lowest(preview_->Picture()).y, test.bottom) << test.position;
        window_->Image1Click();
        EXPECT_EQ(Highest(preview_->Picture()).y, test.top) << test.position;
        EXPECT_EQ(Lowest(preview_->Picture()).y, test.bottom) << test.position;
    }
}

TEST_F(WaveformTest, ThePreviewCatchesUpWithTheAmplitudeOnlyWhenClicked) {
    window_->Image4Click();
    amplitude_->SetPosition(32767);
    window_->RestartTone();
    const QImage before = preview_->Picture();
    EXPECT_EQ(Highest(before).y, 72);

    Control<Panel>("PanelLImage")->show();
    QTest::mouseClick(preview_, Qt::LeftButton);
    // Redrawn whole: the rectangle of 3 pixels is gone.
    EXPECT_EQ(Highest(preview_->Picture()).y, 10);
    EXPECT_TRUE(Black(preview_->Picture(), 10, 10));
    EXPECT_FALSE(Black(preview_->Picture(), 10, 72));
}

TEST_F(WaveformTest, ChoosingTheTriangleWhileTheSineSoundsRestartsTheToneAsATriangle) {
    ShowChoice();
    CallRecorder recorder;
    QTest::mouseClick(Control<RadioButton>("RadioButtonTroj"), Qt::LeftButton);
    const std::vector<std::string> names = recorder.Names();
    ASSERT_EQ(Count(names, "waveOutClose"), 1);
    ASSERT_EQ(Count(names, "waveOutOpen"), 1);
    EXPECT_LT(std::find(names.begin(), names.end(), "waveOutClose"),
              std::find(names.begin(), names.end(), "waveOutOpen"));
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_EQ(Heard(), StartTone(TPrubeh::Troj));
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_EQ(Highest(preview_->Picture()).y, 72);
    EXPECT_EQ(Lowest(preview_->Picture()).y, 75);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(WaveformTest, AChoiceAfterAStopStartsTheToneInThatWaveform) {
    window_->StopClick();
    Control<RadioButton>("RadioButtonObdelnik")->setChecked(true);
    EXPECT_TRUE(window_->ManualPlaying());
    EXPECT_EQ(Heard(), StartTone(TPrubeh::Obdelnik));
    EXPECT_FALSE(Control<SpeedButton>("Play")->isEnabled());
    EXPECT_TRUE(Control<SpeedButton>("Pause")->isEnabled());
}

TEST_F(WaveformTest, EachPictureChoosesItsWaveform) {
    ShowChoice();
    struct Case {
        const char* image;
        const char* button;
        TPrubeh prubeh;
    };
    for (const Case& test : {Case{"Image3", "RadioButtonTroj", TPrubeh::Troj},
                             Case{"Image2", "RadioButtonPila", TPrubeh::Pila},
                             Case{"Image4", "RadioButtonObdelnik", TPrubeh::Obdelnik},
                             Case{"Image1", "RadioButtonSin", TPrubeh::Sin}}) {
        QTest::mouseClick(Control<Image>(test.image), Qt::LeftButton);
        EXPECT_TRUE(Control<RadioButton>(test.button)->isChecked()) << test.image;
        EXPECT_TRUE(window_->ManualPlaying()) << test.image;
        EXPECT_EQ(Heard(), StartTone(test.prubeh)) << test.image;
    }
}

TEST_F(WaveformTest, ThePictureOfTheWaveformAlreadyChosenOnlyRedraws) {
    const std::vector<std::string> first = CallsOf([&] { window_->Image4Click(); });
    EXPECT_EQ(Count(first, "waveOutOpen"), 1);
    EXPECT_TRUE(Control<RadioButton>("RadioButtonObdelnik")->isChecked());
    EXPECT_FALSE(Control<RadioButton>("RadioButtonSin")->isChecked());
    const TGenerujManual* output = WindowProbe::GenerujManual(*window_);

    amplitude_->SetPosition(32767);
    EXPECT_TRUE(CallsOf([&] { window_->Image4Click(); }).empty());
    EXPECT_EQ(WindowProbe::GenerujManual(*window_), output);
    EXPECT_EQ(Highest(preview_->Picture()).y, 10);
}

TEST(ImageTest, APictureOfTheControlsSizeThatTakesLeftClicks) {
    QWidget parent;
    Image image(&parent);
    image.setGeometry(0, 0, 30, 20);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_EQ(image.Picture().size(), QSize(30, 20));
    EXPECT_EQ(image.Picture().pixel(29, 19), qRgb(255, 255, 255));

    image.SetPenWidth(2);
    image.MoveTo(5, 10);
    image.LineTo(20, 10);
    EXPECT_TRUE(Black(image.Picture(), 20, 9) && Black(image.Picture(), 4, 10));
    EXPECT_FALSE(Black(image.Picture(), 21, 10) || Black(image.Picture(), 10, 11));
    image.FillRect(0, 0, 30, 20);
    EXPECT_FALSE(Black(image.Picture(), 20, 9));

    QSignalSpy clicks(&image, &Image::Click);
    QTest::mouseClick(&image, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(&image, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

} // namespace
