// The core's only way to talk to the user: modal messages and the small repair dialogs.
// The GUI implements it with real dialogs; tests script the answers and record the texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The logic of a modal dialog, without widgets: the prompt shows it and forwards what the
// user did; tests drive it directly. Each model names itself by its caption.
class IDialogModel {
public:
    virtual ~IDialogModel() = default;
    virtual std::string Caption() const = 0;
};

// The "Image Name" dialog: asks for the quantity name of an image whose header has none.
// A plain class so that tests drive it without a display; the GUI's widget only shows it.
// A text the name takes goes in as it is typed; any other leaves the field as it was, so the
// field always holds an acceptable name.
class CDialogImageName : public IDialogModel {
public:
    static constexpr const char* kCaption = "Image Name";
    // Characters, as the user sees them; the header's quantity keeps them in any UTF-8.
    static constexpr std::size_t kMaxNameLength = 20;

    explicit CDialogImageName(std::string preset) : m_strName(std::move(preset)) {}
    std::string Caption() const override { return kCaption; }

    // What the edit says when the user leaves it holding `text`; none for a name it takes.
    std::optional<std::string> Refusal(const std::string& text) const;
    // The edit's text as the user types: taken when it is a name, else kept from the field
    // without a word (the edit says so when the user leaves it). False when not taken.
    bool TakeTyped(const std::string& text);
    // A text the user is done with: taken, or refused after its message.
    bool TypeName(const std::string& text);
    // The user left the edit, or closed the dialog, holding a text the name does not take:
    // what was typed on the way to it does not count either, and the name goes back to what
    // it was before they began that text.
    void TakeBack(std::string name) { m_strName = std::move(name); }
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
// failed its check. The header keeps floats, and a coefficient only greater than 0: a number
// is taken when its float is greater than 0 and at most 1000000, and the dialog holds that
// float, so that the values are what the header will hold and each shows as the text that
// reads back as it. Units hold at most 3 characters and what their header fields keep of
// UTF-8.
class CDialogHeaderCoef : public IDialogModel {
public:
    static constexpr const char* kCaption = "Header X Y Z Coefficient";
    static constexpr double kMaxCoefficient = 1000000.0;
    static constexpr std::size_t kMaxUnitLength = 3;
    // The bytes the header's Z and XY unit fields keep.
    static constexpr std::size_t kZUnitBytes = 3;
    static constexpr std::size_t kXYUnitBytes = 5;

    explicit CDialogHeaderCoef(HeaderCoefValues preset);
    std::string Caption() const override { return kCaption; }

    static constexpr bool IsUnit(HeaderCoefField field)
    {
        return field == HeaderCoefField::ZUnit || field == HeaderCoefField::XYUnit;
    }
    // The bytes of UTF-8 a unit may hold.
    static constexpr std::size_t UnitBytes(HeaderCoefField field)
    {
        return field == HeaderCoefField::ZUnit ? kZUnitBytes : kXYUnitBytes;
    }

    // What an edit says when the user leaves it holding `text`: "Please enter a number." for
    // no number at all, the range for one beyond it (and that the header keeps it as 0, for
    // one above 0 that its float rounds to 0), the limit for a unit beyond it; none for a
    // text the field takes.
    std::optional<std::string> Refusal(HeaderCoefField field, const std::string& text) const;
    // An edit's text as the user types: taken when it is a value of the field; a number on
    // its way ("", "-", "1e") or beyond the range takes nothing and says nothing, nor does a
    // fixed field. False when not taken.
    bool TakeTyped(HeaderCoefField field, const std::string& text);
    // A text the user is done with in one edit: taken, or refused after its message.
    bool Type(HeaderCoefField field, const std::string& text);
    // What the edit shows: a number as the shortest text that reads back as its float
    // (ShortestFloatText), units as they are.
    std::string Text(HeaderCoefField field) const;
    const HeaderCoefValues& Values() const { return m_values; }
    // The user left the edit of `field`, or closed the dialog, holding a text the field does
    // not take: what was typed on the way to it does not count either, and the field goes
    // back to what `before` holds, its value before they began that text.
    void TakeBack(HeaderCoefField field, const HeaderCoefValues& before);
    // A field whose preset is what the header will hold whatever is typed (an Origin
    // export's values set its Z scale): shown, not typed into.
    void Fix(HeaderCoefField field) { m_fixed |= Bit(field); }
    bool Fixed(HeaderCoefField field) const { return (m_fixed & Bit(field)) != 0; }

private:
    static constexpr unsigned Bit(HeaderCoefField field) { return 1u << static_cast<unsigned>(field); }

    HeaderCoefValues m_values;
    unsigned m_fixed = 0;
};

// The texts of the framework's data exchange, shared by every dialog.
// The characters of a UTF-8 text, as the user sees them and the length limits count them.
std::size_t Utf8Characters(std::string_view text);
// "Please enter no more than <limit> characters."
std::string TooLongMessage(std::size_t limit);
// A number as an edit shows it: 15 significant digits ("%.15g" in the C locale), so a
// number read back writes the same text again.
std::string FormatDialogNumber(double value);
// A number the user typed: blanks around it are allowed, anything else in it is not; read
// in the C locale whatever the user's locale says.
bool ParseDialogNumber(const std::string& text, double& value);
// "Please enter a number between 0.1 and 1000." ("an integer" for whole numbers): what an
// edit of that range says about a text that is no value in it.
std::string RangeMessage(double min, double max, bool whole);
// The value of a text the user typed when it reads as a number in [min, max], and a whole
// one where `whole`; none for a text that is not such a number, or not yet ("", "-", "0"
// below a minimum of 0.1).
std::optional<double> ValueInRange(const std::string& text, double min, double max, bool whole);

class IPrompt {
public:
    virtual ~IPrompt() = default;

    // A modal message box with an OK button and the given text.
    virtual void Message(const std::string& text) = 0;

    // Any dialog, modal: true when the user left it with OK (or Yes), false for Cancel, a
    // close, or no user to ask; the caller reads the model's fields afterwards. Without a
    // user the model's preset values stand.
    virtual bool RunDialog(IDialogModel& dialog) { (void)dialog; return false; }

    // The repair dialogs. Their values count whether the user leaves with OK or Cancel, so
    // there is no result: the caller reads the dialog's fields afterwards.
    virtual void RunImageNameDialog(CDialogImageName& dialog) { RunDialog(dialog); }
    virtual void RunHeaderCoefDialog(CDialogHeaderCoef& dialog) { RunDialog(dialog); }
};

// The prompt the core uses; never null. Without a GUI it writes messages to stderr.
IPrompt& Prompt();
// Installs another prompt (the GUI's, or a test's) and returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);
