#pragma once
// The cell text of a switching setting of an antenna or transponder (22 kHz
// tone, 0/12 V, 14/18 V): the stored value upper-cased, and the stored "n"
// (no setting of its own, as imported lists carry it) as the word "Normal"
// of the current language.
#include <QStringList>

#include <string>

std::string NormalText(const std::string& value);
// Every text NormalText gives for a value the receiver knows.
QStringList NormalTextSamples();
