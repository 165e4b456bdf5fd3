// The configuration panel's logic: scroll steps, loading a record, record fields and hints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/core/NumberText.h"
#include "presentation/ConfigPanelModel.h"

namespace {

const ConfigScrollSpec& Bar(ConfigEdit edit)
{
    for (const ConfigScrollSpec& bar : kConfigScrollBars)
        if (bar.edit == edit)
            return bar;
    throw std::logic_error("no bar");
}

// What the panel's change handlers leave in the record after it loaded `record`.
CPresentationConfig Shown(CPresentationConfig record)
{
    for (const ConfigLoadStep& step : LoadSteps(record))
        StoreEdit(step.edit, ParseDigitsNumber(step.text), record);
    return record;
}

} // namespace

// Each bar covers its edit's range and steps from where its edit's value lies on it, also
// between two of its positions.
TEST(ConfigPanelModel, ScrollStepsStayOnTheirBar)
{
    using enum ScrollCode;
    // (bar, position, code, thumb, expected)
    const std::tuple<ConfigEdit, double, ScrollCode, int, int> cases[] = {
        {kEditAngle, 100, LineRight, 0, 101},   {kEditAngle, 355, PageRight, 0, 360},
        {kEditTilt, 90, LineRight, 0, 91},      {kEditTilt, 355, PageRight, 0, 360},
        {kEditTilt, 360, LineRight, 0, 360},    {kEditZScale, 9995, PageRight, 0, 10000},
        {kEditZScale, 1, LineLeft, 0, 1},       {kEditZScale, 5, PageLeft, 0, 1},
        {kEditZScale, 125.5, LineRight, 0, 126}, {kEditZScale, 125.5, LineLeft, 0, 125},
        {kEditZScale, 125.5, PageRight, 0, 135}, {kEditZScale, 125.5, PageLeft, 0, 116},
        {kEditZScale, 125.5, Other, 0, 126},    {kEditZScale, 1.5, PageLeft, 0, 1},
        {kEditTilt, 40, ThumbTrack, 77, 77},    {kEditTilt, 40, ThumbPosition, 12, 12},
        {kEditTilt, 40, Other, 12, 40},
    };
    for (const auto& [edit, position, code, thumb, expected] : cases) {
        const ConfigScrollSpec& bar = Bar(edit);
        EXPECT_EQ(ScrollStep(position, code, thumb, bar.min, bar.max), expected)
            << bar.id << " " << position;
    }
    for (std::size_t e = 0; e < kEditCount; ++e) {
        if (ScrollBarOf(ConfigEdit(e)) == kConfigScrollBars.size())
            continue;
        const ConfigScrollSpec& bar = kConfigScrollBars[ScrollBarOf(ConfigEdit(e))];
        EXPECT_DOUBLE_EQ(bar.min * bar.scale, kConfigEdits[e].min) << kConfigEdits[e].label;
        EXPECT_DOUBLE_EQ(bar.max * bar.scale, kConfigEdits[e].max) << kConfigEdits[e].label;
    }
    // (bar, value, position): a value a step gives lands on its whole position.
    const std::tuple<ConfigEdit, double, double> positions[] = {
        {kEditZScale, 12.3, 123}, {kEditZScale, 12.55, 125.5}, {kEditZScale, 0.7, 7},
        {kEditLightIntensity, 0.601, 601}, {kEditMatEmiss, 0.29, 29}, {kEditTilt, 45.25, 45.25}};
    for (const auto& [edit, value, position] : positions)
        EXPECT_DOUBLE_EQ(BarPosition(Bar(edit), value), position) << value;
    EXPECT_EQ(BarPosition(Bar(kEditZScale), 0.3), 3.0);
    EXPECT_EQ(ScrollText(Bar(kEditZScale), 1), "0.10");
    EXPECT_EQ(ScrollText(Bar(kEditLightIntensity), 600), "0.600");
}

