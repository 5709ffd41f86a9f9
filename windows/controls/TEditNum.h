#pragma once
// A single-line edit that holds only a number: frequencies, LNB oscillators,
// symbol rates and PIDs of the record editors.
//
// Every change the user makes -- a typed key, a paste from the context menu,
// Ctrl+V or the middle button, a drop -- goes through the same filter: only
// the ASCII digits, the '-' at the first position when a bound is negative and
// the decimal separator in decimal mode may come in; anything else is refused
// whole with a beep and the text, caret and selection stay as they were
// (textEdited may still report that unchanged text). Keys that type nothing
// (Delete, arrows, Tab, Return, Esc) pass untouched, so a dialog's default
// and cancel buttons keep working.
//
// After each accepted change that brought something in, the number is held
// to its length (MaxLength) or to its range (MinValue..MaxValue): a change
// that leaves the range restores the text from before it. Deleting is always
// possible, whatever number it leaves, so that a value beyond the range can
// be corrected. With AutoPoints the integer is grouped by thousands with the
// user's separator; the caret keeps its place among the digits.
//
// Writing a value (SetValueAsReal, SetValueAsInteger) shows it as it is:
// nothing is clamped, so a record loaded into an editor and left alone gives
// back exactly what it held. Such writes emit textChanged but never
// textEdited, which stays the signal of the user's own changes.
//
// MaxLength is the number's length limit (0 = none, at most 11), not
// QLineEdit::maxLength, which stays unlimited.
#include <QLineEdit>
#include <QString>

class TEditNum : public QLineEdit {
    Q_OBJECT

public:
    explicit TEditNum(QWidget* parent = nullptr);

    // Group the integer by thousands. Excludes DecSeparator.
    bool AutoPoints() const { return FAutoPoints; }
    void SetAutoPoints(bool value);
    // Decimal mode: the decimal separator may be typed and values keep their
    // fraction. Excludes AutoPoints; turning it off rounds the value.
    bool DecSeparator() const { return FDecSeparator; }
    void SetDecSeparator(bool value);

    // The longest number in characters, 0 to 11 (0 = no limit); a non-zero
    // length clears the range, and a range clears the length.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    // The largest value, 0 for no upper bound. Refused below MinValue.
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value);
    // The smallest value, always applied (0 refuses negative values).
    // Refused above MaxValue, so a positive minimum needs the maximum first.
    double MinValue() const { return FMinValue; }
    void SetMinValue(double value);

    // The text read as a number (0 when empty or malformed).
    double ValueAsReal() const;
    void SetValueAsReal(double value);
    // ValueAsReal rounded, a half to the even neighbour, held to 32 bits.
    int ValueAsInteger() const;
    void SetValueAsInteger(int value);

private:
    class Filter;

    // The general text form: up to 15 significant digits, no trailing
    // zeros, no grouping, the locale decimal separator.
    QString FloatText(double value) const;
    QString StripThousands(const QString& text) const;
    double TextToValue(const QString& text) const;
    QString FormatThousands(long long value) const;
    // Length and range rules applied to a text, Previous the fallback.
    QString ValidateText(const QString& text, const QString& previous) const;
    // The grouped (AutoPoints) form of a text; other texts unchanged.
    QString Grouped(const QString& text) const;
    // Validation and regrouping after a property write.
    void Change();
    // Sets the text without running the user filter.
    void SetTextQuietly(const QString& text);

    QString FPrevious;
    bool FQuiet = false;
    bool FAutoPoints = false;
    bool FDecSeparator = false;
    int FMaxLength = 11;
    double FMaxValue = 0;
    double FMinValue = 0;
    QString FThousands;
    QChar FDecimal;
};
