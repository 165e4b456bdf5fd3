// The configuration panel's controls: the geometry, light and material edits with their
// scroll bars, the polygon and line choices, the colour swatches, the image list and the
// file buttons, each connected to its handler; the panel's timer starts with it.
#include "app/panels/DlgConfig.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/panels/ColorSwatch.h"
#include "app/panels/PanelKeys.h"
#include "platform/qt/DataExchange.h"

namespace {

QString IdName(int id)
{
    return QString::number(id);
}

// One row of a group: the label, the edit and its scroll bar.
void AddEditRow(QGridLayout* grid, int row, QLineEdit* edit, QScrollBar* bar, const char* label)
{
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(bar, row, 2);
}

// The tight grid every group of the panel lays its controls out in.
QGridLayout* GroupGrid(QWidget* box)
{
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);
    return grid;
}

// A choice of four, two buttons a row from `firstColumn` on, each two columns wide.
void AddRadioPairs(QGridLayout* grid, const std::array<const char*, 4>& labels,
                   const int (&ids)[4], int firstColumn, std::vector<QAbstractButton*>& radios)
{
    for (std::size_t i = 0; i < labels.size(); ++i) {
        auto* radio = new QRadioButton(labels[i]);
        radio->setObjectName(IdName(ids[i]));
        radios.push_back(radio);
        grid->addWidget(radio, static_cast<int>(i / 2), static_cast<int>(i % 2) * 2 + firstColumn, 1, 2);
    }
}

} // namespace

C3DdlgConfig::C3DdlgConfig(CMainFrame& mainFrame, QWidget* parent)
    : QWidget(parent), m_mainFrame(mainFrame), m_watch(mainFrame)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* geometry = new QGroupBox("Geometry", this);
    auto* polygon = new QGroupBox("POLYGON", this);
    auto* lines = new QGroupBox("LINES", this);
    BuildGeometry(geometry);
    BuildPolygon(polygon);
    BuildLines(lines);
    layout->addWidget(geometry);
    layout->addWidget(polygon);
    layout->addWidget(lines);
    layout->addStretch(1);

    for (std::size_t b = 0; b < kConfigScrollBars.size(); ++b) {
        const ConfigScrollSpec& spec = kConfigScrollBars[b];
        m_bars[b]->setRange(spec.min, spec.max);
        FollowBar(spec.edit, kConfigEdits[spec.edit].initial);
    }
    for (std::size_t s = 0; s < kSwatchCount; ++s)
        m_swatches[s]->SetColor(m_values.colours[s]);
    CDataExchange write(false);
    DoDataExchange(write);
    Connect();
    // No frame is active yet.
    EnableControls(false);
    AddPanelKeys(*this, PanelKeys::kEscapeHides);
    connect(&m_timer, &QTimer::timeout, this, &C3DdlgConfig::OnTimer);
    m_timer.start(kTimerMs);
}

void C3DdlgConfig::BuildGeometry(QWidget* box)
{
    for (std::size_t e = 0; e < kEditCount; ++e) {
        m_edits[e] = new QLineEdit;
        m_edits[e]->setObjectName(IdName(kConfigEdits[e].id));
        m_edits[e]->setFixedWidth(52);
    }
    for (std::size_t b = 0; b < kConfigScrollBars.size(); ++b) {
        m_bars[b] = new QScrollBar(Qt::Horizontal);
        m_bars[b]->setObjectName(IdName(kConfigScrollBars[b].id));
        m_bars[b]->setSingleStep(1);
        m_bars[b]->setPageStep(10);
    }
    for (std::size_t c = 0; c < kCheckCount; ++c) {
        m_checks[c] = new QCheckBox(kConfigChecks[c].text);
        m_checks[c]->setObjectName(IdName(kConfigChecks[c].id));
    }
    for (std::size_t s = 0; s < kSwatchCount; ++s) {
        m_swatches[s] = new CColorSwatch;
        m_swatches[s]->setObjectName(IdName(kConfigSwatchIds[s]));
    }
    auto* grid = GroupGrid(box);
    for (ConfigEdit e : {kEditZScale, kEditTilt, kEditAngle})
        AddEditRow(grid, static_cast<int>(e), m_edits[e], m_bars[ScrollBarOf(e)], kConfigEdits[e].label);
    grid->addWidget(m_checks[kCheckBorder], 3, 0);
    grid->addWidget(m_swatches[kSwatchBorder], 3, 1);
    grid->addWidget(m_checks[kCheckViewPersp], 4, 0, 1, 3);
    grid->addWidget(m_checks[kCheckZaxisVertical], 5, 0, 1, 3);
    grid->addWidget(m_checks[kCheckDrawAxiz], 6, 0, 1, 3);
    grid->addWidget(new QLabel("Background Colour"), 7, 0);
    grid->addWidget(m_swatches[kSwatchBackground], 7, 1);
}

