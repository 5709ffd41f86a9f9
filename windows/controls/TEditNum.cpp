#include "windows/controls/TEditNum.h"

#include "windows/controls/EditPlace.h"

#include <QApplication>
#include <QLocale>
#include <QValidator>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <system_error>

namespace {

constexpr double LargestNumber = 99999999999.0; // eleven digits
constexpr int LongestNumber = 11;

// Group separators that some locales use besides their own: the no-break
// space and the narrow no-break space.
constexpr char16_t NoBreakSpace = 0x00A0;
constexpr char16_t NarrowNoBreakSpace = 0x202F;

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

// Every change the line edit is about to commit passes here, the user's and
// our own alike. Our own writes (FQuiet) pass untouched; a user change is
// checked on what it brought in, then held to the length or range and
// regrouped. A deletion brings nothing in and is never held to the length or
// range: a value loaded from beyond them must stay correctable. A refused
// change is answered with the text from before it rather than with Invalid
// (QLineEdit rolls an Invalid change back only while its text before was
// valid and the change is one it can undo, which an undo or a text set by
// code is not), and the caret and selection go back where they were.
class TEditNum::Filter : public QValidator {
public:
    explicit Filter(TEditNum* edit)
        : QValidator(edit)
        , edit_(edit)
        , place_(new EditPlace(edit))
    {
    }

