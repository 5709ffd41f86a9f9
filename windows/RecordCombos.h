#pragma once
// Combo boxes that let the user choose a satellite, a transponder or an
// antenna of a data set by a readable text.
//
// Every item carries its record in its user data, and every lookup goes
// through the record carried, never through the item's position: the
// satellite combo is kept in name order, so positions do not follow the list.
// A record deleted while the combo still shows it reads as no record.
//
// The fillers never clear the combo (a caller that refills one clears it
// first) and never emit `activated`, the signal of the user's own choice.
#include <QComboBox>
#include <QVariant>

#include "database/TRef.h"

class TVexaData;
struct TAntenaRec;
struct TSateliteRec;
struct TTransponderRec;

// Adds every satellite of Data by name, each at its place in name order
// (case ignored) among the items already there; then selects the item of
// Satellite, or none when Satellite is not one of the list.
void LoadSatCombo(QComboBox* Combo, TVexaData& Data, TSateliteRec* Satellite);

// Adds, in list order, the transponders of Satellite as "11778V (Symbol
// 27500)"; then selects the item of Transponder, or none.
void LoadTpCombo(QComboBox* Combo, TVexaData& Data, TTransponderRec* Transponder, TSateliteRec* Satellite);

// Adds, in list order, every antenna as "3- Puerto:B (Astra)" (its number
// from 1, the DiSEqC port and its satellite's name); then selects the item of
// Antenna, or none.
void LoadAntCombo(QComboBox* Combo, TVexaData& Data, TAntenaRec* Antenna);

// The record carried by item Index (-1: the current item); nullptr when there
// is no such item, it carries no record of this kind, or the record is gone.
template <class T>
T* ComboRecord(const QComboBox* combo, int index = -1)
{
    if (!combo)
        return nullptr;
    if (index == -1)
        index = combo->currentIndex();
    if (index < 0 || index >= combo->count())
        return nullptr;
    const QVariant data = combo->itemData(index);
    return data.canConvert<TRef<T>>() ? data.value<TRef<T>>().Get() : nullptr;
}

// The index of the item that carries Rec; -1 when none does (Rec nullptr too).
template <class T>
int ComboIndexOf(const QComboBox* combo, const T* rec)
{
    if (!combo || !rec)
        return -1;
    for (int i = 0; i < combo->count(); ++i)
        if (ComboRecord<T>(combo, i) == rec)
            return i;
    return -1;
}