// An arrow of any bar, from a value of three decimals, writes the value one step from it the
// way the arrow points, exactly, and the bar then stands on that value's position.
TEST(ConfigPanelModel, EveryBarsArrowStepsItsValueTheWayItPoints)
{
    const std::pair<ConfigEdit, double> starts[] = {
        {kEditZScale, 12.345},        {kEditTilt, 45.125},         {kEditAngle, 300.375},
        {kEditLightAngle, 0.125},     {kEditLightHight, 1500.625}, {kEditLightIntensity, 0.747},
        {kEditLightIntensity, 0.74},  {kEditMatEmiss, 0.125},      {kEditMatReflect, 0.995},
    };
    for (const auto& [edit, start] : starts) {
        const ConfigScrollSpec& bar = Bar(edit);
        for (const ScrollCode code : {ScrollCode::LineLeft, ScrollCode::LineRight}) {
            const int position = ScrollStep(BarPosition(bar, start), code, 0, bar.min, bar.max);
            const std::string text = ScrollText(bar, position);
            const double stepped = ParseDigitsNumber(text);
            const double moved = code == ScrollCode::LineRight ? stepped - start : start - stepped;
            const std::string what = std::string(kConfigEdits[edit].label) + " " + FormatFixed(start, 3) + " " + text;
            EXPECT_GT(moved, 0.0) << what;
            EXPECT_LE(moved, bar.scale * (1 + 1e-9)) << what;
            EXPECT_NEAR(stepped, position * bar.scale, 1e-12) << what;
            EXPECT_EQ(BarPosition(bar, static_cast<float>(stepped)), position) << what;
        }
    }
}

// A text is taken when it reads as a value in its edit's range, and only then; leaving an
// edit with any other text says what the edit takes, and shows the record's value as a text
// that reads back as exactly that value.
TEST(ConfigPanelModel, TypedTextsAreTakenOnlyAsValuesInTheirEditsRange)
{
    const std::tuple<ConfigEdit, const char*, std::optional<double>> cases[] = {
        {kEditZScale, "12.5", 12.5},     {kEditZScale, "12.", 12.0},      {kEditZScale, "0", std::nullopt},
        {kEditZScale, "0.", std::nullopt}, {kEditZScale, "0.1", 0.1},     {kEditZScale, "1000", 1000.0},
        {kEditZScale, "1000.5", std::nullopt}, {kEditZScale, "1e2", 100.0},
        {kEditLightIntensity, "0", 0.0}, {kEditLightIntensity, "0.", 0.0}, {kEditLightIntensity, "05", std::nullopt},
        {kEditLightIntensity, ".5", 0.5}, {kEditTilt, "2000", std::nullopt}, {kEditTilt, "-", std::nullopt},
        {kEditTilt, "", std::nullopt},   {kEditTilt, " 45 ", 45.0},      {kEditTilt, "4,5", std::nullopt},
        {kEditXLineDecim, "2.5", std::nullopt}, {kEditXLineDecim, "7", 7.0}, {kEditXLineDecim, "101", std::nullopt},
        {kEditYLineWidth, "", std::nullopt}, {kEditYLineWidth, "0", 0.0},
    };
    for (const auto& [edit, text, value] : cases)
        EXPECT_EQ(TypedEditValue(edit, text), value) << kConfigEdits[edit].label << " \"" << text << "\"";
    EXPECT_EQ(EditRefusal(kEditZScale), "Please enter a number between 0.1 and 1000.");
    EXPECT_EQ(EditRefusal(kEditTilt), "Please enter a number between 0 and 360.");
    EXPECT_EQ(EditRefusal(kEditXLineShift), "Please enter an integer between 0 and 100.");

    const std::tuple<ConfigEdit, double, const char*> shown[] = {
        {kEditZScale, 12.5, "12.5"},  {kEditZScale, 12.55f, "12.55"}, {kEditLightIntensity, 0.6f, "0.6"},
        {kEditTilt, 400, "360"},      {kEditAngle, 400, "40"},        {kEditXLineDecim, 7, "7"},
        {kEditXLineWidth, 500, "100"}, {kEditMatEmiss, 0.001f, "0.001"},
    };
    for (const auto& [edit, value, text] : shown)
        EXPECT_EQ(EditValueText(edit, value), text) << value;
    // Every float field the panel takes shows as a text that gives the field back.
    for (const float value : {0.1f, 12.345678f, 0.61f, 359.99f, 1.0f / 3.0f}) {
        const std::optional<double> back = TypedEditValue(kEditAngle, EditValueText(kEditAngle, value));
        ASSERT_TRUE(back) << value;
        EXPECT_EQ(static_cast<float>(*back), value);
    }
}

