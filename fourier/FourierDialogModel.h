// The logic of the Fourier-transform dialog: its members, handlers, scroll stepping, the
// timer's pending actions, the drag arithmetic, the primitive list and the filter files. The
// dialog's widgets only show what it says, through IFourierView; tests use a recording fake.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fourier/FilterPrimitive.h"
#include "fourier/FourierWorkspace.h"
#include "image/SpmImage.h"
#include "processing/DocProcessingCommands.h"

class CMDIDoc;
class CPresentationConfig;

// Control ids of the dialog.
enum FourierControl : int {
    kIdcColorRange = 1106, kIdcColorRangeText = 1107,
    kIdcAngleScroll = 1108, kIdcShiftScroll = 1114, kIdcYexpScroll = 1115,
    kIdcXexpScroll = 1117, kIdcCutOffScroll = 1118, kIdcOderScroll = 1119,
    kIdcXexpansion = 1088, kIdcYexpansion = 1089, kIdcShift = 1090, kIdcCutOff = 1092,
    kIdcOder = 1093, kIdcAngle = 1094,
    kIdcLogView = 1109, kIdcLinView = 1110,
    kIdcWorkMin = 1086, kIdcWorkMax = 1087, kIdcShownMin = 1095, kIdcShownMax = 1096,
};

// Scroll codes of a horizontal scroll bar.
enum ScrollCode : int {
    kLineLeft = 0, kLineRight = 1, kPageLeft = 2, kPageRight = 3,
    kThumbPosition = 4, kThumbTrack = 5, kEndScroll = 8,
};

enum PendingAction : int { kNoAction = 0, kRedrawOverlay = 1, kSingleMask = 2, kLiveEdit = 3 };

inline constexpr int kFourierTimerId = 108;
inline constexpr const char* kTextImageNotValid =
    "Image Name is not Valid -> CDialogFourierTransform::PaintReverceWindow";
// Followed by the image's name and size.
inline constexpr const char* kTextImageTooSmall =
    "The Fourier transform needs an image of at least 2 x 2 points: ";
inline constexpr const char* kTextSelectPrimitive = "Please select primitive";
inline constexpr const char* kTextSquareForY =
    "The Y direction needs an image with as many rows as columns";
inline constexpr const char* kTextSizeChanged =
    "The image has changed its size since the dialog opened: it cannot be loaded again";
inline constexpr const char* kTextNotFinite =
    "The result holds heights that are not numbers: the image is not replaced";

// A rectangle in pane pixels (right and bottom exclusive, as the GDI draws them).
struct PaneRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The outline of the current filter on the spectrum pane.
struct FilterOutline {
    enum Kind { kNone, kBand, kEllipse } kind = kNone;
    PaneRect rect;
    bool highPass = false;   // red, else blue
};

// What the dialog's widgets do for the model.
class IFourierView {
public:
    virtual ~IFourierView() = default;
    // Controls into the members, then the members back into the controls. A typed text that
    // is no value of its member is neither taken nor said: its edit keeps it and says so when
    // the user leaves it, so the handlers go on with the members as they are.
    virtual void Exchange() = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual void SetScroll(int id, int position) = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    // The radios and the check box from the members.
    virtual void RefreshChecks() = 0;
    // The primitive list box.
    virtual void ClearList() = 0;
    virtual void AddListItem(const std::string& text) = 0;
    virtual void RemoveListItem(int index) = 0;
    virtual int SelectedListItem() const = 0;   // -1 none
    // The spectrum pane: a new grey picture of the shown image and its outline; the drag's
    // outline over the last picture.
    virtual void DrawOverlay(const CSpmImage& shown, const FilterOutline& outline) = 0;
    virtual void DrawDragOutline(const FilterOutline& outline) = 0;
    // The left pane from the arrays.
    virtual void RenderPanes() = 0;
    virtual void SetTimerPeriod(int milliseconds) = 0;   // 0 stops the timer
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // A file for "Load Filter" or "SaveFilter"; nothing when cancelled.
    virtual std::optional<std::string> ChooseFilterFile(bool save) = 0;
};

// The left pane's arrays: a surface of the work image.
struct PaneArrays {
    std::vector<float> vertices, normals, smoothNormals, colours;
    std::vector<std::uint32_t> indices;
};

class CFourierDialogModel {
public:
    explicit CFourierDialogModel(IFourierView& view) : m_view(view) {}

    // Pane geometry in pixels: the pane's client size and its window rectangle in dialog
    // coordinates. Call before Open, and again whenever the pane moves.
    void SetPaneGeometry(int clientWidth, int clientHeight, const PaneRect& window);
    // Finds the image, builds the workspace, transforms, fills the list and the masks and
    // starts the timer. False, after the message, when there is nothing to work on: the
    // dialog must close then.
    bool Open(CMDIDoc* doc, const std::string& imageName, int settingsIndex,
              std::optional<CDocProcessingCommands> commands);

    // The value of `text` in a real-valued edit (CutOff, Shift, Xexpansion, Yexpansion): a
    // number within the range its scroll bar shows, which the primitive reads as it is
    // written; none for any other text, one on its way (".", "0." in CutOff) included, and
    // for the other edits.
    static std::optional<double> RealEditValue(int id, const std::string& text);
    // What a real-valued edit says of a text that is no value of it: its range.
    static std::string RealEditRefusal(int id);

