#include "import/ImportRoad.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "import/TFChooseSrc.h"
#include "import/TFChooseUpd.h"
#include "import/TFInternet.h"
#include "windows/FileDialogs.h"
#include "windows/tools/TFErrors.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>
#include <exception>
#include <span>

namespace {

// The same cap as the main window's text lists: far above any real list,
// low enough that a wrong file cannot exhaust the memory.
constexpr std::uint64_t kMaxTextBytes = std::uint64_t{64} << 20;

ImportRoad::TUpdateChooser& UpdateChooser()
{
    static ImportRoad::TUpdateChooser chooser;
    return chooser;
}

ImportRoad::TListingSource& ListingSource()
{
    static ImportRoad::TListingSource source;
    return source;
}

QStringList Filter(int code)
{
    switch (code) {
    case ImportRoad::TextList: return {ToQt(LangText(1909)) + QStringLiteral(" (*.Txt)")};
    case ImportRoad::Binary: return {ToQt(LangText(1910)) + QStringLiteral(" (*.Dat)")};
    case ImportRoad::Max: return {ToQt(LangText(1911)) + QStringLiteral(" (*.Max)")};
    case ImportRoad::Sdx: return {ToQt(LangText(1912)) + QStringLiteral(" (*.Sdx)")};
    default: return {};
    }
}

void CannotRead(const QString& fileName)
{
    ShowError(LangText(130) + " " + FromQt(QDir::toNativeSeparators(fileName)));
}

bool ReadLines(const QString& fileName, std::vector<std::string>& lines)
{
    bool read = false;
    try {
        read = LoadLines(QFile::encodeName(fileName).toStdString(), lines, kMaxTextBytes, NulByte::Ordinary);
    } catch (const std::exception&) {
        read = false; // out of memory on a file near the cap
    }
    if (!read)
        CannotRead(fileName);
    return read;
}

// The image is all a binary list holds: whatever follows it is never read.
bool ReadImage(const QString& fileName, std::vector<std::uint8_t>& bytes)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray read = file.read(static_cast<qint64>(TVexaData::ImageSize));
        if (file.error() == QFileDevice::NoError) {
            bytes.assign(read.begin(), read.end());
            return true;
        }
    }
    CannotRead(fileName);
    return false;
}

// A full list stopped the SDX reader at its last channel: the first
// reference that channel lacks names the list.
void ReportFullList(const TVexaData& incoming)
{
    const TChannelRec* last = incoming.Channels.Count() > 0 ? incoming.Channels.Get(incoming.Channels.Count() - 1)
                                                            : nullptr;
    int text = 3023; // transponders
    if (!last || incoming.Satelites.IndexOf(last->Satelite) < 0)
        text = 3022;
    else if (incoming.Antenas.IndexOf(last->Antena) < 0)
        text = 3024;
    ShowError(LangText(text));
}

bool ReadSdx(const std::vector<std::string>& lines, TVexaData& incoming)
{
    if (incoming.LoadFromSdx(lines) == TVexaData::SdxRead)
        return true;
    ReportFullList(incoming);
    return false;
}

int ChosenSource(const TFChooseSrc& dialog)
{
    int code = 0;
    const QRadioButton* inOrder[] = {dialog.RadioButton2, dialog.RadioButton3, dialog.RadioButton1,
                                     dialog.RadioButton4, dialog.RadioButton5};
    for (int i = 0; i < 5; ++i)
        if (inOrder[i]->isChecked())
            code = i + 1;
    return code;
}

} // namespace

void ImportRoad::SetUpdateChooser(TUpdateChooser chooser)
{
    UpdateChooser() = std::move(chooser);
}

void ImportRoad::SetListingSource(TListingSource source)
{
    ListingSource() = std::move(source);
}

bool ImportRoad::ReadSource(QWidget* Parent, int Code, TVexaData& Incoming)
{
    if (Code == Internet) {
        std::vector<std::string> lines;
        if (ListingSource()) {
            if (!ListingSource()(Parent, lines))
                return false;
        } else {
            TFInternet download(Parent);
            if (!download.Execute())
                return false; // closed, or the failure was reported there
            lines = std::move(download.Lines);
        }
        return ReadSdx(lines, Incoming);
    }
    if (Code < TextList || Code > Sdx)
        return false;

    const QString fileName = FileDialogs().OpenFileName(Parent, Filter(Code));
    if (fileName.isEmpty())
        return false;

    if (Code == Binary) {
        std::vector<std::uint8_t> image;
        if (!ReadImage(fileName, image))
            return false;
        if (Incoming.LoadFromImage(std::span<const std::uint8_t>(image)))
            return true;
        ShowError(LangText(131));
        return false;
    }

    // Lines stay bytes as read: the readers cut their columns from them.
    std::vector<std::string> lines;
    if (!ReadLines(fileName, lines))
        return false;
    switch (Code) {
    case TextList:
        switch (Incoming.LoadFromTxt(lines)) {
        case TVexaData::TxtRead: return true;
        case TVexaData::TxtCancelled: return false; // the user's own cancel needs no message
        default: ShowError(LangText(133)); return false;
        }
    case Max:
        switch (Incoming.LoadFromMax(lines)) {
        case TVexaData::MaxFileRead: return true;
        case TVexaData::MaxFileCancelled: return false;
        default: ShowError(LangText(1611)); return false;
        }
    default:
        return ReadSdx(lines, Incoming);
    }
}

void ImportRoad::Run(QWidget* Parent, TVexaComm*, TVexaData& Current)
{
    int code = 0;
    {
        TFChooseSrc dialog(Parent);
        if (!dialog.SetPrompt(LangText(1917)))
            return;
        code = ChosenSource(dialog);
    }

    TVexaData incoming;
    if (!ReadSource(Parent, code, incoming))
        return; // a half-read list is never offered for merging

    std::vector<std::string> lines;
    if (incoming.Check(&lines)) {
        // A list with errors is never merged; the user may look at them.
        if (Confirm(LangText(1913))) {
            TFErrors report(Parent);
            report.setWindowTitle(ToQt(LangText(1914)));
            report.BitBtn1->setEnabled(false);
            report.ShowLines(lines);
            report.exec();
        }
        return;
    }

    if (UpdateChooser()) {
        UpdateChooser()(Parent, Current, incoming);
        return;
    }
    TFChooseUpd chooser(Parent);
    chooser.Execute(Current, incoming);
}
