// The primitive list of the Fourier-transform dialog, its mask builds and its filter files.
#include "fourier/FilterFile.h"
#include "fourier/FourierDialogModel.h"
#include "image/ImageStatistics.h"
#include "platform/core/NumberText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"
#include "processing/ImageProcessor.h"

namespace {

std::string ItemText(std::size_t number)
{
    return "FilterPrim" + FormatFixed(static_cast<double>(number), 0);
}

} // namespace

namespace {

// The edits of the real fields: what each holds, its member and how many decimals it shows.
struct RealEdit {
    int id;
    FilterField field;
    std::string CFourierDialogModel::*text;
    int decimals;
};

constexpr RealEdit kRealEdits[] = {
    {kIdcCutOff, FilterField::kCutoff, &CFourierDialogModel::m_strCutOff, 2},
    {kIdcXexpansion, FilterField::kXcomp, &CFourierDialogModel::m_strXexpansion, 1},
    {kIdcYexpansion, FilterField::kYcomp, &CFourierDialogModel::m_strYexpansion, 1},
    {kIdcShift, FilterField::kShift, &CFourierDialogModel::m_strShift, 2},
};

} // namespace

void CFourierDialogModel::OnEditFinished(int id)
{
    for (const RealEdit& edit : kRealEdits) {
        if (edit.id != id)
            continue;
        const double typed = ParseIniNumber(this->*edit.text);
        const double held = HeldValue(edit.field, typed);
        if (held == typed)
            return;
        std::string text = FormatFixed(held, edit.decimals);
        if (ParseIniNumber(text) != held)
            text = FormatFixed(held, 2);
        SetEdit(id, text);
    }
}

FilterPrimitive CFourierDialogModel::PrimitiveOfControls() const
{
    // The edits hold values of their bars only; a text still being typed with more decimals
    // than a file keeps shows as the primitive takes it once it is left.
    FilterPrimitive p;
    p.LoPass = m_nLoPass;
    p.Type = m_nShape == 0 ? 0u : 1u;
    p.Angle = m_nAngle;
    p.Oder = static_cast<std::uint32_t>(std::max(m_nOder, 0));
    p.Cutoff = ParseIniNumber(m_strCutOff);
    p.Xcomp = ParseIniNumber(m_strXexpansion);
    p.Ycomp = ParseIniNumber(m_strYexpansion);
    p.Shift = ParseIniNumber(m_strShift);
    return ClampToControls(p);
}

void CFourierDialogModel::ReadPrimitiveControls()
{
    m_CurPrimitive = PrimitiveOfControls();
}

void CFourierDialogModel::OnEditRefused(int id)
{
    // A bar moved while the refused text was typed builds the mask from the primitive, which
    // then took the value read on the way to that text: it goes back with the edit, and so
    // does the mask shown.
    const FilterPrimitive shown = PrimitiveOfControls();
    FilterPrimitive& p = m_CurPrimitive;
    const FilterPrimitive before = p;
    switch (id) {
    case kIdcAngle: p.Angle = shown.Angle; break;
    case kIdcOder: p.Oder = shown.Oder; break;
    case kIdcCutOff: p.Cutoff = shown.Cutoff; break;
    case kIdcShift: p.Shift = shown.Shift; break;
    case kIdcXexpansion: p.Xcomp = shown.Xcomp; break;
    case kIdcYexpansion: p.Ycomp = shown.Ycomp; break;
    default: return;
    }
    if (p != before)
        m_nPendingAction = kSingleMask;
}

void CFourierDialogModel::UpdatePrimitiveControls()
{
    m_view.SetTimerPeriod(0);
    m_nLoPass = m_CurPrimitive.LoPass;
    m_nShape = m_CurPrimitive.Type == 0 ? 0 : 1;
    m_view.RefreshChecks();
    const FilterPrimitive& p = m_CurPrimitive;
    const struct {
        int edit, bar;
        double value;
        int decimals, position;
    } fields[] = {
        {kIdcOder, kIdcOderScroll, static_cast<double>(p.Oder), 0, static_cast<int>(p.Oder)},
        {kIdcCutOff, kIdcCutOffScroll, p.Cutoff, 2, TruncToInt32(p.Cutoff * 100)},
        {kIdcXexpansion, kIdcXexpScroll, p.Xcomp, 1, TruncToInt32(p.Xcomp * 10)},
        {kIdcYexpansion, kIdcYexpScroll, p.Ycomp, 1, TruncToInt32(p.Ycomp * 10)},
        {kIdcShift, kIdcShiftScroll, p.Shift, 2, TruncToInt32(p.Shift * 50)},
        {kIdcAngle, kIdcAngleScroll, static_cast<double>(p.Angle), 0, p.Angle},
    };
    for (const auto& f : fields) {
        SetEdit(f.edit, FormatFixed(f.value, f.decimals));
        m_view.SetScroll(f.bar, f.position);
    }
    m_view.SetTimerPeriod(100);
}

