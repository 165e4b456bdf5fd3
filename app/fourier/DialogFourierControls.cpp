// The Fourier-transform dialog's controls: the two panes with their range texts, the filter
// parameters with their scroll bars, the radio groups, the primitive list and the buttons,
// each connected to the model's handler.
#include "app/fourier/DialogFourierTransform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/fourier/FourierPanes.h"
#include "app/render/GLCanvas.h"

namespace {

constexpr int kPaneSide = 396;

struct EditRow {
    int edit, bar;
    const char* label;
    int min, max;
};

constexpr EditRow kEditRows[] = {
    {kIdcXexpansion, kIdcXexpScroll, "Xexpansion", 10, 999},
    {kIdcYexpansion, kIdcYexpScroll, "Yexpansion", 10, 999},
    {kIdcShift, kIdcShiftScroll, "Shift", 0, 100},
    {kIdcCutOff, kIdcCutOffScroll, "CutOff", 1, 100},
    {kIdcOder, kIdcOderScroll, "Oder", 1, 100},
    {kIdcAngle, kIdcAngleScroll, "Angle", 0, 180},
};

int ScrollCodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return kLineLeft;
    case QAbstractSlider::SliderSingleStepAdd: return kLineRight;
    case QAbstractSlider::SliderPageStepSub: return kPageLeft;
    case QAbstractSlider::SliderPageStepAdd: return kPageRight;
    case QAbstractSlider::SliderMove: return kThumbTrack;
    default: return kEndScroll;
    }
}

} // namespace

QWidget* CDialogFourierTransform::BuildRadioGroup(const char* title, std::vector<std::pair<int, const char*>> radios,
                                                  int& member, void (CFourierDialogModel::*handler)())
{
    auto* box = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(box);
    std::vector<QAbstractButton*> group;
    for (const auto& [id, text] : radios) {
        auto* radio = new QRadioButton(text, box);
        radio->setAutoExclusive(false);  // the check marks follow the member, set by RefreshChecks
        m_buttons[id] = radio;
        group.push_back(radio);
        layout->addWidget(radio);
        connect(radio, &QAbstractButton::clicked, this, [this, group, radio, handler] {
            for (QAbstractButton* other : group)
                other->setChecked(other == radio);
            (m_model.*handler)();
        });
    }
    m_radioGroups.emplace_back(group, &member);
    return box;
}

QWidget* CDialogFourierTransform::BuildParameterBox()
{
    auto* box = new QGroupBox("Filter Parameter", this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    for (const EditRow& r : kEditRows) {
        auto* edit = new QLineEdit(box);
        edit->setFixedWidth(50);
        auto* bar = new QScrollBar(Qt::Horizontal, box);
        bar->setRange(r.min, r.max);
        bar->setMinimumWidth(140);
        m_edits[r.edit] = edit;
        m_bars[r.bar] = bar;
        grid->addWidget(new QLabel(r.label, box), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(bar, row++, 2);
        // Only the user's typing: the model sets its members together with the texts it shows.
        connect(edit, &QLineEdit::textEdited, this, [this, id = r.edit] { OnEditTyped(id); });
        connect(edit, &QLineEdit::editingFinished, this, [this, id = r.edit] { OnEditLeft(id); });
    }
    auto* colour = new QScrollBar(Qt::Horizontal, box);
    colour->setRange(1, 1000);
    m_bars[kIdcColorRange] = colour;
    m_labels[kIdcColorRangeText] = new QLabel("Color Range = ", box);
    grid->addWidget(m_labels[kIdcColorRangeText], row, 0, 1, 2);
    grid->addWidget(colour, row, 2);
    for (auto& [id, bar] : m_bars)
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, id = id, bar = bar](int action) {
            m_model.OnHScroll(id, ScrollCodeOf(action), bar->sliderPosition());
        });
    return box;
}

QWidget* CDialogFourierTransform::BuildButtons()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    using Handler = void (CFourierDialogModel::*)();
    const struct {
        int id;
        const char* text;
        Handler handler;
    } buttons[] = {
        {1083, "DirectTransform", &CFourierDialogModel::OnDirectTransform},
        {1084, "InverseTransform", &CFourierDialogModel::OnInverseTransform},
        {1100, "Filtering", &CFourierDialogModel::OnFiltering},
        {1101, "Load Image", &CFourierDialogModel::OnLoadImage},
        {1102, "Replace Image", &CFourierDialogModel::OnReplaceImage},
        {1112, "Add Prim", &CFourierDialogModel::OnAddPrim},
        {1113, "Load Def", &CFourierDialogModel::OnLoadDef},
        {1116, "Rep Prim", &CFourierDialogModel::OnRepPrim},
        {1120, "Clear All", &CFourierDialogModel::OnClearAll},
        {1121, "Remove", &CFourierDialogModel::OnRemove},
        {1122, "Load Filter", &CFourierDialogModel::OnLoadFilter},
        {1123, "SaveFilter", &CFourierDialogModel::OnSaveFilter},
    };
    int i = 0;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, box);
        button->setAutoDefault(false);
        m_buttons[b.id] = button;
        grid->addWidget(button, i / 2, i % 2);
        ++i;
        connect(button, &QPushButton::clicked, this, [this, handler = b.handler] { (m_model.*handler)(); });
    }
    auto* cancel = new QPushButton("Cancel", box);
    cancel->setAutoDefault(false);
    m_buttons[2] = cancel;
    grid->addWidget(cancel, i / 2 + 1, 0, 1, 2);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return box;
}

