// The window's resource: every control with its kind, place, texts, hint, range, steps, font,
// colours, visibility and parent, the tab order, and the binding of control events to handlers.
// Places are left, top, width, height in the parent's client area. Texts stand exactly as the
// window shows them; runs of blanks are spelled out with Blanks().

#include "app/ProgGenerator.h"
#include "app/controls/ComboBox.h"
#include "app/controls/Edit.h"
#include "app/controls/Image.h"
#include "app/controls/Label.h"
#include "app/controls/Panel.h"
#include "app/controls/RadioButton.h"
#include "app/controls/ScrollBar.h"
#include "app/controls/SpeedButton.h"
#include "app/controls/UpDown.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QColor Aqua(0x00, 0xFF, 0xFF);
const QColor Fuchsia(0xFF, 0x00, 0xFF);

// The menu entry's icon, in every size it comes in.
QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/progen-%1.png").arg(size));
    }
    return icon;
}

QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

template <class Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

void SetBold(QWidget* control) {
    QFont font = control->font();
    font.setBold(true);
    control->setFont(font);
}

void SetPixelSize(QWidget* control, int pixels) {
    QFont font = control->font();
    font.setPixelSize(pixels);
    control->setFont(font);
}

void SetTextColor(QWidget* control, const QColor& color) {
    QPalette colours = control->palette();
    colours.setColor(QPalette::WindowText, color);
    colours.setColor(QPalette::ButtonText, color);
    control->setPalette(colours);
}

void SetEditColor(QLineEdit* edit, const QColor& color) {
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base, color);
    edit->setPalette(colours);
}

// A panel of the sweep settings row: aqua, lowered, caption on the left. Its runs of blanks put
// the unit to the right of the number box over the panel; at 10 pixels our fonts keep the words
// clear of the box as the original's narrower one did.
Panel* CaptionPanel(QWidget* parent, const char* name, int left, int width, const QString& caption,
                    const QString& hint) {
    auto* panel = Place(new Panel(parent), name, left, 0, width, 20);
    panel->SetCaption(caption);
    panel->setToolTip(hint);
    panel->SetColor(Aqua);
    panel->SetBevelOuter(Panel::Bevel::Lowered);
    panel->SetAlignment(Qt::AlignLeft);
    SetPixelSize(panel, 10);
    return panel;
}

// A number box of the sweep settings row: bold, over its caption panel.
Edit* SweepEdit(QWidget* parent, const char* name, int left, int width, const QString& text,
                const QString& hint, const QColor& color) {
    auto* edit = Place(new Edit(text, parent), name, left, -1, width, 22);
    edit->setToolTip(hint);
    SetBold(edit);
    SetEditColor(edit, color);
    return edit;
}

ScrollBar* HolderScrollBar(QWidget* parent, const char* name, int min, int max, int position,
                           int arrowStep) {
    auto* bar = Place(new ScrollBar(parent), name, 0, 600, 0, 0);
    bar->SetMax(max);
    bar->SetMin(min);
    bar->SetPosition(position);
    bar->SetArrowStep(arrowStep);
    bar->hide();
    return bar;
}

// The level display behind an up-down: bold black caption on the left, inner bevel lowered.
Panel* LevelPanel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const QColor& color) {
    auto* panel = Place(new Panel(parent), name, left, top, width, height);
    panel->SetCaption(QStringLiteral("-0 dB"));
    SetBold(panel);
    panel->SetColor(color);
    panel->SetFontColor(Qt::black);
    panel->SetAlignment(Qt::AlignLeft);
    panel->SetBevelOuter(Panel::Bevel::None);
    panel->SetBevelInner(Panel::Bevel::Lowered);
    return panel;
}

UpDown* LevelUpDown(QWidget* parent, const char* name, int left, int top, int height) {
    auto* upDown = Place(new UpDown(parent), name, left, top, 15, height);
    upDown->SetMax(32);
    upDown->SetPosition(32);
    return upDown;
}

Label* RedLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                const QString& text) {
    auto* label = Place(new Label(text, parent), name, left, top, width, height);
    SetTextColor(label, Qt::red);
    SetPixelSize(label, 13);
    return label;
}

} // namespace

