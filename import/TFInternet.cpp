#include "import/TFInternet.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kDegree = '\xB0'; // the degree sign in Windows-1252

// What the download holds in memory beyond the listing taken so far.
constexpr qint64 kReadBufferBytes = 64 << 10;

struct TListingSatelite {
    const char* Name;
    const char* Position; // four digits, tenths of a degree; over 1800 is west
    char Block;           // '1' to '9'
};

const TListingSatelite kSatelites[kListingSatelites] = {
    {"Telecom 2A", "0030", '1'},
    {"Astra 1A Sirius 2,3", "0050", '1'},
    {"Eutesat W3A", "0070", '1'},
    {"Eutelsat W1", "0100", '1'},
    {"HotBird 1,2,3,4,6", "0130", '1'},
    {"Eutelsat W2", "0160", '1'},
    {"Astra", "0192", '2'},
    {"Afristar", "0210", '2'},
    {"Eutelsat II-F3", "0215", '2'},
    {"Astra 1D", "0230", '2'},
    {"Astra 3A", "0235", '2'},
    {"Arabsat 2A 2C 2D 3A", "0260", '2'},
    {"Astra 2A 2B 2D", "0282", '2'},
    {"Eurobird 1", "0285", '2'},
    {"Arabsat 2B", "0305", '2'},
    {"Turksat 1B", "0315", '2'},
    {"E-Bird", "0330", '2'},
    {"Eutelsat Sesat,W4", "0360", '2'},
    {"Paksat 1", "0380", '2'},
    {"Hellas sat 2", "0390", '2'},
    {"Express Air", "0400", '2'},
    {"Turksat 1C", "0420", '3'},
    {"Eurasiasat 1", "0420", '3'},
    {"Europe*Star", "0450", '3'},
    {"TelStar 11", "3225", '9'},
    {"Satcom C1", "3225", '9'},
    {"Intelsat 903", "3255", '9'},
    {"Intelsat 801", "3285", '9'},
    {"Hispasat", "3300", '9'},
    {"Intelsat 907", "3325", '9'},
    {"Intelsat 905", "3355", '9'},
    {"NSS 7", "3380", '9'},
    {"Intelsat 901", "3420", '9'},
    {"Telstar 12", "3450", '9'},
    {"Gorizont", "3460", '9'},
    {"Atlantic Bird", "3475", '9'},
    {"Express 3A", "3490", '9'},
    {"Telecom 2D", "3520", '9'},
    {"Atlantic Bird 2", "3520", '9'},
    {"Nilesat 101,102", "3530", '9'},
    {"Atlantic Bird 3", "3550", '9'},
    {"Amos 1,2", "3560", '9'},
    {"Intelsat 10-02", "3590", '9'},
    {"Thor 2,3", "3592", '9'},
};

bool IsBlank(char c)
{
    return c == ' ';
}