void CDialogFourierTransform::BuildControls()
{
    auto* layout = new QGridLayout(this);
    m_surface = CGLCanvas::PlatformDraws() ? new CSurfacePane(m_model, this) : nullptr;
    m_spectrum = new CSpectrumPane(this);
    for (int id : {kIdcWorkMin, kIdcWorkMax, kIdcShownMin, kIdcShownMax})
        m_labels[id] = new QLabel(id == kIdcWorkMin || id == kIdcShownMin ? "MinVal  = " : "MaxVal = ", this);
    layout->addWidget(new QLabel(" Inverse Fourier Transform", this), 0, 0);
    layout->addWidget(new QLabel("Direct Fourier Transform", this), 0, 1);
    QWidget* left = m_surface != nullptr ? static_cast<QWidget*>(m_surface) : new QWidget(this);
    left->setFixedSize(kPaneSide, kPaneSide);
    m_spectrum->setFixedSize(kPaneSide, kPaneSide);
    layout->addWidget(left, 1, 0);
    layout->addWidget(m_spectrum, 1, 1);
    auto* workRange = new QHBoxLayout;
    workRange->addWidget(m_labels[kIdcWorkMin]);
    workRange->addWidget(m_labels[kIdcWorkMax]);
    auto* shownRange = new QHBoxLayout;
    shownRange->addWidget(m_labels[kIdcShownMin]);
    shownRange->addWidget(m_labels[kIdcShownMax]);
    layout->addLayout(workRange, 2, 0);
    layout->addLayout(shownRange, 2, 1);

    auto* controls = new QHBoxLayout;
    controls->addWidget(BuildParameterBox());
    auto* radios = new QGridLayout;
    CFourierDialogModel& m = m_model;
    using M = CFourierDialogModel;
    radios->addWidget(BuildRadioGroup("2 -View", {{kIdcLogView, "Log View"}, {kIdcLinView, "Lin View"}}, m.m_nLinLog,
                                      &M::OnLinView), 0, 0);
    radios->addWidget(BuildRadioGroup("                   Show",
                                      {{1025, "Fourier Transform"}, {1028, "Filter"}, {1143, "Filtered Fourier Transf."}},
                                      m.m_nShowSpectrum, &M::OnParameterChange), 1, 0);
    radios->addWidget(BuildRadioGroup("Fourie Mode", {{1031, "X direction"}, {1135, "Y direction"}, {1136, "XY direction"}},
                                      m.m_nFourieMode, &M::OnFourieMode), 0, 1);
    radios->addWidget(BuildRadioGroup("Create Filter", {{1098, "LoPass"}, {1099, "HiPass"}}, m.m_nLoPass,
                                      &M::OnLoPassHiPass), 1, 1);
    radios->addWidget(BuildRadioGroup("", {{1137, "Circle"}, {1138, "Rectangle"}}, m.m_nShape, &M::OnCircleRectangle), 0, 2);
    radios->addWidget(BuildRadioGroup("", {{1141, "Single"}, {1142, "Complex"}}, m.m_nSingleComplex,
                                      &M::OnParameterChange), 1, 2);
    radios->addWidget(BuildRadioGroup("", {{1144, "Original Image"}, {1145, "Filtered Image"}, {1146, "Image Difference"}},
                                      m.m_nShowImage, &M::OnShowImage), 0, 3);
    auto* marker = new QCheckBox("Marker", this);
    m_buttons[1139] = marker;
    radios->addWidget(marker, 1, 3);
    connect(marker, &QAbstractButton::clicked, this, [this] { m_model.OnMarker(); });
    // The Log/Lin radios and the three spectrum radios have handlers of their own.
    for (int id : {int{kIdcLogView}, int{kIdcLinView}, 1025, 1028, 1143})
        disconnect(m_buttons[id], &QAbstractButton::clicked, nullptr, nullptr);
    const std::pair<int, void (M::*)()> own[] = {{kIdcLogView, &M::OnLogView}, {kIdcLinView, &M::OnLinView},
                                                 {1025, &M::OnShowFourierTransform}, {1028, &M::OnShowFilter},
                                                 {1143, &M::OnShowFilteredTransform}};
    for (const auto& [id, handler] : own) {
        const auto& group = m_radioGroups[id == kIdcLogView || id == kIdcLinView ? 0 : 1].first;
        connect(m_buttons[id], &QAbstractButton::clicked, this, [this, group, id = id, handler = handler] {
            for (QAbstractButton* other : group)
                other->setChecked(other == m_buttons[id]);
            (m_model.*handler)();
        });
    }
    controls->addLayout(radios);
    m_list = new CPrimitiveListBox(this, [this] { m_model.OnSelChangePrimList(); });
    m_list->setFixedWidth(120);
    controls->addWidget(m_list);
    controls->addWidget(BuildButtons());
    layout->addLayout(controls, 3, 0, 1, 2);
}