void C3DdlgConfig::BuildPolygon(QWidget* box)
{
    auto* grid = GroupGrid(box);
    constexpr int kPolygonRadioIds[] = {1020, 1022, 1021, 1043};
    AddRadioPairs(grid, kPolygonRadios, kPolygonRadioIds, 0, m_polygonRadios);
    grid->addWidget(m_swatches[kSwatchPolygon], 2, 0);
    grid->addWidget(m_checks[kCheckSmooth], 2, 1, 1, 2);
    int row = 3;
    for (ConfigEdit e : {kEditLightAngle, kEditLightHight, kEditLightIntensity, kEditMatEmiss,
                         kEditMatReflect})
        AddEditRow(grid, row++, m_edits[e], m_bars[ScrollBarOf(e)], kConfigEdits[e].label);
    m_pList = new QListWidget;
    m_pList->setObjectName(IdName(1061));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setFixedHeight(64);
    grid->addWidget(m_pList, row, 0, 1, 4);
}

void C3DdlgConfig::BuildLines(QWidget* box)
{
    auto* grid = GroupGrid(box);
    constexpr int kLineRadioIds[] = {1024, 1027, 1030, 1042};
    AddRadioPairs(grid, kLineRadios, kLineRadioIds, 1, m_lineRadios);
    const char* headings[] = {"Decimation", "Shift", "Width", "Colour"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(headings[c]), 2, c + 1);
    const ConfigEdit rows[2][3] = {{kEditXLineDecim, kEditXLineShift, kEditXLineWidth},
                                   {kEditYLineDecim, kEditYLineShift, kEditYLineWidth}};
    const ConfigSwatch swatches[2] = {kSwatchXLine, kSwatchYLine};
    for (int r = 0; r < 2; ++r) {
        grid->addWidget(new QLabel(r == 0 ? "X" : "Y"), r + 3, 0);
        for (int c = 0; c < 3; ++c) {
            m_edits[rows[r][c]]->setFixedWidth(40);
            grid->addWidget(m_edits[rows[r][c]], r + 3, c + 1);
        }
        grid->addWidget(m_swatches[swatches[r]], r + 3, 4);
    }
    grid->addWidget(m_checks[kCheckHeightColour], 5, 0, 1, 5);
    m_pLoad = new QPushButton("Load 2D/3D Conf");
    m_pSave = new QPushButton("Save 2D/3D Conf");
    m_pLoad->setObjectName(IdName(1051));
    m_pSave->setObjectName(IdName(1052));
    grid->addWidget(m_pLoad, 6, 0, 1, 5);
    grid->addWidget(m_pSave, 7, 0, 1, 5);
    connect(m_pLoad, &QPushButton::clicked, this, &C3DdlgConfig::OnLoad2D3DConf);
    connect(m_pSave, &QPushButton::clicked, this, &C3DdlgConfig::OnSave2D3DConf);
}

void C3DdlgConfig::Connect()
{
    for (std::size_t e = 0; e < kEditCount; ++e) {
        m_edits[e]->installEventFilter(this);
        connect(m_edits[e], &QLineEdit::textChanged, this, [this, e] { OnChangeEdit(ConfigEdit(e)); });
        connect(m_edits[e], &QLineEdit::editingFinished, this, [this, e] { OnEditFinished(ConfigEdit(e)); });
    }
    for (std::size_t b = 0; b < kConfigScrollBars.size(); ++b)
        connect(m_bars[b], &QScrollBar::actionTriggered, this, [this, b](int action) { OnScroll(b, action); });
    for (std::size_t c = 0; c < kCheckCount; ++c)
        connect(m_checks[c], &QCheckBox::clicked, this, [this, c] { OnCheck(ConfigCheck(c)); });
    for (std::size_t s = 0; s < kSwatchCount; ++s)
        connect(m_swatches[s], &CColorSwatch::clicked, this, [this, s] { OnSwatch(ConfigSwatch(s)); });
    for (std::size_t i = 0; i < m_polygonRadios.size(); ++i)
        connect(m_polygonRadios[i], &QAbstractButton::clicked, this, [this, i] { OnPolygonRadio(int(i)); });
    for (std::size_t i = 0; i < m_lineRadios.size(); ++i)
        connect(m_lineRadios[i], &QAbstractButton::clicked, this, [this, i] { OnLineRadio(int(i)); });
    connect(m_pList, &QListWidget::currentRowChanged, this, &C3DdlgConfig::OnSelchangeImageList);
}

void C3DdlgConfig::EnableControls(bool enabled)
{
    const auto enable = [enabled](const auto& widgets) {
        for (QWidget* widget : widgets)
            widget->setEnabled(enabled);
    };
    enable(m_edits);
    enable(m_bars);
    enable(m_checks);
    enable(m_swatches);
    enable(m_polygonRadios);
    enable(m_lineRadios);
    // The list holds no image to choose without a record.
    enable(std::array<QWidget*, 3>{m_pList, m_pLoad, m_pSave});
}
