// The core's only way to talk to the user: modal messages and the small repair dialogs.
// The GUI implements it with real dialogs; tests script the answers and record the texts.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The "Image Name" dialog: asks for the quantity name of an image whose header has none.
// A plain class so that tests drive it without a display; the GUI's widget only shows it.
// Every edit is validated as it is typed; a refused text shows the reason and leaves the
// field as it was, so the field always holds an acceptable name.
class CDialogImageName {
public:
    static constexpr const char* kCaption = "Image Name";
    static constexpr std::size_t kMaxNameLength = 20;

    explicit CDialogImageName(std::string preset) : m_strName(std::move(preset)) {}

    // The user's text in the name edit; false (after the message) when it is refused.
    bool TypeName(const std::string& text);
    const std::string& Name() const { return m_strName; }

private:
    std::string m_strName;
};

// The fields of the "Header X Y Z Coefficient" dialog.
enum class HeaderCoefField { Kx, Ky, Kz, ZUnit, XYUnit };

struct HeaderCoefValues {
    double m_dKx = 0.0;         // X step, XY unit per point
    double m_dKy = 0.0;         // Y step
    double m_dKz = 0.0;         // Z scale, Z unit per raw sample
    std::string m_strZUnit;
    std::string m_strXYUnit;
};

// The "Header X Y Z Coefficient" dialog: the steps, Z scale and unit texts of a header that
// failed its check. Numbers must lie in 0 to 1000000, units hold at most 3 characters.
class CDialogHeaderCoef {
public:
    static constexpr const char* kCaption = "Header X Y Z Coefficient";
    static constexpr double kMaxCoefficient = 1000000.0;
    static constexpr std::size_t kMaxUnitLength = 3;

    explicit CDialogHeaderCoef(HeaderCoefValues preset) : m_values(std::move(preset)) {}

    // The user's text in one edit; false (after the message) when it is refused.
    bool Type(HeaderCoefField field, const std::string& text);
    // What the edit shows: numbers in the dialog's number format ("%.15g"), units as they are.
    std::string Text(HeaderCoefField field) const;
    const HeaderCoefValues& Values() const { return m_values; }

private:
    HeaderCoefValues m_values;
};

class IPrompt {
public:
    virtual ~IPrompt() = default;

    // A modal message box with an OK button and the given text.
    virtual void Message(const std::string& text) = 0;

    // The repair dialogs, modal. Their values count whether the user leaves with OK or
    // Cancel, so there is no result: the caller reads the dialog's fields afterwards.
    // Without a user to ask, the preset values stand.
    virtual void RunImageNameDialog(CDialogImageName& dialog) { (void)dialog; }
    virtual void RunHeaderCoefDialog(CDialogHeaderCoef& dialog) { (void)dialog; }
};

// The prompt the core uses; never null. Without a GUI it writes messages to stderr.
IPrompt& Prompt();
// Installs another prompt (the GUI's, or a test's) and returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);
