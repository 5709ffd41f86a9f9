#pragma once
// What the record editors share: their controls (combos, number edits and
// the labels that name them), the 16-bit fields and code combos they read,
// the count of a record's users, the slot a new record goes into, storing
// the edited record on OK, and the satellite and channel buttons.
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class QComboBox;
class QLabel;
class QWidget;
class TEditNum;
class TVexaData;
struct TTransponderRec;

// A choose-only combo named name.
QComboBox* NewCombo(QWidget* owner, const char* name);
// A number edit named name that takes nothing above largest.
TEditNum* NewNumber(QWidget* owner, const char* name, double largest);
// The label beside control, named "Label" + its name, with control as its
// buddy.
QLabel* BuddyLabel(QWidget* control);

// Language text number text on label; texts[i] on labels[i].
void SetLabelText(QLabel* label, int text);
template <std::size_t N>
void SetLabelTexts(QLabel* const (&labels)[N], const int (&texts)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        SetLabelText(labels[i], texts[i]);
}

// Two lines: language text title, then text counted with its "%d" as count.
QString CountText(int title, int counted, int count);

// A 16-bit field from an edit. The edits stop anything above 65535 from
// being typed; nothing ever wraps.
std::uint16_t Word(int value);

// Code combos: item i stores codes[i]. A stored code that is none of the
// others shows item 0, and an item beyond the codes goes back as item 0's.
template <class Code, std::size_t N>
int ItemOfCode(const Code& code, const std::array<Code, N>& codes)
{
    for (std::size_t i = 1; i < N; ++i)
        if (code == codes[i])
            return static_cast<int>(i);
    return 0;
}

template <std::size_t N>
int ItemOfCode(std::string_view code, const std::array<const char*, N>& codes)
{
    for (std::size_t i = 1; i < N; ++i)
        if (code == codes[i])
            return static_cast<int>(i);
    return 0;
}

// The combo's item when it is one of count items, else 0.
std::size_t ChosenItem(const QComboBox* combo, std::size_t count);

template <class Code, std::size_t N>
Code CodeOfItem(const QComboBox* combo, const std::array<Code, N>& codes)
{
    return codes[ChosenItem(combo, N)];
}

// How many records of users refer to record through their field.
template <class List, class Field, class Rec>
int CountUsers(const List& users, Field field, const Rec* record)
{
    int count = 0;
    for (int i = 0; i < users.Count(); ++i)
        if ((users.Get(i)->*field).Get() == record)
            ++count;
    return count;
}

// The lowest index below count that unused accepts; -1 when none.
template <class Unused>
int FirstUnused(int count, Unused unused)
{
    for (int i = 0; i < count; ++i)
        if (unused(i))
            return i;
    return -1;
}

// Where a new record is edited, by an editor's GetNew modes: -1 (a record to
// be appended) while mode 1 finds room, else the first index that modes 2 to
// lastMode offer for reuse, tried in turn. None when the list is full and no
// record is free.
std::optional<int> NewRecordIndex(const std::function<int(int mode)>& getNew, int lastMode);

// OK's last step: a new record is appended first, and recIndex then names
// it; the edited copy goes over the stored record.
template <class List, class Rec>
void StoreRecord(List& list, int& recIndex, const Rec& rec)
{
    if (recIndex == -1) {
        list.New();
        recIndex = list.Count() - 1;
    }
    *list.Get(recIndex) = rec;
}

// The "Nuevo" button beside a satellite combo: runs the satellite editor
// for a new satellite and, when it is saved, refills combo with it chosen.
// The satellite stays whatever the caller's editor is then answered. True
// when a satellite was saved, with its index in *satIndex when given.
bool NewSatellite(QWidget* parent, TVexaData& data, QComboBox* combo, int* satIndex = nullptr);

// The channels of transponder (none for no transponder), listed in the
// channel picker under language text title.
void ShowTransponderUsers(QWidget* parent, TVexaData* data, const TTransponderRec* transponder, int title);
