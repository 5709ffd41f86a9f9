#pragma once
// Fetches the SDX listing of one satellite from the listing service over
// HTTP. The user picks a satellite from the built-in table or types an
// orbital position; the dialog works out the service's block and the
// four-digit position, downloads the listing and keeps its lines for the
// import.
//
// Each block of the service has its own server, named by the environment
// variables VEXA_LISTING_HOST1 to VEXA_LISTING_HOST9 ("host" or
// "host:port"). Requests go through the system's proxy settings
// (http_proxy, no_proxy).
#include "foundation/WaitBox.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// ---- The parts that need no network

// The built-in table of satellites the service lists.
constexpr int kListingSatelites = 44;

// The combo text of a table row: the name, then the position in degrees with
// its direction ("Astra 19.2° Este", "Thor 2,3 .8° Oeste"), Windows-1252.
std::string ListingItemText(int row);

// The position typed in the mask edit ("19.2°", " 5.0°", "5 .0°"): one or two
// digits of degrees, a point, one digit of tenths, the degree sign optional,
// a blank digit counting as 0. The result is in tenths, counted eastwards
// (west: 3600 minus the value); nothing when the text is no such number.
std::optional<int> TypedPosition(const std::string& text, bool west);

// Four digits of a position in tenths (0 to 3600); the empty text outside.
std::string PositionText(int tenths);

// The service's block for a position, '1' to '9'.
char AutoBlock(int tenths);

// A configured server: a plain host name or address, an optional port.
struct TListingServer {
    std::string Host;
    int Port = -1; // -1: the default HTTP port
};

// "host" or "host:port" (an IPv6 address in brackets); nothing for anything
// else: a scheme, a path, user information, blanks, a port out of range.
std::optional<TListingServer> ParseListingHost(const std::string& text);

// The server of block '1' to '9' from VEXA_LISTING_HOST<n>; nothing when the
// variable is unset or malformed.
std::optional<TListingServer> ListingServer(char block);

// The largest listing taken; a bigger body is no listing of one satellite.
constexpr std::int64_t kMaxListingBytes = 4 << 20;

// ---- The dialog

class TFInternet : public QDialog {
    Q_OBJECT

public:
    explicit TFInternet(QWidget* parent = nullptr);
    ~TFInternet() override;

    // Fills the satellite list and runs the dialog. True only when a listing
    // was downloaded: then Lines holds its lines, bytes as received. Closing
    // the window, a failed download (reported here, text 1611) and a body
    // that holds no SDX line give false.
    bool Execute();

    std::vector<std::string> Lines;

    // How long a download may go without receiving anything (30 s).
    void SetTransferTimeout(int ms) { TransferTimeoutMs = ms; }

    QLabel* Image1;
    QLabel* Label1; // "Satélite"
    QComboBox* ComboBox1;
    QCheckBox* CheckBox1;
    QFrame* Panel1;
    QLabel* Label2; // "Grados"
    QLineEdit* Grados;
    QLabel* Label3; // "Orientación"
    QComboBox* Orientacion;
    QLabel* Label4; // "Bloque"
    QComboBox* ComboBox2;
    QPushButton* BitBtn1;

private:
    void FormCreate();
    void CheckBox1Click();
    void BitBtn1Click();
    // The whole download; false on any failure, with nothing reported yet.
    bool Fetch(std::vector<std::string>& lines);
    bool ChosenRequest(std::string& position, char& block) const;

    std::unique_ptr<IWaitBox> Wait;
    bool Downloaded = false;
    int TransferTimeoutMs = 30000;
};
