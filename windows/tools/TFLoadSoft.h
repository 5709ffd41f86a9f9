#pragma once
// Uploads a firmware image to the receiver, as a software update or as a
// boot-loader update. A firmware file is a 40-character signature line
// ended by CR LF, then the 2 MiB image; the dialog accepts only such a
// file, shows its size, the version text found inside it and its CRC-32,
// and hands it to the transfer window.
#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QFrame;
class TVexaComm;

class TFLoadSoft : public QDialog {
    Q_OBJECT

public:
    // The only size a firmware file has: signature line and image.
    static constexpr std::int64_t kFileSize = 2097194;

    explicit TFLoadSoft(QWidget* parent = nullptr);
    ~TFLoadSoft() override;

    // Runs the dialog for the link Comm. When no receiver is connected the
    // user is asked first (text 1518), and No ends it without the dialog.
    void Execute(TVexaComm* Comm);

    QGroupBox* RadioGroup1;
    QRadioButton* RadioButton1; // as a software update (index 0)
    QRadioButton* RadioButton2; // as a boot-loader update (index 1)
    QGroupBox* GroupBox1;
    QLabel* Panel1; // the chosen file's name
    QPushButton* BitBtn3; // choose a file
    QLabel* Label1; // version
    QLabel* Label2; // signature
    QLabel* Label3; // CRC
    QLabel* Label4; // size
    QPushButton* BitBtn1; // upload
    QPushButton* BitBtn2; // cancel, then close

    // The form's handlers.
    void BitBtn3Click(); // choose and examine a file
    void BitBtn1Click(); // upload

private:
    void FormCreate();
    void DetectVersion();
    void DetectSignaure();
    std::string GetVersion() const;

    TVexaComm* Comm = nullptr;
    // The whole file when it has the firmware size, else its first bytes.
    std::vector<std::uint8_t> Stream;
    std::int64_t FileSize = 0;
    bool Valid = false;
};