// Showing a record changes none of its values: each edit's text reads back as its field
// exactly, each bar stands where the value lies, and a step from there moves to the next
// whole position each way. What a user typed (12.55, 45.5, 0.125) or a drag left (57.3)
// stays what a save writes.
TEST(ConfigPanelModel, ShowingARecordNeverChangesIt)
{
    using Record = CPresentationConfig;
    const struct {
        ConfigEdit edit;
        float Record::*field;
        float value;
        const char* text;
        double below;   // the values a step left and right give
        double above;
    } cases[] = {
        {kEditZScale, &Record::m_Z_Scale, 12.55f, "12.55", 12.5, 12.6},
        {kEditZScale, &Record::m_Z_Scale, 30.37f, "30.37", 30.3, 30.4},
        {kEditZScale, &Record::m_Z_Scale, 12.5f, "12.5", 12.4, 12.6},
        {kEditZScale, &Record::m_Z_Scale, 0.3f, "0.3", 0.2, 0.4},
        {kEditTilt, &Record::m_Tilt, 45.5f, "45.5", 45, 46},
        {kEditTilt, &Record::m_Tilt, 45.6f, "45.6", 45, 46},
        {kEditAngle, &Record::m_Angle, 57.300003f, "57.300003", 57, 58},
        {kEditLightAngle, &Record::m_LightAngle, 123.9f, "123.9", 123, 124},
        {kEditLightHight, &Record::m_LightHight, 1000.0f, "1000", 999, 1001},
        {kEditLightIntensity, &Record::m_LightIntensity, 0.125f, "0.125", 0.124, 0.126},
        {kEditLightIntensity, &Record::m_LightIntensity, 0.747f, "0.747", 0.746, 0.748},
        {kEditLightIntensity, &Record::m_LightIntensity, 0.3f, "0.3", 0.299, 0.301},
        {kEditLightIntensity, &Record::m_LightIntensity, 0.1255f, "0.1255", 0.125, 0.126},
        {kEditMatReflect, &Record::m_MatReflect, 0.069f, "0.069", 0.06, 0.07},
        {kEditMatEmiss, &Record::m_MatEmiss, 0.29f, "0.29", 0.28, 0.3},
    };
    for (const auto& c : cases) {
        Record record;
        record.*c.field = c.value;
        ComputeLightPosition(record);
        const std::vector<ConfigLoadStep> steps = LoadSteps(record);
        ASSERT_EQ(steps.size(), std::size_t(kEditCount));
        const ConfigLoadStep& step = steps[c.edit];
        ASSERT_EQ(step.edit, c.edit);
        EXPECT_EQ(step.text, c.text) << c.value;
        const CPresentationConfig shown = Shown(record);
        EXPECT_EQ(shown.*c.field, c.value) << c.text;
        EXPECT_EQ(ShownRecordOf(shown), ShownRecordOf(record)) << c.text;
        EXPECT_EQ(shown.m_LightPosition, record.m_LightPosition) << c.text;
        const ConfigScrollSpec& bar = Bar(c.edit);
        EXPECT_NEAR(step.position * bar.scale, c.value, 1e-6 * std::max(1.0f, c.value)) << c.text;
        for (const auto& [code, expected] : {std::pair{ScrollCode::LineLeft, c.below}, {ScrollCode::LineRight, c.above}}) {
            const int position = ScrollStep(step.position, code, 0, bar.min, bar.max);
            EXPECT_FLOAT_EQ(static_cast<float>(position * bar.scale), static_cast<float>(expected)) << c.text;
        }
    }
    CPresentationConfig lines;
    lines.m_YLineWidth = 7;
    EXPECT_EQ(LoadSteps(lines).back().text, "7");
    EXPECT_EQ(LoadSteps(lines).back().position, -1.0);
}

