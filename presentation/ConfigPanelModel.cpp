#include "presentation/ConfigPanelModel.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

#include "platform/core/NumberText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"

ConfigPanelValues::ConfigPanelValues()
{
    for (std::size_t i = 0; i < kEditCount; ++i)
        edits[i] = kConfigEdits[i].initial;
    for (std::size_t i = 0; i < kCheckCount; ++i)
        checks[i] = kConfigChecks[i].initial;
    colours[kSwatchBackground] = MakeColor(0xB2, 0xB2, 0xB2);
    colours[kSwatchPolygon] = MakeColor(0xFF, 0xFF, 0xFF);
}

namespace {

using Record = CPresentationConfig;
// The record field each edit writes, in the order of ConfigEdit.
using EditFieldRef = std::variant<float Record::*, std::int16_t Record::*>;
const std::array<EditFieldRef, kEditCount> kEditFields = {
    &Record::m_Z_Scale,    &Record::m_Tilt,       &Record::m_Angle,      &Record::m_LightAngle,
    &Record::m_LightHight, &Record::m_LightIntensity, &Record::m_MatEmiss, &Record::m_MatReflect,
    &Record::m_XLineDecim, &Record::m_XLineShift, &Record::m_XLineWidth, &Record::m_YLineDecim,
    &Record::m_YLineShift, &Record::m_YLineWidth,
};

} // namespace

void StoreEdit(ConfigEdit edit, double value, CPresentationConfig& record)
{
    if (edit >= kEditCount)
        return;
    // A refused value is still stored; a typed number beyond the float range stops at its end.
    std::visit([&](auto field) {
        if constexpr (std::is_same_v<decltype(field), float Record::*>)
            record.*field = SaturateToFloat(value);
        else
            record.*field = TruncToInt16Bits(value);
    }, kEditFields[edit]);
    if (edit == kEditLightAngle || edit == kEditLightHight)
        ComputeLightPosition(record);
}

double EditField(ConfigEdit edit, const CPresentationConfig& record)
{
    if (edit >= kEditCount)
        return 0.0;
    return std::visit([&](auto field) { return static_cast<double>(record.*field); }, kEditFields[edit]);
}

std::optional<double> TypedEditValue(ConfigEdit edit, const std::string& text)
{
    const ConfigEditSpec& spec = kConfigEdits[edit];
    return ValueInRange(text, spec.min, spec.max, spec.whole);
}

std::string EditRefusal(ConfigEdit edit)
{
    const ConfigEditSpec& spec = kConfigEdits[edit];
    return RangeMessage(spec.min, spec.max, spec.whole);
}

std::string EditValueText(ConfigEdit edit, double field)
{
    const double value = InPanelRange(edit, field);
    if (kConfigEdits[edit].whole)
        return FormatFixed(value, 0);
    return ShortestFloatText(static_cast<float>(value));
}

void StoreCheck(ConfigCheck check, int value, CPresentationConfig& record)
{
    int* const fields[kCheckCount] = {&record.m_Border, &record.m_ViewPersp,
                                      &record.m_ZaxisVertical, &record.m_DrawAxiz,
                                      &record.m_HightColorLine, &record.m_EnadleSmooth};
    if (check < kCheckCount)
        *fields[check] = value;
}

void StoreSwatch(ConfigSwatch swatch, COLORREF colour, CPresentationConfig& record)
{
    COLORREF* const fields[kSwatchCount] = {&record.m_BorderColor, &record.m_BackgroundColor,
                                            &record.m_XLineColor, &record.m_YLineColor,
                                            &record.m_PolygonColor};
    if (swatch < kSwatchCount)
        *fields[swatch] = colour;
}

void StorePolygonRadio(int index, CPresentationConfig& record)
{
    if (index < 0 || index > kNoPolygonRadio)
        return;
    record.m_EnablePolygon = index == kNoPolygonRadio ? 0 : 1;
    if (index == kNoPolygonRadio)
        return;
    record.m_EnablePolygonColor = index == 0 || index == 1 ? 1 : 0;
    record.m_EnablePolygonLight = index == 0 || index == 2 ? 1 : 0;
}

int PolygonRadioOf(const CPresentationConfig& record)
{
    const bool colour = record.m_EnablePolygonColor != 0;
    const bool light = record.m_EnablePolygonLight != 0;
    if (record.m_EnablePolygon == 0 || (!colour && !light))
        return kNoPolygonRadio;
    return colour && light ? 0 : colour ? 1 : 2;
}

int EditHint(ConfigEdit edit)
{
    if (edit >= kEditXLineDecim && edit <= kEditXLineWidth)
        return kConfigHintXLines;
    if (edit >= kEditYLineDecim && edit <= kEditYLineWidth)
        return kConfigHintYLines;
    return 0;
}

int LineRadioHint(int index)
{
    constexpr int hints[] = {kConfigHintGridLines, kConfigHintXLines, kConfigHintYLines};
    return index >= 0 && index < 3 ? hints[index] : 0;
}

