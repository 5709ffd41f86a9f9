#pragma once
// The modal window in which every exchange of data with the receiver runs:
// reading its memory image, sending it, uploading a firmware or boot-loader
// image. It starts the blocking link operation from a one-shot timer once it
// is on screen, shows the progress, runs a light along a meter and imitates
// the receiver's four-digit display, and tells the user about a cancel or a
// communication error itself; callers only look at the result.
#include <QDialog>

#include <cstdint>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QFrame;
class TL7Segment;
class TVexaComm;
class Tdbmeter;

class TFTraspaso : public QDialog {
    Q_OBJECT

public:
    enum TransferMode { ReadImage = 1, SendImage = 2, SendSoftware = 3, SendBootLoader = 4 };

    explicit TFTraspaso(QWidget* parent = nullptr);
    ~TFTraspaso() override;

    // Runs one transfer modally: mode 1 reads the image into Stream, the
    // other modes send Stream. True when the link operation succeeded. A
    // cancel is reported (text 2201) only when it really stopped the
    // transfer; a failure resets the link and is reported (text 2202).
    bool TrespassData(TVexaComm* Comm, int Mode, std::vector<std::uint8_t>& Stream);

    // The link's progress callback while the transfer runs.
    void Progreso(std::int32_t Step, std::int32_t Max, bool& Cancel);

    int MeterPos = 0;
    int Mode = 0;
    bool Result = false;
    bool Cancelled = false;
    int Counter = 0;
    int Phase = 0;

    QLabel* Label1;
    QFrame* Panel1;
    TL7Segment* L7Segment6; // the dot at the left, always lit
    TL7Segment* L7Segment1;
    TL7Segment* L7Segment2;
    TL7Segment* L7Segment3; // the colon
    TL7Segment* L7Segment4;
    TL7Segment* L7Segment5;
    Tdbmeter* dbmeter;
    QProgressBar* ProgressBar;
    QPushButton* CancelBtn;
    QTimer* Timer;   // the meter's light, every 100 ms
    QTimer* Reloj;   // the display, every 500 ms
    QTimer* Delayer; // starts the operation once, 800 ms after opening

public slots:
    // The user cannot close the window: Escape means Cancel, and the
    // window closes by itself when the transfer is over.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    // The form's handlers.
    void CancelBtnClick();
    void TimerTimer();   // the meter's light moves one segment
    void RelojTimer();   // the display shows its next picture
    void DelayerTimer(); // runs the link operation

private:
    void FormCreate();
    void Finish();
    void ShowDigits(const char* digits); // four characters to D1 D2 D4 D5
    void SetLabelLines(int first, int count);

    TVexaComm* Comm = nullptr;
    std::vector<std::uint8_t>* Stream = nullptr;
    int BarMax = 100;
    bool Closing = false;
    bool LabelRed = false;
};
