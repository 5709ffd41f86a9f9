#pragma once
// The wait box: a small modeless box with a text, a running animation, a
// progress bar and a Cancel button, shown while a long operation works on
// the main thread. While it shows, the program's other windows are disabled;
// the operation lets events run between its steps and polls Cancelled.
#include "foundation/WaitBox.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// A spinner drawn in code: a ring of dots whose brightness runs round.
class WaitAnimation : public QWidget {
    Q_OBJECT
public:
    explicit WaitAnimation(QWidget* parent = nullptr);
    int Phase() const { return phase_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    int phase_ = 0;
};

class TFWait : public QDialog, public IWaitBox {
    Q_OBJECT
public:
    // The box opens centred over centreOver, else over the window that is
    // active when it starts. It has no Qt parent: its caller owns it (through
    // CreateWaitBox's unique_ptr, or by Fin).
    explicit TFWait(QWidget* centreOver = nullptr);
    ~TFWait() override; // ends the wait if it is still started

    void ShowLabel(const std::string& Text) override;
    void SetCancelVisible(bool visible) override;
    void SetMax(int max) override;
    void SetPosition(int position) override;
    void Start() override;
    void FinSinDestruir() override;
    // FinSinDestruir, then the box frees itself once pending events ran.
    // Only for a box created with new and owned by nobody else.
    void Fin();
    void ProcessEvents() override;
    bool Cancelled() const override { return Cancelled_; }

    QFrame* Panel2;
    QFrame* Panel1;
    WaitAnimation* Animate;
    QProgressBar* Progress;
    QPushButton* Cancelar;
    QLabel* Label1;

public slots:
    void reject() override; // Esc presses Cancel; closing does nothing else

private slots:
    void CancelarClick();

private:
    bool Cancelled_ = false;
    bool Started_ = false;
    QPointer<QWidget> CentreOver_;
    QPointer<QWidget> PrevActive;
    QList<QPointer<QWidget>> DisabledWindows;
};

// Makes CreateWaitBox() return a TFWait.
void InstallWaitBoxFactory();