std::string TrimBlanks(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool AllDigits(const std::string& s)
{
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

bool IsSdxLine(const std::string& line)
{
    static const char marker[] = "SATCODX";
    if (line.size() < 7)
        return false;
    for (int i = 0; i < 7; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const char upper = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : char(c);
        if (upper != marker[i])
            return false;
    }
    return true;
}

bool ValidHostName(const std::string& host)
{
    if (host.empty() || host.size() > 253)
        return false;
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return host.front() != '.' && host.front() != '-';
}

// Deletes the downloaded file however the download ends.
struct RemoveOnExit {
    std::string path;
    ~RemoveOnExit() { std::remove(path.c_str()); }
};

// Ends the wait (hides the box, enables the other windows) however the
// download ends.
struct EndWaitOnExit {
    IWaitBox* box;
    ~EndWaitOnExit() { box->FinSinDestruir(); }
};

} // namespace

std::string ListingItemText(int row)
{
    const TListingSatelite& s = kSatelites[row];
    int p = SafeStrToInt(s.Position);
    std::string direction = LangText(1608);
    if (p > 1800) {
        p = 3600 - p;
        direction = LangText(1609);
    }
    // Whole degrees without a leading zero, always one decimal, a point
    // whatever the locale: ".8" for 0.8 degrees.
    std::string degrees = p >= 10 ? std::to_string(p / 10) : std::string();
    degrees += '.';
    degrees += char('0' + p % 10);
    return std::string(s.Name) + " " + degrees + kDegree + " " + direction;
}

std::optional<int> TypedPosition(const std::string& text, bool west)
{
    std::string s = text;
    // The mask's trailing blanks and degree sign are no part of the number.
    while (!s.empty() && IsBlank(s.back()))
        s.pop_back();
    if (!s.empty() && s.back() == kDegree)
        s.pop_back();
    const size_t point = s.find('.');
    if (point == std::string::npos || s.find('.', point + 1) != std::string::npos)
        return std::nullopt;
    // A digit left blank counts as 0; blanks only around the digits, so
    // "5 .0" (typed "5", then the point) is five degrees, not fifty.
    const std::string degrees = TrimBlanks(s.substr(0, point));
    const std::string tenths = TrimBlanks(s.substr(point + 1));
    if (degrees.size() > 2 || tenths.size() > 1 || !AllDigits(degrees) || !AllDigits(tenths))
        return std::nullopt;
    int value = 0;
    for (char c : degrees)
        value = value * 10 + (c - '0');
    value = value * 10 + (tenths.empty() ? 0 : tenths[0] - '0');
    if (west)
        value = 3600 - value;
    if (value < 0 || value > 3600)
        return std::nullopt;
    return value;
}

std::string PositionText(int tenths)
{
    if (tenths < 0 || tenths > 3600)
        return std::string();
    char text[8];
    std::snprintf(text, sizeof text, "%4.4d", tenths);
    return text;
}

char AutoBlock(int v)
{
    static const struct {
        int above;
        char block;
    } rules[] = {{189, '2'}, {409, '3'}, {999, '4'}, {1459, '5'}, {1999, '6'}, {2509, '7'}, {2759, '8'}, {3149, '9'}};
    char block = '1';
    for (const auto& r : rules)
        if (v > r.above)
            block = r.block;
    return block;
}

std::optional<TListingServer> ParseListingHost(const std::string& text)
{
    TListingServer server;
    std::string portText;
    if (!text.empty() && text.front() == '[') {
        // An IPv6 address: "[::1]" or "[::1]:8080".
        const size_t close = text.find(']');
        if (close == std::string::npos)
            return std::nullopt;
        server.Host = text.substr(1, close - 1);
        if (server.Host.empty() || server.Host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos)
            return std::nullopt;
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            portText = rest.substr(1);
            if (portText.empty())
                return std::nullopt;
        }
    } else {
        const size_t colon = text.find(':');
        server.Host = text.substr(0, colon);
        if (!ValidHostName(server.Host))
            return std::nullopt;
        if (colon != std::string::npos) {
            portText = text.substr(colon + 1);
            if (portText.empty())
                return std::nullopt;
        }
    }
    if (!portText.empty()) {
        if (portText.size() > 5 || !AllDigits(portText))
            return std::nullopt;
        server.Port = std::atoi(portText.c_str());
        if (server.Port < 1 || server.Port > 65535)
            return std::nullopt;
    }
    return server;
}

std::optional<TListingServer> ListingServer(char block)
{
    if (block < '1' || block > '9')
        return std::nullopt;
    const std::string name = std::string("VEXA_LISTING_HOST") + block;
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return ParseListingHost(value);
}

// ---- The dialog

