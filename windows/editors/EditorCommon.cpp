#include "windows/editors/EditorCommon.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/RecordCombos.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/TFModSatelite.h"
#include "windows/lists/TFShrChn.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

QComboBox* NewCombo(QWidget* owner, const char* name)
{
    auto* combo = new QComboBox(owner);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(false);
    return combo;
}

TEditNum* NewNumber(QWidget* owner, const char* name, double largest)
{
    auto* edit = new TEditNum(owner);
    edit->setObjectName(QLatin1String(name));
    // Set before any value: a bound set later would hold a loaded value to
    // it, and only what the user types is to be checked. It is the range,
    // rather than the length, that keeps 70000 out of a 16-bit field.
    edit->SetMaxValue(largest);
    return edit;
}

QLabel* BuddyLabel(QWidget* control)
{
    auto* label = new QLabel(control->parentWidget());
    label->setObjectName(QStringLiteral("Label") + control->objectName());
    label->setBuddy(control);
    return label;
}

void SetLabelText(QLabel* label, int text)
{
    label->setText(ToQt(LangText(text)));
}

QString CountText(int title, int counted, int count)
{
    return ToQt(LangText(title) + "\n" + WithCount(LangText(counted), count));
}

std::uint16_t Word(int value)
{
    return static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
}

std::size_t ChosenItem(const QComboBox* combo, std::size_t count)
{
    const int item = combo->currentIndex();
    return item >= 0 && static_cast<std::size_t>(item) < count ? static_cast<std::size_t>(item) : 0;
}

std::optional<int> NewRecordIndex(const std::function<int(int mode)>& getNew, int lastMode)
{
    if (getNew(1) != -1)
        return -1;
    for (int mode = 2; mode <= lastMode; ++mode)
        if (const int index = getNew(mode); index != -1)
            return index;
    return std::nullopt;
}

bool NewSatellite(QWidget* parent, TVexaData& data, QComboBox* combo, int* satIndex)
{
    TFModSatelite editor(parent);
    if (!editor.Execute(data, -1))
        return false;
    if (combo) {
        combo->clear();
        LoadSatCombo(combo, data, data.Satelites.Get(editor.RecIndex));
    }
    if (satIndex)
        *satIndex = editor.RecIndex;
    return true;
}

void ShowTransponderUsers(QWidget* parent, TVexaData* data, const TTransponderRec* transponder, int title)
{
    TFShrChn picker(parent);
    picker.ExecuteChn(data, transponder);
    picker.setWindowTitle(ToQt(LangText(title)));
    picker.exec();
}