void TProgGenerator::CreateControls() {
    // "MS Sans Serif" does not exist here; DejaVu Sans Condensed is the nearest clean sans-serif
    // of about its width.
    QFont windowFont(QStringLiteral("DejaVu Sans Condensed"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setWindowTitle(QStringLiteral("GENERÁTOR SINUS-VORTAL") + Blanks(85) +
                   QStringLiteral("číselná nastavení "));
    setWindowIcon(ProgramIcon());

    // Shown at start. The widths and lefts of the right-hand column are FormResize's.
    TrackBarA = Place(new ScrollBar(this), "TrackBarA", 0, 1, 633, 18);
    TrackBarA->SetMax(32767);
    TrackBarA->SetArrowStep(100);
    TrackBarA->SetPageStep(1);
    TrackBarA->setToolTip(QStringLiteral("plynulé nastavevení amplitudy"));

    EditAmplituda = Place(new Edit(QStringLiteral("32767"), this), "EditAmplituda", 632, 0, 43, 20);
    SetBold(EditAmplituda);
    EditAmplituda->setToolTip(QStringLiteral("ukazuje velikost amlitudy nastavené potenciometrem "
                                             "a umožňuje přímé číselné zadání amplitudy"));

    TrackBarLF = Place(new ScrollBar(this), "TrackBarLF", 0, 24, 633, 19);
    TrackBarLF->SetArrowStep(100);
    TrackBarLF->SetPageStep(1);
    TrackBarLF->setToolTip(
        QStringLiteral("plynulé nastavení frekvence v mezích zvoleného rozsahu"));

    EditFrekvence =
        Place(new Edit(QStringLiteral("14999"), this), "EditFrekvence", 632, 23, 45, 21);
    SetBold(EditFrekvence);
    EditFrekvence->setToolTip(
        QStringLiteral("ukazuje nastavenou frekvenci a umožňuje číselné zadání frekvence"));

    ComboBox1 = Place(new ComboBox(this), "ComboBox1", 677, 23, 120, 21);
    ComboBox1->addItems({QStringLiteral("11 Hz až 15 kHz"), QStringLiteral("11 Hz až 100 Hz"),
                         QStringLiteral("100 Hz až 1 kHz"), QStringLiteral("1 kHz až 10 kHz"),
                         QStringLiteral("10 kHz až 15 kHz"),
                         Blanks(3) + QStringLiteral("automaticky")});
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QStringLiteral("11 Hz až 15 kHz "));
    SetBold(ComboBox1);
    ComboBox1->setToolTip(QStringLiteral("volba rozsahu a možnost automatické změny frekvence "));

    PanelWaveL = LevelPanel(this, "PanelWaveL", 677, 0, 120, 21, Qt::black);
    Panel9 = Place(new Panel(PanelWaveL), "Panel9", 0, 0, 120, 21);
    Panel9->SetCaption(QStringLiteral("regulace výst. napětí"));
    Panel9->setEnabled(false);
    Panel9->hide();

    UpDownWaveL = LevelUpDown(this, "UpDownWaveL", 717, 10, 3);
    UpDownWaveL->setToolTip(QStringLiteral("Wave hlasitost") + Blanks(2) +
                            QStringLiteral("pro levý kanál"));

    PanelAuxL = LevelPanel(this, "PanelAuxL", 736, 5, 41, 10, Aqua);
    PanelAuxL->SetBevelWidth(2);
    PanelAuxL->setToolTip(QStringLiteral("Vystupní hlasitost") + Blanks(2) +
                          QStringLiteral("pro levý kanál"));

    UpDownAuxL = LevelUpDown(this, "UpDownAuxL", 757, 5, 11);
    UpDownAuxL->setToolTip(PanelAuxL->toolTip());

    // Below the 72-pixel strip, so never seen in it.
    Label5 = RedLabel(this, "Label5", 592, 304, 110, 2, QStringLiteral("nastavení výstupní"));
    Label6 = RedLabel(this, "Label6", 578, 324, 83, 4, QStringLiteral("úrovně v [-dB]"));

    // The sweep settings row, in the frequency slider's place.
    Panel4 = Place(new Panel(this), "Panel4", 0, 24, 633, 20);
    Panel4->SetBevelOuter(Panel::Bevel::None);
    Panel4->hide();
    Panel7 =
        CaptionPanel(Panel4, "Panel7", 0, 170,
                     QStringLiteral(" minimální frekvence") + Blanks(18) + QStringLiteral("Hz"),
                     QStringLiteral("nastavení počáteční minimální frekvence"));
    Panel6 =
        CaptionPanel(Panel4, "Panel6", 180, 170,
                     QStringLiteral(" maximální frekvence") + Blanks(17) + QStringLiteral("Hz"),
                     QStringLiteral("nastavení konečné maximální frekvence"));
    Panel5 = CaptionPanel(Panel4, "Panel5", 360, 130,
                          QStringLiteral(" krok změny") + Blanks(18) + QStringLiteral("Hz"),
                          QStringLiteral("nastavení kroku změny fekvence"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(10);
    Panel5->setFont(arial);
    Panel8 = CaptionPanel(
        Panel4, "Panel8", 500, 133, QStringLiteral("prodleva") + Blanks(15) + QStringLiteral("ms"),
        QStringLiteral("nastavení časové prodlevy mezi jednotlivými kroky změny frekvence"));
    EditminF = SweepEdit(Panel4, "EditminF", 102, 45, QStringLiteral("100"),
                         QStringLiteral("číselné nastavení minimální frekvence"), Qt::white);
    EditMaxF =
        SweepEdit(Panel4, "EditMaxF", 285, 45, QStringLiteral("1000"),
                  QStringLiteral("číselné nastavení konečné maximální frekvence"), Qt::white);
    EditKrok = SweepEdit(Panel4, "EditKrok", 422, 45, QStringLiteral("100"),
                         QStringLiteral("číselné nastavení velikosti kroku změny frekvence"),
                         palette().color(QPalette::Base));
    EditProdleva = SweepEdit(
        Panel4, "EditProdleva", 547, 38, QStringLiteral("500"),
        QStringLiteral("číselné nastavení časové prodlevy mezi jednotlivými kroky po 100 ms"),
        Qt::white);
    // All but the maximum's box turn typed letters to lower case.
    EditminF->SetLowerCase();
    EditKrok->SetLowerCase();
    EditProdleva->SetLowerCase();
    ScrollBarMinF = HolderScrollBar(Panel4, "ScrollBarMinF", 0, 15000, 100, 100);
    ScrollBarMinF->setToolTip(QStringLiteral("nastavení počáteční MINIMÁLNÍ frekvence"));
    ScrollBarMaxF = HolderScrollBar(Panel4, "ScrollBarMaxF", 0, 15000, 1000, 100);
    ScrollBarKrok = HolderScrollBar(Panel4, "ScrollBarKrok", 1, 1000, 100, 10);
    ScrollBarProdleva = Place(new ScrollBar(Panel4), "ScrollBarProdleva", 604, 1, 30, 18);
    ScrollBarProdleva->SetMax(99);
    ScrollBarProdleva->SetMin(1);
    ScrollBarProdleva->SetPosition(5);
    ScrollBarProdleva->SetArrowStep(1);
    ScrollBarProdleva->SetPageStep(1);
    ScrollBarProdleva->setToolTip(
        QStringLiteral("nastavení časové prodlevy mezi jednotlivými kroky po 100 ms"));

    // The draggable panel with the sweep's start button, over the frequency number box. Play and
    // Pause lie outside its area.
    PanelHraj = Place(new Panel(this), "PanelHraj", 635, 25, 45, 17);
    PanelHraj->hide();
    PlayGenerujAuto = Place(new SpeedButton(PanelHraj), "PlayGenerujAuto", 0, 0, 40, 18);
    PlayGenerujAuto->setText(QStringLiteral(" start"));
    SetTextColor(PlayGenerujAuto, Qt::red);
    SetBold(PlayGenerujAuto);
    PlayGenerujAuto->setToolTip(QStringLiteral("Spustit automatické generování"));
    Play = Place(new SpeedButton(PanelHraj), "Play", 208, -8, 23, 22);
    Play->setText(QStringLiteral("Generuj"));
    Play->setToolTip(QStringLiteral("Spustit manuální generování"));
    Play->hide();
    Pause = Place(new SpeedButton(PanelHraj), "Pause", 248, 29, 23, 22);
    Pause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    Pause->setToolTip(QStringLiteral("Pause"));
    Pause->setEnabled(false);
    Pause->hide();

    // Never shown: their containers stay hidden, so their places below are nominal.
    PanelLImage = Place(new Panel(this), "PanelLImage", 0, 48, 200, 180);
    PanelLImage->hide();
    ImageL = Place(new Image(PanelLImage), "ImageL", 9, 25, 180, 150);
    LabelF = Place(new Label(QStringLiteral("LabelF"), PanelLImage), "LabelF", 10, 5, 100, 13);
    SetTextColor(LabelF, Fuchsia);
    LabelA = Place(new Label(QStringLiteral("LabelA"), PanelLImage), "LabelA", 112, 5, 80, 13);
    SetTextColor(LabelA, Qt::blue);

    PanelLeft = Place(new Panel(this), "PanelLeft", 0, 0, 0, 0);
    PanelLeft->hide();
    LabelNastaveni =
        Place(new Label(Blanks(3) + QStringLiteral("Nastaveni") + Blanks(3), PanelLeft),
              "LabelNastaveni", 8, 8, 80, 13);
    modeGroup_ = new QButtonGroup(this);
    SpeedButtonAuto = Place(new SpeedButton(PanelLeft), "SpeedButtonAuto", 8, 24, 80, 22);
    SpeedButtonAuto->setText(QStringLiteral("Automaticky"));
    SpeedButtonAuto->setToolTip(QStringLiteral("Přelaďování kmitů"));
    SpeedButtonAuto->JoinGroup(*modeGroup_);
    SpeedButtonManual = Place(new SpeedButton(PanelLeft), "SpeedButtonManual", 8, 48, 80, 22);
    SpeedButtonManual->setText(QStringLiteral("Manuálně"));
    SpeedButtonManual->setToolTip(QStringLiteral("Generuj periodické kmity"));
    SpeedButtonManual->JoinGroup(*modeGroup_);
    SpeedButtonManual->SetDown(true);
    Label7 =
        Place(new Label(QStringLiteral("Nastavit frekvenci"), PanelLeft), "Label7", 8, 76, 100, 13);

    PanelLF = Place(new Panel(PanelLeft), "PanelLF", 8, 92, 400, 200);
    PanelLF->hide();
    PanelF = Place(new Panel(PanelLF), "PanelF", 0, 0, 130, 140);
    GroupBox2 = Place(new QGroupBox(PanelF), "GroupBox2", 4, 4, 122, 132);
    const auto rangeButton = [this](const char* name, int row, const QString& text) {
        auto* button = Place(new RadioButton(GroupBox2), name, 8, 16 + 18 * row, 110, 17);
        button->setText(text);
        return button;
    };
    RadioButton1 = rangeButton("RadioButton1", 0, QStringLiteral("11 Hz až 100 Hz"));
    RadioButton2 = rangeButton("RadioButton2", 1, QStringLiteral("100 Hz až 1 kHz"));
    RadioButton3 = rangeButton("RadioButton3", 2, QStringLiteral("1 kHz až 10 kHz"));
    RadioButton4 = rangeButton("RadioButton4", 3, QStringLiteral("10 kHz až 15 kHz"));
    RadioButton5 = rangeButton("RadioButton5", 4, QStringLiteral("11Hz až 15 kHz"));
    RadioButton2->setChecked(true);
    Panel3 = Place(new Panel(GroupBox2), "Panel3", 8, 108, 40, 18);
    Panel3->SetCaption(QStringLiteral("max"));

    PanelFce = Place(new Panel(PanelLF), "PanelFce", 136, 0, 130, 140);
    GroupBox1 = Place(new QGroupBox(PanelFce), "GroupBox1", 4, 4, 122, 132);
    const auto waveform = [this](const char* buttonName, const char* imageName, int row,
                                 RadioButton*& button, Image*& image) {
        button = Place(new RadioButton(GroupBox1), buttonName, 8, 16 + 28 * row, 17, 17);
        image = Place(new Image(GroupBox1), imageName, 30, 12 + 28 * row, 40, 24);
    };
    waveform("RadioButtonSin", "Image1", 0, RadioButtonSin, Image1);
    waveform("RadioButtonPila", "Image2", 1, RadioButtonPila, Image2);
    waveform("RadioButtonTroj", "Image3", 2, RadioButtonTroj, Image3);
    waveform("RadioButtonObdelnik", "Image4", 3, RadioButtonObdelnik, Image4);
    RadioButtonSin->setChecked(true);
    RadioButtonPila->hide();
    Image2->hide();

    PanelA = Place(new Panel(PanelLF), "PanelA", 272, 0, 60, 60);
    min = Place(new Panel(PanelA), "min", 4, 4, 50, 20);
    min->SetCaption(QStringLiteral("min"));
    max = Place(new Panel(PanelA), "max", 4, 30, 50, 20);
    max->SetCaption(QStringLiteral("max"));

    PanelAuto = Place(new Panel(PanelLF), "PanelAuto", 0, 146, 400, 50);
    const auto autoLabel = [this](const char* name, int left, int top, const QString& text,
                                  const QString& hint) {
        auto* label = Place(new Label(text, PanelAuto), name, left, top, 120, 13);
        label->setToolTip(hint);
        return label;
    };
    const QString stepHint = QStringLiteral("Krok přelaďování");
    LabelMinF = autoLabel("LabelMinF", 4, 4, QStringLiteral("Minimální frekvence"),
                          QStringLiteral("Minimální frekvence od 1 Hz do 1 kHz"));
    LabelMaxF = autoLabel("LabelMaxF", 4, 20, QStringLiteral("Maximální frekvence"),
                          QStringLiteral("Maximální frekvence od 1 Hz do 1 kHz"));
    LabelKrokF = autoLabel("LabelKrokF", 200, 4, QStringLiteral("Krok změny frekvence"), stepHint);
    LabelProdlevaF =
        autoLabel("LabelProdlevaF", 200, 20, QStringLiteral("Prodleva mezi kroky "), stepHint);
    Label1 = autoLabel("Label1", 130, 4, QStringLiteral("Hz"), QString());
    Label2 = autoLabel("Label2", 130, 20, QStringLiteral("Hz"), QString());
    Label3 = autoLabel("Label3", 330, 4, QStringLiteral("Hz"), QString());
    Label4 = autoLabel("Label4", 330, 20, QStringLiteral("ms"), QString());

    Panel1 = Place(new Panel(PanelLeft), "Panel1", 8, 300, 20, 20);
    Panel1->SetColor(Qt::red);
    Panel1->hide();
    Panel2 = Place(new Panel(PanelLeft), "Panel2", 32, 300, 20, 20);
    Panel2->SetColor(Qt::red);
    Panel2->hide();

    // The last control, so it lies above the level controls.
    Button1 = Place(new QPushButton(QStringLiteral("regulace výst. napětí"), this), "Button1", 675,
                    2, 117, 18);
    Button1->setToolTip(QStringLiteral("zobrazí mixážní pult s další možností regulace amplitudy "
                                       "potenciometry HLASITOST a WAVE"));

    // Panels, labels, speed buttons and up-downs take no focus; hidden controls are skipped.
    setTabOrder(TrackBarLF, TrackBarA);
    setTabOrder(TrackBarA, EditFrekvence);
    setTabOrder(EditFrekvence, EditAmplituda);
    setTabOrder(EditAmplituda, ComboBox1);
    setTabOrder(ComboBox1, EditminF);
    setTabOrder(EditminF, EditMaxF);
    setTabOrder(EditMaxF, EditKrok);
    setTabOrder(EditKrok, EditProdleva);
    setTabOrder(EditProdleva, ScrollBarProdleva);
    setTabOrder(ScrollBarProdleva, Button1);

    connect(SpeedButtonManual, &SpeedButton::clicked, this, &TProgGenerator::ManualClick);
    connect(SpeedButtonAuto, &SpeedButton::clicked, this, &TProgGenerator::AutoClick);
    connect(LabelNastaveni, &Label::Click, this, &TProgGenerator::LabelNastaveniClick);
    connect(Play, &SpeedButton::clicked, this, &TProgGenerator::PlayClick);
    connect(Pause, &SpeedButton::clicked, this, &TProgGenerator::PauseClick);
    connect(UpDownWaveL, &UpDown::Changing, this, &TProgGenerator::UpDownWaveLChanging);
    connect(UpDownAuxL, &UpDown::Changing, this, &TProgGenerator::UpDownAuxLChanging);
    connect(Button1, &QPushButton::clicked, this, &TProgGenerator::Button1Click);
    connect(Panel9, &Panel::Click, this, &TProgGenerator::Panel9Click);
    connect(TrackBarLF, &ScrollBar::Change, this, &TProgGenerator::TrackBarLFChange);
    connect(TrackBarA, &ScrollBar::Change, this, &TProgGenerator::TrackBarAChange);
    connect(TrackBarLF, &ScrollBar::Scroll, this, &TProgGenerator::TrackBarlfScroll);
    connect(TrackBarA, &ScrollBar::Scroll, this, &TProgGenerator::TrackBarAScroll);
    connect(EditFrekvence, &Edit::Enter, this, &TProgGenerator::EditFrekvenceEnter);
    connect(EditFrekvence, &Edit::Click, this, &TProgGenerator::EditFrekvenceClick);
    connect(EditFrekvence, &Edit::KeyDown, this, &TProgGenerator::EditFrekvenceKeyDown);
    connect(EditAmplituda, &Edit::Click, this, &TProgGenerator::EditAmplitudaClick);
    connect(EditAmplituda, &Edit::KeyDown, this, &TProgGenerator::EditAmplitudaKeyDown);
    connect(ComboBox1, &ComboBox::Click, this, &TProgGenerator::ComboBox1Click);
    connect(ComboBox1, &ComboBox::Change, this, &TProgGenerator::ComboBox1Change);
    connect(RadioButton5, &RadioButton::Click, this, &TProgGenerator::RadioButton5Click);
    connect(PanelHraj, &Panel::MouseDown, this, &TProgGenerator::PanelHrajMouseDown);
    connect(PanelHraj, &Panel::MouseMove, this, &TProgGenerator::PanelHrajMouseMove);
    connect(PanelHraj, &Panel::MouseUp, this, &TProgGenerator::PanelHrajMouseUp);

    // The waveform choice and its preview.
    for (RadioButton* button :
         {RadioButtonSin, RadioButtonTroj, RadioButtonObdelnik, RadioButtonPila}) {
        connect(button, &RadioButton::Click, this, &TProgGenerator::RadioButtonPrubehClick);
    }
    connect(Image1, &Image::Click, this, &TProgGenerator::Image1Click);
    connect(Image2, &Image::Click, this, &TProgGenerator::Image2Click);
    connect(Image3, &Image::Click, this, &TProgGenerator::Image3Click);
    connect(Image4, &Image::Click, this, &TProgGenerator::Image4Click);
    connect(ImageL, &Image::Click, this, &TProgGenerator::ImageLClick);

    // The sweep settings row.
    for (ScrollBar* holder : {ScrollBarMinF, ScrollBarMaxF, ScrollBarKrok, ScrollBarProdleva}) {
        connect(holder, &ScrollBar::Change, this, &TProgGenerator::ScrollBarMinMaxKrokChange);
    }
    connect(EditminF, &Edit::KeyDown, this, &TProgGenerator::EditminFKeyDown);
    connect(EditMaxF, &Edit::KeyDown, this, &TProgGenerator::EditMaxFKeyDown);
    connect(EditKrok, &Edit::KeyDown, this, &TProgGenerator::EditKrokKeyDown);
    connect(EditProdleva, &Edit::KeyDown, this, &TProgGenerator::EditProdlevaKeyDown);
    connect(EditProdleva, &Edit::Change, this, &TProgGenerator::EditProdlevaChange);
    connect(EditminF, &Edit::Click, this, &TProgGenerator::EditminFClick);
    connect(EditMaxF, &Edit::Click, this, &TProgGenerator::EditMaxFClick);
    connect(EditKrok, &Edit::Click, this, &TProgGenerator::EditKrokClick);
    connect(EditProdleva, &Edit::Click, this, &TProgGenerator::EditProdlevaClick);
    connect(Panel7, &Panel::Click, this, &TProgGenerator::Panel7Click);
    connect(Panel8, &Panel::Click, this, &TProgGenerator::Panel8Click);

    // The start button stays down while a sweep runs.
    PlayGenerujAuto->setCheckable(true);
    connect(PlayGenerujAuto, &SpeedButton::clicked, this, &TProgGenerator::PlayGenerujAutoClick);
}
