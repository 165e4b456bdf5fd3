#include "presentation/ConfigPanelModel.h"

#include <algorithm>
#include <charconv>
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
    // The float fields' shortest text: 12.55 shows as "12.55", not as the double it widens to.
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<float>(value));
    return error == std::errc() ? std::string(text, end) : FormatFixed(value, 2);
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
    return std::abs(position - whole) <= 1e-9 * std::max(1.0, std::abs(whole)) ? whole : position;
}

std::string ScrollText(const ConfigScrollSpec& bar, int position)
{
    return FormatFixed(position * bar.scale, 2);
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

namespace {

// Every edit before the line values has a bar.
ConfigLoadStep BarStep(ConfigEdit edit, float value)
{
    const ConfigScrollSpec& bar = kConfigScrollBars[ScrollBarOf(edit)];
    const ConfigEditSpec& spec = kConfigEdits[edit];
    const auto fitted = static_cast<float>(InPanelRange(edit, value));
    // The product in single precision, as the record holds it: 0.3 x 10 gives 3. A value
    // at an end of its range stays there however the product rounds.
    const int position = std::clamp(TruncToInt32(fitted * static_cast<float>(1.0 / bar.scale)),
                                    static_cast<int>(std::lround(spec.min / bar.scale)),
                                    static_cast<int>(std::lround(spec.max / bar.scale)));
    return {edit, position, ScrollText(bar, position)};
}

} // namespace

std::vector<ConfigLoadStep> LoadSteps(const CPresentationConfig& record)
{
    std::vector<ConfigLoadStep> steps = {
        BarStep(kEditZScale, record.m_Z_Scale),
        BarStep(kEditTilt, record.m_Tilt),
        BarStep(kEditAngle, record.m_Angle),
        BarStep(kEditLightAngle, record.m_LightAngle),
        BarStep(kEditLightHight, record.m_LightHight),
        BarStep(kEditLightIntensity, record.m_LightIntensity),
        BarStep(kEditMatEmiss, record.m_MatEmiss),
        BarStep(kEditMatReflect, record.m_MatReflect),
    };
    const std::pair<ConfigEdit, std::int16_t> lines[] = {
        {kEditXLineDecim, record.m_XLineDecim}, {kEditXLineShift, record.m_XLineShift},
        {kEditXLineWidth, record.m_XLineWidth}, {kEditYLineDecim, record.m_YLineDecim},
        {kEditYLineShift, record.m_YLineShift}, {kEditYLineWidth, record.m_YLineWidth}};
    for (const auto& [edit, value] : lines)
        steps.push_back({edit, -1, FormatFixed(InPanelRange(edit, value), 0)});
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
