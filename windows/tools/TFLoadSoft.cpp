#include "windows/tools/TFLoadSoft.h"

#include "foundation/CRC32.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "windows/FileDialogs.h"
#include "windows/transfer/TFTraspaso.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

const char kSignature[] = "BOX Digital Satellite Receiver ROM image";
constexpr std::size_t kSignatureLength = sizeof kSignature - 1; // 40
constexpr std::size_t kHeadBytes = 100; // what is read of a file of another size

// Ten 32-bit little-endian values that stand just before the version text.
const std::uint8_t kVersionMarker[40] = {
    3, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 9, 0, 0, 0, 11, 0, 0, 0,
    13, 0, 0, 0, 17, 0, 0, 0, 19, 0, 0, 0, 23, 0, 0, 0, 29, 0, 0, 0,
};
constexpr std::size_t kVersionLength = 40;

// Thousands grouped in threes with the user's separator ("2.097.194").
// QLocale::toString leaves a one-digit leading group unseparated in some
// locales ("2097.194").
QString GroupedDigits(std::int64_t value)
{
    const QString digits = QString::number(value);
    const QString separator = QLocale().groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

} // namespace

TFLoadSoft::TFLoadSoft(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FLoadSoft"));
    // No close box: the dialog ends through its cancel (later close) button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    RadioGroup1 = new QGroupBox(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioButton1 = new QRadioButton(RadioGroup1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(RadioGroup1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* kinds = new QVBoxLayout(RadioGroup1);
    kinds->addWidget(RadioButton1);
    kinds->addWidget(RadioButton2);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Panel1 = new QLabel(GroupBox1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setMinimumWidth(220);
    BitBtn3 = new QPushButton(GroupBox1);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    BitBtn3->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(GroupBox1);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    Label1 = makeLabel("Label1");
    Label2 = makeLabel("Label2");
    Label3 = makeLabel("Label3");
    Label4 = makeLabel("Label4");
    auto* fileLine = new QHBoxLayout;
    fileLine->addWidget(Panel1, 1);
    fileLine->addWidget(BitBtn3);
    auto* file = new QVBoxLayout(GroupBox1);
    file->addLayout(fileLine);
    file->addWidget(Label1);
    file->addWidget(Label2);
    file->addWidget(Label3);
    file->addWidget(Label4);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

TFLoadSoft::~TFLoadSoft() = default;

void TFLoadSoft::FormCreate()
{
    setWindowTitle(ToQt(LangText(1501)));
    RadioGroup1->setTitle(ToQt(LangText(1502)));
    RadioButton1->setText(ToQt(LangText(1503)));
    RadioButton2->setText(ToQt(LangText(1504)));
    RadioButton1->setChecked(true);
    GroupBox1->setTitle(ToQt(LangText(1505)));
    Panel1->setText(ToQt(LangText(1511)));
    BitBtn3->setText(ToQt(LangText(5)));
    Label1->setText(ToQt(LangText(1506)));
    Label2->setText(ToQt(LangText(1507)));
    Label3->setText(ToQt(LangText(1508)));
    Label4->setText(ToQt(LangText(1509)));
    BitBtn1->setText(ToQt(LangText(1510)));
    BitBtn1->setEnabled(false);
    BitBtn2->setText(ToQt(LangText(3)));
}

void TFLoadSoft::Execute(TVexaComm* AComm)
{
    Comm = AComm;
    if (!(Comm && Comm->Connected()) && !Confirm(LangText(1518)))
        return;
    exec();
}

void TFLoadSoft::BitBtn3Click()
{
    const QString name = FileDialogs().OpenFileName(this, {QStringLiteral("Binary Files (*.Bin)")});
    if (name.isEmpty())
        return;

    BitBtn1->setEnabled(false);
    Panel1->setText(ToQt(LangText(1511)));
    Label1->setText(ToQt(LangText(1506)));
    Label2->setText(ToQt(LangText(1507)));
    Label3->setText(ToQt(LangText(1508)));
    Label4->setText(ToQt(LangText(1509)));
    Valid = false;
    Stream.clear();
    FileSize = 0;

    // The size decides how much is read: only a file of the firmware size
    // is worth holding whole, of any other the first bytes tell enough.
    QFile file(name);
    bool read = QFileInfo(name).isFile() && file.open(QIODevice::ReadOnly);
    if (read) {
        FileSize = file.size();
        const std::int64_t wanted = FileSize == kFileSize ? kFileSize : std::min<std::int64_t>(FileSize, kHeadBytes);
        Stream.resize(std::size_t(wanted));
        read = wanted == 0 || file.read(reinterpret_cast<char*>(Stream.data()), wanted) == wanted;
    }
    if (!read) {
        Stream.clear();
        FileSize = 0;
        ShowError(LangText(1512) + " " + FromQt(QDir::toNativeSeparators(name)));
        return;
    }
    Panel1->setText(QFileInfo(name).fileName());
    DetectVersion();
}

void TFLoadSoft::DetectVersion()
{
    Label4->setText(ToQt(LangText(1514) + ": ") + GroupedDigits(FileSize) + QStringLiteral(" Bytes"));
    DetectSignaure();
    if (Valid) {
        Label1->setText(ToQt(LangText(1515) + ": " + GetVersion()));
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08X",
                      unsigned(CalcCRC32(Stream.data(), static_cast<std::int32_t>(Stream.size()))));
        Label3->setText(ToQt(LangText(1516) + ": " + crc));
    }
    BitBtn1->setEnabled(Valid);
}

void TFLoadSoft::DetectSignaure()
{
    // The link sends what follows the first CR LF, so the signature line
    // must end exactly there for the image to be the 2 MiB that follow.
    const std::size_t head = std::min(Stream.size(), kHeadBytes);
    const std::size_t textEnd = std::min(head, kSignatureLength);
    const auto* bytes = reinterpret_cast<const char*>(Stream.data());
    const std::string text(bytes, std::find(bytes, bytes + textEnd, '\0'));
    Valid = text == kSignature && FileSize == kFileSize && std::int64_t(Stream.size()) == kFileSize &&
            Stream[kSignatureLength] == '\r' && Stream[kSignatureLength + 1] == '\n';
    if (Valid)
        Label2->setText(ToQt(LangText(1513)));
}

std::string TFLoadSoft::GetVersion() const
{
    const auto at = std::search(Stream.begin(), Stream.end(), std::begin(kVersionMarker), std::end(kVersionMarker));
    if (at == Stream.end())
        return LangText(1517);
    const auto from = at + sizeof kVersionMarker;
    const auto to = from + std::min<std::ptrdiff_t>(kVersionLength, Stream.end() - from);
    return std::string(from, std::find(from, to, std::uint8_t(0)));
}

void TFLoadSoft::BitBtn1Click()
{
    const int mode = RadioButton2->isChecked() ? TFTraspaso::SendBootLoader : TFTraspaso::SendSoftware;
    if (Comm) {
        TFTraspaso transfer(this);
        transfer.TrespassData(Comm, mode, Stream);
    }
    // One upload per chosen file, whatever its outcome.
    BitBtn1->setEnabled(false);
    BitBtn2->setText(ToQt(LangText(1)));
}