int ScrollStep(double position, ScrollCode code, int thumb, int min, int max)
{
    // Within min..max first, so that no position beyond an int is converted.
    const double at = std::clamp(position, static_cast<double>(min), static_cast<double>(max));
    const int below = static_cast<int>(std::ceil(at));   // the step left starts here
    const int above = static_cast<int>(std::floor(at));  // and the step right here
    switch (code) {
    case ScrollCode::LineLeft: return std::clamp(below - 1, min, max);
    case ScrollCode::LineRight: return std::clamp(above + 1, min, max);
    case ScrollCode::PageLeft: return std::clamp(below - 10, min, max);
    case ScrollCode::PageRight: return std::clamp(above + 10, min, max);
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack: return thumb;
    case ScrollCode::Other: break;
    }
    return static_cast<int>(std::lround(at));
}

double BarPosition(const ConfigScrollSpec& bar, double value)
{
    const double position = value / bar.scale;
    const double whole = std::round(position);
    // The record keeps floats: a value whose float is that of a whole position's product
    // stands there, so that a step from it moves.
    return static_cast<float>(whole * bar.scale) == static_cast<float>(value) ? whole : position;
}

namespace {

// The decimals that write every multiple of `scale` exactly, two at least (the panel's
// number format).
int StepDecimals(double scale)
{
    constexpr int kMostDecimals = 6;
    int decimals = 2;
    for (double shifted = scale * 100.0; decimals < kMostDecimals && std::abs(shifted - std::round(shifted)) > 1e-9;
         shifted *= 10.0)
        ++decimals;
    return decimals;
}

} // namespace

std::string ScrollText(const ConfigScrollSpec& bar, int position)
{
    return FormatFixed(position * bar.scale, StepDecimals(bar.scale));
}

double InPanelRange(ConfigEdit edit, double value)
{
    const ConfigEditSpec& spec = kConfigEdits[edit];
    if (std::isnan(value))
        return spec.initial;
    if (edit == kEditAngle || edit == kEditLightAngle)
        value = WrapDegrees(value);
    return std::clamp(value, spec.min, spec.max);
}

std::vector<ConfigLoadStep> LoadSteps(const CPresentationConfig& record)
{
    // In the order of the edits: the geometry, the light and material, the line values.
    std::vector<ConfigLoadStep> steps;
    for (std::size_t e = 0; e < kEditCount; ++e) {
        const auto edit = ConfigEdit(e);
        const double value = InPanelRange(edit, EditField(edit, record));
        const std::size_t bar = ScrollBarOf(edit);
        const double position = bar < kConfigScrollBars.size() ? BarPosition(kConfigScrollBars[bar], value) : -1.0;
        steps.push_back({edit, position, EditValueText(edit, value)});
    }
    return steps;
}

void LoadChoices(const CPresentationConfig& record, ConfigPanelValues& values)
{
    values.checks = {record.m_Border, record.m_ViewPersp, record.m_ZaxisVertical,
                     record.m_DrawAxiz, record.m_HightColorLine, record.m_EnadleSmooth};
    values.polygonRadio = PolygonRadioOf(record);
    values.lineRadio = record.m_DrawXYLine;
    values.colours = {record.m_BorderColor, record.m_BackgroundColor, record.m_XLineColor,
                      record.m_YLineColor, record.m_PolygonColor};
}

ConfigShownRecord ShownRecordOf(const CPresentationConfig& record)
{
    ConfigShownRecord shown;
    for (std::size_t e = 0; e < kEditCount; ++e)
        shown.values.edits[e] = InPanelRange(ConfigEdit(e), EditField(ConfigEdit(e), record));
    LoadChoices(record, shown.values);
    shown.colourSource = record.m_NameOfImageForColor;
    return shown;
}

namespace {

template <class T>
void TakeChange(T& shown, const T& before, const T& after)
{
    if (!(before == after))
        shown = after;
}

template <class T, std::size_t N>
void TakeChange(std::array<T, N>& shown, const std::array<T, N>& before, const std::array<T, N>& after)
{
    for (std::size_t i = 0; i < N; ++i)
        TakeChange(shown[i], before[i], after[i]);
}

} // namespace

void TakeChanges(ConfigShownRecord& shown, const ConfigShownRecord& before, const ConfigShownRecord& after)
{
    ConfigPanelValues& values = shown.values;
    TakeChange(values.edits, before.values.edits, after.values.edits);
    TakeChange(values.checks, before.values.checks, after.values.checks);
    TakeChange(values.colours, before.values.colours, after.values.colours);
    TakeChange(values.polygonRadio, before.values.polygonRadio, after.values.polygonRadio);
    TakeChange(values.lineRadio, before.values.lineRadio, after.values.lineRadio);
    TakeChange(shown.colourSource, before.colourSource, after.colourSource);
}

ConfigPending PendingAfterLoad(const CPresentationConfig& record)
{
    const int hint = LineRadioHint(record.m_DrawXYLine);
    return {hint, hint != 0};
}

int TakePendingHint(ConfigPending& pending)
{
    if (!pending.dirty)
        return 0;
    const int hint = pending.hint != 0 ? pending.hint : kConfigHintRepaint;
    pending = {};
    return hint;
}