TFInternet::TFInternet(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FInternet"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumWidth(240);
    Label1->setBuddy(ComboBox1);

    CheckBox1 = new QCheckBox(this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Label2 = new QLabel(Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Grados = new QLineEdit(Panel1);
    Grados->setObjectName(QStringLiteral("Grados"));
    // An optional and a required digit of degrees, the point, a required
    // digit of tenths and the degree sign; blanks show as spaces.
    Grados->setInputMask(QStringLiteral("09.9") + QChar(0x00B0) + QStringLiteral("; "));
    Grados->setMaximumWidth(70);
    Label3 = new QLabel(Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Orientacion = new QComboBox(Panel1);
    Orientacion->setObjectName(QStringLiteral("Orientacion"));
    Label4 = new QLabel(Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    Label2->setBuddy(Grados);
    Label3->setBuddy(Orientacion);
    Label4->setBuddy(ComboBox2);
    auto* panel = new QGridLayout(Panel1);
    panel->addWidget(Label2, 0, 0);
    panel->addWidget(Label3, 0, 1);
    panel->addWidget(Label4, 0, 2);
    panel->addWidget(Grados, 1, 0);
    panel->addWidget(Orientacion, 1, 1);
    panel->addWidget(ComboBox2, 1, 2);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    auto* fields = new QVBoxLayout;
    fields->addWidget(Label1);
    fields->addWidget(ComboBox1);
    fields->addWidget(CheckBox1);
    fields->addWidget(Panel1);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
    CheckBox1Click();
}

TFInternet::~TFInternet() = default;

void TFInternet::FormCreate()
{
    setWindowTitle(ToQt(LangText(1601)));
    Label1->setText(ToQt(LangText(1602)));
    Label2->setText(ToQt(LangText(1603)));
    Label3->setText(ToQt(LangText(1604)));
    Label4->setText(ToQt(LangText(1605)));
    CheckBox1->setText(ToQt(LangText(1606)));
    BitBtn1->setText(ToQt(LangText(1607)));
    Orientacion->addItem(ToQt(LangText(1608)));
    Orientacion->addItem(ToQt(LangText(1609)));
    ComboBox2->addItem(ToQt(LangText(1612)));
    for (char block = '1'; block <= '9'; ++block)
        ComboBox2->addItem(QString(QLatin1Char(block)));
}

void TFInternet::CheckBox1Click()
{
    const bool typed = CheckBox1->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(Grados), static_cast<QWidget*>(Orientacion),
                       static_cast<QWidget*>(ComboBox2)})
        w->setEnabled(typed);
    Label1->setEnabled(!typed);
    ComboBox1->setEnabled(!typed);
}

bool TFInternet::Execute()
{
    Lines.clear();
    Downloaded = false;
    Wait = CreateWaitBox();
    CheckBox1Click();
    ComboBox2->setCurrentIndex(0);
    Orientacion->setCurrentIndex(0);
    ComboBox1->clear();
    for (int row = 0; row < kListingSatelites; ++row)
        ComboBox1->addItem(ToQt(ListingItemText(row)));
    ComboBox1->setCurrentIndex(6);
    return exec() == QDialog::Accepted && Downloaded;
}

void TFInternet::BitBtn1Click()
{
    if (!Wait)
        Wait = CreateWaitBox();
    std::vector<std::string> lines;
    bool ok;
    {
        Wait->ShowLabel(LangText(1610));
        Wait->SetCancelVisible(false);
        Wait->SetMax(0); // a busy bar until the size is known
        Wait->SetPosition(0);
        Wait->Start();
        const EndWaitOnExit endWait{Wait.get()};
        ok = Fetch(lines);
    }
    Downloaded = ok;
    if (ok) {
        Lines = std::move(lines);
        accept();
        return;
    }
    // Nothing half-fetched goes on to the import.
    Lines.clear();
    ShowError(LangText(1611));
    reject();
}

bool TFInternet::ChosenRequest(std::string& position, char& block) const
{
    if (!CheckBox1->isChecked()) {
        const int row = ComboBox1->currentIndex();
        if (row < 0 || row >= kListingSatelites)
            return false;
        position = kSatelites[row].Position;
        block = kSatelites[row].Block;
        return true;
    }
    const std::optional<int> v = TypedPosition(FromQt(Grados->displayText()), Orientacion->currentIndex() == 1);
    if (!v)
        return false;
    position = PositionText(*v);
    const int chosen = ComboBox2->currentIndex();
    block = chosen >= 1 && chosen <= 9 ? char('0' + chosen) : AutoBlock(*v);
    return true;
}

bool TFInternet::Fetch(std::vector<std::string>& lines)
{
    std::string position;
    char block = 0;
    if (!ChosenRequest(position, block))
        return false;
    const std::optional<TListingServer> server = ListingServer(block);
    if (!server)
        return false;

    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromStdString(server->Host));
    if (server->Port > 0)
        url.setPort(server->Port);
    url.setPath(QStringLiteral("/_data/") + QString::fromStdString(position) + QStringLiteral(".sdx"));
    if (!url.isValid())
        return false;

    const std::string fileName = PathNoSlash(GetDirTemp()) + "/S0001.SDX";
    const RemoveOnExit remove{fileName};
    std::remove(fileName.c_str());
    QFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    QNetworkProxyFactory::setUseSystemConfiguration(true);
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(TransferTimeoutMs);
    // A redirect is no listing: it is reported like any other status but 2xx.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    // Qt's network thread reads ahead of us without limit: a body far over
    // the cap would pile up in memory faster than we can refuse it. With a
    // bounded buffer it waits until we have taken what it holds.
    reply->setReadBufferSize(kReadBufferBytes);

    bool tooBig = false;
    bool writeFailed = false;
    auto take = [&] {
        if (!reply->isOpen())
            return; // aborted
        const QByteArray chunk = reply->readAll();
        if (chunk.isEmpty() || tooBig || writeFailed)
            return;
        if (file.size() + chunk.size() > kMaxListingBytes) {
            tooBig = true;
            reply->abort();
            return;
        }
        if (file.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
    };
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        if (total > kMaxListingBytes || received > kMaxListingBytes) {
            tooBig = true;
            reply->abort();
            return;
        }
        if (total > 0) {
            Wait->SetMax(int(total));
            Wait->SetPosition(int(received));
        } else {
            Wait->SetMax(0);
            Wait->SetPosition(0);
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    take();
    QObject::disconnect(reply, nullptr, &loop, nullptr);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool received = reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299;
    file.close();
    if (!received || tooBig || writeFailed || file.error() != QFileDevice::NoError)
        return false;

    if (!LoadLines(fileName, lines, kMaxListingBytes, NulByte::Ordinary))
        return false;
    for (const std::string& line : lines)
        if (IsSdxLine(line))
            return true;
    return false;
}
