// The configuration panel without its widgets: the values its controls show, which record
// field each control writes and with which hint, the scroll bars that drive the edits, and
// what the panel shows when it loads a record.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "presentation/PresentationConfig.h"

// The update hints the panel sends: the values of the document's view hints, which sit in a
// layer above this one (the panel checks that they agree).
enum ConfigHint : int {
    kConfigHintNone = 0,
    kConfigHintGridLines = 1,
    kConfigHintXLines = 2,
    kConfigHintYLines = 3,
    kConfigHintColors = 4,
    kConfigHintRepaint = 6,
};

enum ConfigEdit : std::size_t {
    kEditZScale, kEditTilt, kEditAngle, kEditLightAngle, kEditLightHight, kEditLightIntensity,
    kEditMatEmiss, kEditMatReflect, kEditXLineDecim, kEditXLineShift, kEditXLineWidth,
    kEditYLineDecim, kEditYLineShift, kEditYLineWidth, kEditCount
};

struct ConfigEditSpec {
    int id;             // control id
    const char* label;
    double min;         // validation range
    double max;
    bool whole;         // a 16-bit field: whole numbers only
    double initial;     // the panel's value before any record is shown
};

inline constexpr std::array<ConfigEditSpec, kEditCount> kConfigEdits = {{
    {1000, "Zscale", 0.1, 1000.0, false, 60.0},
    {1001, "Tilt", 0.0, 360.0, false, 50.0},
    {1002, "Angle", 0.0, 360.0, false, 27.0},
    {1014, "LightAngle", 0.0, 360.0, false, 250.0},
    {1015, "LightHight", 0.0, 2000.0, false, 1000.0},
    {1016, "LightIntensity", 0.0, 1.0, false, 0.6},
    {1040, "MaterialEmission", 0.0, 1.0, false, 0.0},
    {1041, "MaterialReflectivity", 0.0, 1.0, false, 0.0},
    {1034, "Decimation", 0.0, 100.0, true, 3.0},
    {1036, "Shift", 0.0, 100.0, true, 0.0},
    {1038, "Width", 0.0, 100.0, true, 2.0},
    {1035, "Decimation", 0.0, 100.0, true, 3.0},
    {1037, "Shift", 0.0, 100.0, true, 0.0},
    {1039, "Width", 0.0, 100.0, true, 2.0},
}};

// A scroll bar sets its edit's text to position x scale, and covers its edit's whole range:
// a bar step moves from whatever value the edit shows.
struct ConfigScrollSpec {
    int id;
    ConfigEdit edit;
    int min;
    int max;
    double scale;
};

inline constexpr std::array<ConfigScrollSpec, 8> kConfigScrollBars = {{
    {1003, kEditZScale, 1, 10000, 0.1},
    {1005, kEditTilt, 0, 360, 1.0},
    {1006, kEditAngle, 0, 360, 1.0},
    {1017, kEditLightAngle, 0, 360, 1.0},
    {1018, kEditLightHight, 0, 2000, 1.0},
    {1019, kEditLightIntensity, 0, 1000, 0.001},
    {1032, kEditMatEmiss, 0, 100, 0.01},
    {1033, kEditMatReflect, 0, 100, 0.01},
}};

// The place of an edit's bar in kConfigScrollBars; its size for an edit without a bar (the
// line values).
constexpr std::size_t ScrollBarOf(ConfigEdit edit)
{
    for (std::size_t b = 0; b < kConfigScrollBars.size(); ++b)
        if (kConfigScrollBars[b].edit == edit)
            return b;
    return kConfigScrollBars.size();
}

enum ConfigCheck : std::size_t {
    kCheckBorder, kCheckViewPersp, kCheckZaxisVertical, kCheckDrawAxiz, kCheckHeightColour,
    kCheckSmooth, kCheckCount
};

struct ConfigCheckSpec {
    int id;
    const char* text;
    int initial;
};

inline constexpr std::array<ConfigCheckSpec, kCheckCount> kConfigChecks = {{
    {1011, "Border", 1},
    {1049, "View Perspective", 1},
    {1050, "Zaxis Vertical", 0},
    {1133, "Draw axiz", 1},
    {1012, "HeightColour", 0},
    {1080, "Smooth", 0},
}};

enum ConfigSwatch : std::size_t {
    kSwatchBorder, kSwatchBackground, kSwatchXLine, kSwatchYLine, kSwatchPolygon, kSwatchCount
};

inline constexpr std::array<int, kSwatchCount> kConfigSwatchIds = {1048, 1044, 1045, 1046, 1047};

// Radio groups, in index order.
inline constexpr std::array<const char*, 4> kPolygonRadios = {"Colour and Light", "Colour",
                                                              "Light", "None Colour and Light "};
inline constexpr std::array<const char*, 4> kLineRadios = {"X and Y ", "X Line", "Y Line",
                                                           "None XY Line"};
inline constexpr int kNoPolygonRadio = 3;
inline constexpr int kNoLineRadio = 3;