// The panel keeps what it showed of a record, and takes from its own changes only what they
// changed: a change made elsewhere meanwhile still differs from what it shows.
TEST(ConfigPanelModel, ShownRecordTakesOnlyThePanelsOwnChanges)
{
    CPresentationConfig record;
    ConfigShownRecord shown = ShownRecordOf(record);
    // A drag turns the view; the panel's check box then writes the border.
    record.m_Angle = 80.0f;
    record.m_Tilt = 80.0f;
    const CPresentationConfig beforeCheck = record;
    StoreCheck(kCheckBorder, 0, record);
    TakeChanges(shown, ShownRecordOf(beforeCheck), ShownRecordOf(record));
    EXPECT_EQ(shown.values.checks[kCheckBorder], 0);
    EXPECT_NE(shown, ShownRecordOf(record));
    EXPECT_EQ(shown.values.edits[kEditAngle], CPresentationConfig().m_Angle);
    // Each kind of value counts as a change to show.
    const std::vector<std::function<void(CPresentationConfig&)>> changes = {
        [](CPresentationConfig& r) { r.m_Z_Scale = 12.55f; },
        [](CPresentationConfig& r) { r.m_XLineShift = 4; },
        [](CPresentationConfig& r) { r.m_ViewPersp = 0; },
        [](CPresentationConfig& r) { r.m_YLineColor = 0x123456; },
        [](CPresentationConfig& r) { StorePolygonRadio(2, r); },
        [](CPresentationConfig& r) { r.m_DrawXYLine = 1; },
        [](CPresentationConfig& r) { r.m_NameOfImageForColor = "Amplitude_02"; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CPresentationConfig changed;
        changes[i](changed);
        EXPECT_NE(ShownRecordOf(changed), ShownRecordOf(CPresentationConfig())) << i;
        ConfigShownRecord taken = ShownRecordOf(CPresentationConfig());
        TakeChanges(taken, ShownRecordOf(CPresentationConfig()), ShownRecordOf(changed));
        EXPECT_EQ(taken, ShownRecordOf(changed)) << i;
    }
    // A value beyond every edit's range shows, and compares, as the panel fits it.
    CPresentationConfig wild;
    wild.m_Tilt = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ShownRecordOf(wild), ShownRecordOf(wild));
}

// Whatever a record holds (a file's numbers, a drag's angle, an older program's values),
// the panel shows a value its own check accepts, without asking: the azimuths by whole turns
// taken off, every other value held at the end of its range. A value in range shows as before.
TEST(ConfigPanelModel, LoadedValuesComeIntoTheEditsRanges)
{
    using Record = CPresentationConfig;
    using Field = std::variant<float Record::*, std::int16_t Record::*>;
    const struct {
        ConfigEdit edit;
        Field field;
        double value;
        const char* shown;
    } cases[] = {
        {kEditAngle, &Record::m_Angle, 400.0, "40"},
        {kEditAngle, &Record::m_Angle, -53.5, "306.5"},      // a long drag left of a full turn
        {kEditAngle, &Record::m_Angle, 1090.0, "10"},
        {kEditAngle, &Record::m_Angle, 360.0, "360"},
        {kEditAngle, &Record::m_Angle, 123.9, "123.9"},
        {kEditLightAngle, &Record::m_LightAngle, -30.0, "330"},
        {kEditTilt, &Record::m_Tilt, -4.0, "0"},
        {kEditTilt, &Record::m_Tilt, 500.0, "360"},
        {kEditZScale, &Record::m_Z_Scale, 0.05, "0.1"},
        {kEditZScale, &Record::m_Z_Scale, 0.1, "0.1"},
        {kEditZScale, &Record::m_Z_Scale, 3e38, "1000"},
        {kEditLightHight, &Record::m_LightHight, 2500.0, "2000"},
        {kEditLightIntensity, &Record::m_LightIntensity, 3.0, "1"},
        {kEditLightIntensity, &Record::m_LightIntensity, -0.5, "0"},
        {kEditMatEmiss, &Record::m_MatEmiss, 1.5, "1"},
        {kEditMatReflect, &Record::m_MatReflect, -2.0, "0"},
        {kEditXLineDecim, &Record::m_XLineDecim, 500.0, "100"},
        {kEditYLineShift, &Record::m_YLineShift, -5.0, "0"},
        {kEditYLineWidth, &Record::m_YLineWidth, 7.0, "7"},
    };
    for (const auto& c : cases) {
        Record record;
        std::visit([&](auto field) { record.*field = static_cast<std::remove_reference_t<decltype(record.*field)>>(c.value); },
                   c.field);
        const std::vector<ConfigLoadStep> steps = LoadSteps(record);
        for (const ConfigLoadStep& step : steps) {
            const ConfigEditSpec& spec = kConfigEdits[step.edit];
            const double shown = ParseDigitsNumber(step.text);
            EXPECT_TRUE(shown >= spec.min && shown <= spec.max) << spec.label << " " << step.text;
        }
        const auto step = std::ranges::find(steps, c.edit, &ConfigLoadStep::edit);
        ASSERT_NE(step, steps.end());
        EXPECT_EQ(step->text, c.shown) << kConfigEdits[c.edit].label << " " << c.value;
        const double fitted = InPanelRange(c.edit, c.value);
        EXPECT_TRUE(fitted >= kConfigEdits[c.edit].min && fitted <= kConfigEdits[c.edit].max) << c.value;
    }
}