    // Handlers. The radios and the check box read the controls (IFourierView::Exchange);
    // a text left refused in an edit is that edit's to say, and stops none of them.
    void OnParameterChange();
    // The user left a real-valued edit holding a value it took: a value with more decimals
    // than a filter file keeps (".125") shows as the file brings it back.
    void OnEditFinished(int id);
    // The user left edit `id` holding a refused text, and its member went back to what it
    // held before that text: the current primitive's field follows, and when it changed the
    // single mask is built again at the next tick.
    void OnEditRefused(int id);
    void OnFourieMode();
    void OnLoPassHiPass();
    void OnCircleRectangle();
    void OnMarker();
    void OnShowImage();
    void OnShowFourierTransform();
    void OnShowFilter();
    void OnShowFilteredTransform();
    void OnOK();
    void OnPaint();
    void OnDirectTransform();
    void OnInverseTransform();
    void OnFiltering() { Filtering(); }
    void OnLinView() { LinLogView(); }
    void OnLogView() { LinLogView(); }
    void OnHScroll(int id, int code, int thumb);
    void OnTimer();
    void OnLButtonDown();
    void OnMouseMove(bool leftButtonOnly, int x, int y);
    void OnLoadImage();
    void OnReplaceImage();
    void OnSelChangePrimList();
    void OnRepPrim();
    void OnAddPrim();
    void OnLoadDef();
    void OnClearAll();
    void OnRemove();
    void OnLoadFilter();
    void OnSaveFilter();

    static int StepScrollPos(int current, int code, int thumb, int min, int max);

    // Operations of the handlers, public for the benchmark and tests.
    void DirectTransform();
    void Filtering();
    void BuildSingleFilterMask();
    bool BuildComplexFilterMask();
    // The single mask or the list's, as the Single/Complex radios say.
    void BuildFilterMask();
    void LiveEdit();
    void BuildPaneArrays();
    FilterOutline Outline() const;
    // Where the spectrum's zero frequency shows on the spectrum pane, in pane pixels: the
    // centre of the filter's outline and of the drag.
    double PaneZeroX() const;
    double PaneZeroY() const;
    // The current primitive as the controls give it.
    FilterPrimitive PrimitiveOfControls() const;
    void ReadPrimitiveControls();
    void UpdatePrimitiveControls();

    const CSpmImage& ShownImage() const { return *m_pShownImage; }
    const PaneArrays& Arrays() const { return m_arrays; }
    const CPresentationConfig* Settings() const { return m_pSettings; }

    // The dialog's members, exchanged with its controls.
    int m_nAngle = 0;
    int m_nLoPass = 0;
    int m_nOder = 4;
    std::string m_strCutOff, m_strShift, m_strXexpansion, m_strYexpansion;
    int m_nColorRange = 500;
    int m_nLinLog = 0;
    int m_nShowSpectrum = 0;
    int m_nAngleScroll = 0, m_nShiftScroll = 0, m_nXexpScroll = 0, m_nYexpScroll = 0,
        m_nOderScroll = 0, m_nCutOffScroll = 0;
    int m_nFourieMode = kFourierXY;
    int m_nShape = 0;
    int m_bMarker = 0;
    int m_nSingleComplex = 0;
    int m_nShowImage = kShowFiltered;

    // State.
    FourierWorkspace m_Workspace;
    CSpmImage m_imgSpectrum, m_imgMask, m_imgFilter, m_imgWork;
    CSpmImage* m_pShownImage = &m_imgSpectrum;
    CSpmImage* m_pDocImage = nullptr;
    CMDIDoc* m_pDoc = nullptr;
    std::vector<FilterPrimitive> m_PrimitiveList;
    FilterPrimitive m_CurPrimitive;
    // The primitives the mask holds: what an empty list keeps, laid out anew for a new direction.
    std::vector<FilterPrimitive> m_maskPrimitives;
    int m_nLinLogSaved = 0;
    double m_dTopValue = 0.0;
    int m_nPendingAction = kNoAction;
    int m_nDragDx = 0, m_nDragDy = 0, m_nDragRadius = 0, m_nDragOffset = 0;
    float m_fScaleX = 1.0f, m_fScaleY = 1.0f;
    PaneRect m_rcPaneClient, m_rcPane;
    int m_nCentreX = 0, m_nCentreY = 0;

private:
    void SetEdit(int id, const std::string& text);
    void ShowMagnitude(bool unfiltered, int decimals);
    void ShowSpectrumOf(bool unfiltered);
    void ScaleDisplay();
    void LinLogView();
    void InverseAndRender();
    // The left pane and the work image's range texts.
    void RenderPanes();
    void Overlay();
    void SetMaskFrom(bool built);
    void ResetList(const std::vector<FilterPrimitive>& list);

    IFourierView& m_view;
    std::optional<CDocProcessingCommands> m_commands;
    const CPresentationConfig* m_pSettings = nullptr;
    PaneArrays m_arrays;
};