    State validate(QString& input, int& pos) const override
    {
        const TEditNum& e = *edit_;
        const QString& previous = e.FPrevious;
        if (e.FQuiet || input == previous)
            return Acceptable;
        if (!produced_.isNull() && input == produced_) {
            // The line edit checks again what we made of the change.
            produced_ = QString();
            return Acceptable;
        }

        // What came in is what lies between the parts the two texts share.
        qsizetype prefix = 0;
        while (prefix < previous.size() && prefix < input.size() && previous[prefix] == input[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < previous.size() - prefix && suffix < input.size() - prefix
               && previous[previous.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        for (qsizetype i = prefix; i < input.size() - suffix; ++i) {
            if (!ValidChar(input[i], i)) {
                QApplication::beep();
                return Refuse(input, pos);
            }
        }

        if (e.FDecSeparator && input.count(e.FDecimal) > 1) {
            // A second decimal separator would make the text no number at all.
            QApplication::beep();
            return Refuse(input, pos);
        }

        const QString validated = OnlyRemoves(previous, input) ? input : e.ValidateText(input, previous);
        if (validated == previous)
            return Refuse(input, pos);
        const QString grouped = e.Grouped(validated);
        if (validated != input) {
            // Cut to length or set to a bound: the caret stays where it
            // was as far as the text reaches, at the end after a bound.
            pos = e.FMaxLength != 0 && validated.size() <= input.size()
                ? std::min(pos, static_cast<int>(grouped.size()))
                : static_cast<int>(grouped.size());
        } else {
            pos = KeepDigitsRight(input, pos, grouped);
        }
        if (grouped != input)
            produced_ = grouped;
        input = grouped;
        return Acceptable;
    }

private:
    // The text, caret and selection from before the change.
    State Refuse(QString& input, int& pos) const
    {
        input = edit_->FPrevious;
        pos = place_->Refuse();
        return Acceptable;
    }

    bool ValidChar(QChar c, qsizetype index) const
    {
        const TEditNum& e = *edit_;
        if (IsAsciiDigit(c))
            return true;
        if (c == u'-')
            return index == 0 && (e.FMinValue < 0 || e.FMaxValue < 0);
        return e.FDecSeparator && c == e.FDecimal;
    }

    bool IsGroupChar(QChar c) const
    {
        return (!edit_->FThousands.isEmpty() && c == edit_->FThousands[0]) || c == QChar(NoBreakSpace)
            || c == QChar(NarrowNoBreakSpace);
    }

    // The caret in After with as many characters other than group
    // separators to its right as it had in Before: regrouping never moves it
    // among the digits, and a caret at the end stays at the end.
    int KeepDigitsRight(const QString& before, int pos, const QString& after) const
    {
        int right = 0;
        for (qsizetype i = std::max(0, pos); i < before.size(); ++i)
            if (!IsGroupChar(before[i]))
                ++right;
        qsizetype i = after.size();
        while (i > 0 && right > 0) {
            --i;
            if (!IsGroupChar(after[i]))
                --right;
        }
        // Right behind the digit before it, not behind a separator.
        while (i > 0 && IsGroupChar(after[i - 1]))
            --i;
        return static_cast<int>(i);
    }

    TEditNum* edit_;
    EditPlace* place_;
    mutable QString produced_;
};

TEditNum::TEditNum(QWidget* parent)
    : QLineEdit(parent)
{
    const QLocale locale = QLocale::system();
    FThousands = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    FDecimal = decimal.isEmpty() ? QChar(u'.') : decimal[0];
    // The text the filter falls back on is always the text last committed.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { FPrevious = text; });
    setValidator(new Filter(this));
}

void TEditNum::SetAutoPoints(bool value)
{
    if (value == FAutoPoints)
        return;
    FAutoPoints = value;
    if (value)
        SetDecSeparator(false);
    else
        SetTextQuietly(StripThousands(text()));
    Change();
}

void TEditNum::SetDecSeparator(bool value)
{
    if (value == FDecSeparator)
        return;
    FDecSeparator = value;
    if (value)
        SetAutoPoints(false);
    else
        SetValueAsReal(std::nearbyint(ValueAsReal()));
}

void TEditNum::SetMaxLength(int value)
{
    if (value == FMaxLength || value < 0 || value > LongestNumber)
        return;
    FMaxLength = value;
    if (value != 0) {
        // The minimum first: a maximum is refused below the minimum.
        SetMinValue(0);
        SetMaxValue(0);
    }
    Change();
}

void TEditNum::SetMaxValue(double value)
{
    if (value == FMaxValue || value < -LargestNumber || value > LargestNumber || value < FMinValue)
        return;
    FMaxValue = value;
    if (value != 0)
        FMaxLength = 0;
    Change();
}

void TEditNum::SetMinValue(double value)
{
    if (value == FMinValue || value < -LargestNumber || value > LargestNumber || value > FMaxValue)
        return;
    FMinValue = value;
    if (value != 0)
        FMaxLength = 0;
    Change();
}

double TEditNum::ValueAsReal() const
{
    return TextToValue(text());
}

void TEditNum::SetValueAsReal(double value)
{
    if (!std::isfinite(value))
        value = 0;
    QString shown;
    if (FDecSeparator) {
        shown = FloatText(value);
    } else {
        // Beyond 15 digits a double holds no exact integer anyway.
        const double whole = std::clamp(std::trunc(value), -1e15, 1e15);
        shown = QString::number(static_cast<long long>(whole));
    }
    // Shown as given, never held to the length or range: only what the user
    // types is checked.
    SetTextQuietly(Grouped(shown));
}

int TEditNum::ValueAsInteger() const
{
    const double rounded = std::nearbyint(ValueAsReal());
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(rounded);
}

void TEditNum::SetValueAsInteger(int value)
{
    SetValueAsReal(value);
}

QString TEditNum::FloatText(double value) const
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0"); // also -0
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (FDecimal != u'.')
        text.replace(u'.', FDecimal);
    return text;
}

QString TEditNum::StripThousands(const QString& text) const
{
    QString stripped = text;
    if (!FThousands.isEmpty())
        stripped.remove(FThousands);
    stripped.remove(QChar(NoBreakSpace));
    stripped.remove(QChar(NarrowNoBreakSpace));
    return stripped;
}

double TEditNum::TextToValue(const QString& text) const
{
    QString number = StripThousands(text);
    number.remove(u'-');
    if (number.isEmpty())
        return 0;
    if (FDecimal != u'.') {
        // A point is no decimal separator here: such a text does not convert.
        if (number.contains(u'.'))
            return 0;
        number.replace(FDecimal, u'.');
    }
    const std::string ascii = number.toStdString();
    for (char c : ascii)
        if (!(c >= '0' && c <= '9') && c != '.')
            return 0; // no signs, exponents, "inf" or "nan" from a text
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return 0;
    return text.contains(u'-') ? -value : value;
}

QString TEditNum::FormatThousands(long long value) const
{
    if (value > static_cast<long long>(LargestNumber) || value < -static_cast<long long>(LargestNumber))
        return QString();
    const QString digits = QString::number(value < 0 ? -value : value);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += FThousands;
        grouped += digits[i];
    }
    return value < 0 ? u'-' + grouped : grouped;
}

QString TEditNum::ValidateText(const QString& text, const QString& previous) const
{
    QString result = text;
    const double value = TextToValue(text);
    if (FMaxLength != 0) {
        const QString number = FloatText(value);
        if (number.size() > FMaxLength)
            result = number.left(FMaxLength);
    }
    // The range is tested on the text as it came, not as cut to length.
    if (FMaxValue != 0 && value > FMaxValue) {
        result = previous;
        if (TextToValue(previous) > FMaxValue)
            result = FloatText(FMaxValue);
    }
    if (value < FMinValue) {
        result = previous;
        if (TextToValue(previous) < FMinValue)
            result = FloatText(FMinValue);
    }
    return result;
}

QString TEditNum::Grouped(const QString& text) const
{
    if (!FAutoPoints || text.isEmpty() || text == QStringLiteral("-"))
        return text;
    const double rounded = std::nearbyint(TextToValue(text));
    if (std::fabs(rounded) > LargestNumber)
        return QString();
    return FormatThousands(static_cast<long long>(rounded));
}

void TEditNum::Change()
{
    const QString current = text();
    const QString result = Grouped(ValidateText(current, FPrevious));
    if (result != current)
        SetTextQuietly(result);
}

void TEditNum::SetTextQuietly(const QString& text)
{
    FQuiet = true;
    setText(text);
    FQuiet = false;
}