// A refused value is still stored; one beyond the float range stops at its end, and the
// light stays a finite point.
TEST(ConfigPanelModel, TypedNumbersBeyondTheFloatRangeStopAtItsEnds)
{
    constexpr float kLargest = std::numeric_limits<float>::max();
    const std::tuple<ConfigEdit, double, float CPresentationConfig::*, float> cases[] = {
        {kEditZScale, 1e39, &CPresentationConfig::m_Z_Scale, kLargest},
        {kEditLightAngle, -1e300, &CPresentationConfig::m_LightAngle, -kLargest},
        {kEditLightHight, HUGE_VAL, &CPresentationConfig::m_LightHight, kLargest},
        {kEditTilt, 45.5, &CPresentationConfig::m_Tilt, 45.5f},
    };
    for (const auto& [edit, typed, field, stored] : cases) {
        CPresentationConfig record;
        StoreEdit(edit, typed, record);
        EXPECT_EQ(record.*field, stored) << typed;
        for (const float at : record.m_LightPosition)
            EXPECT_FALSE(std::isinf(at)) << typed;
    }
}

TEST(ConfigPanelModel, PolygonRadioRoundTrip)
{
    for (int radio = 0; radio < kNoPolygonRadio; ++radio) {
        CPresentationConfig record;
        StorePolygonRadio(radio, record);
        EXPECT_EQ(PolygonRadioOf(record), radio);
        StorePolygonRadio(kNoPolygonRadio, record);
        EXPECT_EQ(PolygonRadioOf(record), kNoPolygonRadio);
        // "None" keeps the colour and light choice for when the polygon comes back.
        record.m_EnablePolygon = 1;
        EXPECT_EQ(PolygonRadioOf(record), radio);
    }
    CPresentationConfig dark;
    dark.m_EnablePolygonColor = dark.m_EnablePolygonLight = 0;
    EXPECT_EQ(PolygonRadioOf(dark), kNoPolygonRadio);
}

TEST(ConfigPanelModel, HintsOfLinesAndLoads)
{
    EXPECT_EQ(EditHint(kEditXLineShift), kConfigHintXLines);
    EXPECT_EQ(EditHint(kEditYLineDecim), kConfigHintYLines);
    EXPECT_EQ(EditHint(kEditTilt), kConfigHintNone);
    const int hints[] = {kConfigHintGridLines, kConfigHintXLines, kConfigHintYLines,
                         kConfigHintNone};
    for (int lines = 0; lines < 4; ++lines) {
        CPresentationConfig record;
        record.m_DrawXYLine = lines;
        ConfigPending pending = PendingAfterLoad(record);
        EXPECT_EQ(TakePendingHint(pending), hints[lines]);
        EXPECT_EQ(TakePendingHint(pending), 0);  // sent once
    }
    ConfigPending repaint{kConfigHintNone, true};
    EXPECT_EQ(TakePendingHint(repaint), kConfigHintRepaint);
}

TEST(ConfigPanelModel, ChoicesAndSwatchesReachTheirFields)
{
    CPresentationConfig record;
    for (std::size_t i = 0; i < kCheckCount; ++i)
        StoreCheck(ConfigCheck(i), int(i) + 10, record);
    for (std::size_t i = 0; i < kSwatchCount; ++i)
        StoreSwatch(ConfigSwatch(i), COLORREF(i) + 100, record);
    ConfigPanelValues values;
    LoadChoices(record, values);
    for (std::size_t i = 0; i < kCheckCount; ++i)
        EXPECT_EQ(values.checks[i], int(i) + 10) << i;
    for (std::size_t i = 0; i < kSwatchCount; ++i)
        EXPECT_EQ(values.colours[i], COLORREF(i) + 100) << i;
}