void CFourierDialogModel::SetMaskFrom(bool built)
{
    if (!built) {
        Prompt().Message(kTextZeroDivisor);
        return;
    }
    ComputeMinMax(m_imgMask);
    m_imgMask.m_strMinText = "MinVal = " + FormatFixed(m_imgMask.m_dMin, 10);
    m_imgMask.m_strMaxText = "MaxVal = " + FormatFixed(m_imgMask.m_dMax, 10);
    CImageProcessor().CopySubImage(m_imgFilter, m_imgMask, m_Workspace.m_nBorderX, m_Workspace.m_nBorderY);
}

void CFourierDialogModel::BuildSingleFilterMask()
{
    ReadPrimitiveControls();
    const bool built = BuildPrimitiveMask(m_CurPrimitive, m_Workspace, m_imgMask.m_pData);
    if (built)
        m_maskPrimitives = {m_CurPrimitive};
    SetMaskFrom(built);
    Overlay();
}

bool CFourierDialogModel::BuildComplexFilterMask()
{
    // An empty list keeps the filter of the last build, built again for the spectra now held:
    // the direction may have changed since, and a mask laid out for another would filter
    // them by something the user never built.
    if (m_PrimitiveList.empty()) {
        if (!m_maskPrimitives.empty())
            SetMaskFrom(BuildListMask(m_maskPrimitives, m_Workspace, m_imgMask.m_pData));
        return false;
    }
    m_view.BeginWaitCursor();
    m_CurPrimitive = m_PrimitiveList.back();
    m_nLoPass = m_CurPrimitive.LoPass;
    m_nShape = m_CurPrimitive.Type == 0 ? 0 : 1;
    const bool built = BuildListMask(m_PrimitiveList, m_Workspace, m_imgMask.m_pData);
    if (built)
        m_maskPrimitives = m_PrimitiveList;
    SetMaskFrom(built);
    m_view.RefreshChecks();
    m_view.EndWaitCursor();
    return built;
}

void CFourierDialogModel::ResetList(const std::vector<FilterPrimitive>& list)
{
    m_view.ClearList();
    m_view.AddListItem("Filter");
    m_PrimitiveList = list;
    for (std::size_t i = 0; i < list.size(); ++i)
        m_view.AddListItem(ItemText(i + 1));
}

void CFourierDialogModel::OnSelChangePrimList()
{
    const int i = m_view.SelectedListItem();
    if (i >= 1 && static_cast<std::size_t>(i) <= m_PrimitiveList.size()) {
        m_CurPrimitive = m_PrimitiveList[static_cast<std::size_t>(i) - 1];
        UpdatePrimitiveControls();
        BuildSingleFilterMask();
    } else if (i == 0 && BuildComplexFilterMask()) {
        Overlay();
    }
}

void CFourierDialogModel::OnRepPrim()
{
    const int i = m_view.SelectedListItem();
    if (i < 1 || static_cast<std::size_t>(i) > m_PrimitiveList.size()) {
        Prompt().Message(kTextSelectPrimitive);
        return;
    }
    // What the controls show, typed since the last mask build or not.
    ReadPrimitiveControls();
    m_PrimitiveList[static_cast<std::size_t>(i) - 1] = m_CurPrimitive;
}

void CFourierDialogModel::OnAddPrim()
{
    // A longer list would save, but no file brings it back.
    if (m_PrimitiveList.size() >= static_cast<std::size_t>(kMaxFilterPrimitives)) {
        Prompt().Message(kTextFilterFull);
        return;
    }
    ReadPrimitiveControls();
    m_PrimitiveList.push_back(m_CurPrimitive);
    m_view.AddListItem(ItemText(m_PrimitiveList.size()));
}

void CFourierDialogModel::OnLoadDef()
{
    ResetList(DefaultPrimitives());
    m_CurPrimitive = m_PrimitiveList.back();
    BuildComplexFilterMask();
    Overlay();
}

void CFourierDialogModel::OnClearAll()
{
    ResetList({});
}

void CFourierDialogModel::OnRemove()
{
    const int i = m_view.SelectedListItem();
    if (i < 1 || i >= 100 || static_cast<std::size_t>(i) > m_PrimitiveList.size()) {
        Prompt().Message(kTextSelectPrimitive);
        return;
    }
    m_PrimitiveList.erase(m_PrimitiveList.begin() + (i - 1));
    m_view.RemoveListItem(i);
}

void CFourierDialogModel::OnLoadFilter()
{
    const std::optional<std::string> path = m_view.ChooseFilterFile(false);
    if (!path)
        return;
    const FilterFileRead read = ReadFilterFile(*path);
    if (read.tooLong) {
        Prompt().Message(kTextFilterTooLong + *path);
        return;
    }
    ResetList(read.list);
    if (!m_PrimitiveList.empty() && BuildComplexFilterMask())
        Overlay();
    if (read.limited)
        Prompt().Message(kTextFilterLimited + *path);
}

void CFourierDialogModel::OnSaveFilter()
{
    if (m_pDoc == nullptr)
        return;
    const std::optional<std::string> path = m_view.ChooseFilterFile(true);
    if (!path)
        return;
    if (!m_PrimitiveList.empty())
        m_CurPrimitive = m_PrimitiveList.back();
    if (!WriteFilterFile(FilterFilePath(*path), m_PrimitiveList))
        Prompt().Message(kTextFilterNotSaved);
}
