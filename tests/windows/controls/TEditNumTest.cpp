// The numeric edit: keys and pastes against each mode, values written by code.
#include "windows/controls/TEditNum.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// 'D' stands for the locale's decimal separator, 'G' for its group separator.
QString Loc(const char* text)
{
    QString s = QString::fromUtf8(text);
    s.replace(u'D', QLocale::system().decimalPoint());
    s.replace(u'G', QLocale::system().groupSeparator());
    return s;
}

// Types each character as its own key press (QTest::keyClicks would narrow
// every character to Latin-1 first); '\b' is Backspace.
void Type(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else
            QTest::sendKeyEvent(QTest::Click, w, c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
    }
}

void Length3(TEditNum& e) { e.SetMaxLength(3); }
void Range63000(TEditNum& e) { e.SetMaxValue(63000); }
void FromMinus10To50(TEditNum& e) { e.SetMaxValue(50), e.SetMinValue(-10); }
void Loaded70000(TEditNum& e) { e.SetMaxValue(63000), e.SetValueAsInteger(70000); }
void Loaded700000(TEditNum& e) { e.SetMaxValue(63000), e.SetValueAsInteger(700000); }
void Loaded12345(TEditNum& e) { e.SetMaxLength(3), e.SetValueAsInteger(12345); }
void Decimal(TEditNum& e) { e.SetDecSeparator(true); }
void Grouping(TEditNum& e) { e.SetAutoPoints(true); }

enum class Act { Type, Paste, CtrlV };

struct KeyCase {
    const char* what;
    void (*mode)(TEditNum&);
    const char* start; // typed first, caret then at Caret (-1: the end)
    int caret;
    Act act;
    const char *input, *expected; // typed or pasted, and the text it gives
    int expectedCaret;
    int selected = 0; // selected from Caret before the act (negative: leftwards)
    int expectedSelected = 0;
};

const KeyCase KeyCases[] = {
    {"letters are refused, digits around them kept", Length3, "", -1, Act::Type, "1a2", "12", 2},
    {"a fourth digit inside pushes the last one out", Length3, "123", 1, Act::Type, "9", "192", 2},
    {"non-ASCII digits are no digits", Length3, "1", -1, Act::Type, "\xd9\xa3", "1", 1},
    {"over the maximum restores the text before", Range63000, "6300", -1, Act::Type, "1", "6300", 4},
    {"typed into a value loaded beyond the maximum", Loaded70000, "", -1, Act::Type, "1", "63000", 5},
    {"minus refused without a negative bound", Range63000, "", -1, Act::Type, "-5", "5", 1},
    {"below the minimum restores", FromMinus10To50, "-1", -1, Act::Type, "1", "-1", 2},
    {"decimal separator in decimal mode", Decimal, "1", -1, Act::Type, "D5", "1D5", 3},
    {"a second decimal separator is refused", Decimal, "1D5", -1, Act::Type, "D", "1D5", 3},
    {"grouping while typing, caret at the end", Grouping, "", -1, Act::Type, "1234567", "1G234G567", 9},
    {"grouping keeps the caret among the digits", Grouping, "1234", 1, Act::Type, "9", "19G234", 2},
    {"a group separator cannot be typed", Grouping, "1234", -1, Act::Type, "G", "1G234", 5},
    {"paste with a letter is refused whole, not read as 0", Range63000, "7", -1, Act::Paste, "12a3", "7", 1},
    {"Ctrl+V goes through the same filter", Range63000, "", -1, Act::CtrlV, "1 2", "", 0},
    {"Ctrl+V of digits", Range63000, "", -1, Act::CtrlV, "500", "500", 3},
    {"Backspace passes", Grouping, "1234", -1, Act::Type, "\b", "123", 3},
    // Deleting corrects a value loaded beyond the range or length.
    {"Backspace in a value beyond the maximum", Loaded700000, "", -1, Act::Type, "\b", "70000", 5},
    {"Backspace in a value beyond the length", Loaded12345, "", -1, Act::Type, "\b", "1234", 4},
    {"a refused paste keeps caret and selection", Range63000, "12345", 1, Act::Paste, "9a", "12345", 4, 3, 3},
    {"also a selection made leftwards", Range63000, "12345", 4, Act::CtrlV, "x", "12345", 1, -3, 3},
};

} // namespace

TEST(TEditNumTest, FiltersWhatTheUserTypesOrPastes)
{
    for (const KeyCase& c : KeyCases) {
        SCOPED_TRACE(c.what);
        TEditNum edit;
        c.mode(edit);
        Type(&edit, Loc(c.start));
        if (c.selected != 0)
            edit.setSelection(c.caret, c.selected);
        else if (c.caret >= 0)
            edit.setCursorPosition(c.caret);
        QSignalSpy edited(&edit, &QLineEdit::textEdited);
        switch (c.act) {
        case Act::Type:
            Type(&edit, Loc(c.input));
            break;
        case Act::Paste:
            QApplication::clipboard()->setText(QString::fromLatin1(c.input));
            edit.paste(); // what the context menu's Paste does
            break;
        case Act::CtrlV:
            QApplication::clipboard()->setText(QString::fromLatin1(c.input));
            QTest::keySequence(&edit, QKeySequence::Paste);
            break;
        }
        EXPECT_EQ(edit.text(), Loc(c.expected));
        EXPECT_EQ(edit.cursorPosition(), c.expectedCaret);
        EXPECT_EQ(edit.selectionLength(), c.expectedSelected);
        // Whatever the user's change came to, textEdited tells the final text.
        if (!edited.isEmpty()) {
            EXPECT_EQ(edited.last().at(0).toString(), edit.text());
        }
    }
}

TEST(TEditNumTest, ValuesWrittenByCodeAreShownAsTheyAre)
{
    const struct { const char* what; void (*mode)(TEditNum&); double value; const char* shown; int asInteger; } cases[] = {
        {"above the maximum: not clamped", Range63000, 70000, "70000", 70000},
        {"longer than the length: not cut", Length3, 12345, "12345", 12345},
        {"a half rounds to even", Decimal, 2.5, "2D5", 2},
        {"grouped", Grouping, 1234567, "1G234G567", 1234567},
        {"too long to group: empty", Grouping, 1e12, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEditNum edit;
        c.mode(edit);
        QSignalSpy edited(&edit, &QLineEdit::textEdited);
        edit.SetValueAsReal(c.value);
        EXPECT_EQ(edit.text(), Loc(c.shown));
        EXPECT_EQ(edit.ValueAsInteger(), c.asInteger);
        EXPECT_TRUE(edited.isEmpty());
    }
}