// What the controls hold.
struct ConfigPanelValues {
    std::array<double, kEditCount> edits{};
    std::array<int, kCheckCount> checks{};
    std::array<COLORREF, kSwatchCount> colours{};
    int polygonRadio = 0;
    int lineRadio = kNoLineRadio;

    ConfigPanelValues();
    bool operator==(const ConfigPanelValues&) const = default;
};

// Record fields written by the handlers. The light edits also recompute the light position.
void StoreEdit(ConfigEdit edit, double value, CPresentationConfig& record);
// The value of the record's field that `edit` writes.
double EditField(ConfigEdit edit, const CPresentationConfig& record);

// The value a text in `edit` gives when it reads as a number in the edit's range (a whole one
// for the line values); none for a text on its way to one, or no value at all.
std::optional<double> TypedEditValue(ConfigEdit edit, const std::string& text);
// What the edit says when the user leaves it holding a text that is no value in its range.
std::string EditRefusal(ConfigEdit edit);
// The text that shows a field's `value` in `edit` and reads back as the field exactly: the
// shortest such number, brought into the edit's range first.
std::string EditValueText(ConfigEdit edit, double value);
void StoreCheck(ConfigCheck check, int value, CPresentationConfig& record);
void StoreSwatch(ConfigSwatch swatch, COLORREF colour, CPresentationConfig& record);
// "None" switches the polygon off and leaves its colour and light flags as they were.
void StorePolygonRadio(int index, CPresentationConfig& record);
int PolygonRadioOf(const CPresentationConfig& record);

// The hint an edit's change sends (X-line edits 2, Y-line edits 3, others none).
int EditHint(ConfigEdit edit);
// The hint of a line radio: both, X, Y or no grid lines.
int LineRadioHint(int index);

enum class ScrollCode { LineLeft, LineRight, PageLeft, PageRight, ThumbPosition, ThumbTrack, Other };
// The new position of a bar that stands at `position`, which lies between two whole positions
// when its edit shows a value between two of the bar's steps: lines move to the next whole
// position that way and 9 beyond for pages, within min..max (so 12.5 steps to 13 and 12,
// 12.25 to 13 and 12); the thumb's position is taken as it comes; other codes keep the
// position.
int ScrollStep(double position, ScrollCode code, int thumb, int min, int max);
// Where on `bar` its edit's `value` lies, in the bar's positions; a value that is, as a
// record's float, the product a step gives (12.3 / 0.1, 0.3f / 0.001) lands on its whole
// position.
double BarPosition(const ConfigScrollSpec& bar, double value);
// The edit text a bar position gives: position x scale, with two decimals or as many as the
// bar's step needs (three for a thousandth), so that every step shows and stores its value.
std::string ScrollText(const ConfigScrollSpec& bar, int position);

// A record's value brought into what its edit accepts, so that showing a record never
// refuses it: the two azimuths wrap into 0..360 (a full turn is the same view), every other
// value is held within its edit's range. Whatever put the value there, a file, a drag or an
// older program, the panel shows and keeps the fitted value without a message.
double InPanelRange(ConfigEdit edit, double value);

// One step of loading a record into the controls: where the edit's bar stands (-1 for an
// edit without one) and the edit's text, in the order the panel sets them.
struct ConfigLoadStep {
    ConfigEdit edit;
    double position;
    std::string text;
};
// Each value brought into its edit's range first, then shown exactly: the text reads back as
// the field, and the bar stands where the value lies, between two positions where it lies
// between two steps. Showing a record never changes a value its edit takes.
std::vector<ConfigLoadStep> LoadSteps(const CPresentationConfig& record);
// The checks, radios and colours a loaded record shows.
void LoadChoices(const CPresentationConfig& record, ConfigPanelValues& values);

// What the panel shows of a record. The panel keeps the last it showed or wrote, and a tick
// that finds the record otherwise shows what changed: a drag in the 3D view, a file read
// into the record elsewhere.
struct ConfigShownRecord {
    ConfigPanelValues values;          // edits as the panel shows them, brought into range
    std::string colourSource;          // the image whose palette colours the record

    bool operator==(const ConfigShownRecord&) const = default;
};
ConfigShownRecord ShownRecordOf(const CPresentationConfig& record);
// `shown` takes what changed from `before` to `after`, and only that: a change the panel
// made itself is shown already, while one made elsewhere in the meantime is still to show.
void TakeChanges(ConfigShownRecord& shown, const ConfigShownRecord& before, const ConfigShownRecord& after);

// The change the panel sends at its next tick: a hint and whether it is pending.
struct ConfigPending {
    int hint = 0;
    bool dirty = false;
};
// After a load: the record's grid lines are sent at once, "none" sends nothing.
ConfigPending PendingAfterLoad(const CPresentationConfig& record);
// The hint to send now (6, repaint, when none was given), clearing the pending change;
// 0 when nothing is pending.
int TakePendingHint(ConfigPending& pending);
