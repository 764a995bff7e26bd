#pragma once
// The table-settings dialog. The owner of the table (桌主) sets the stake "本桌大小" and the points
// an escaping player loses, "逃跑者应扣除的积分", within the ranges the server sends; the other
// players see the owner's values read-only and agree or disagree. A countdown from 20 runs on the
// first button and presses it one second after it shows 0. Disagreeing, or cancelling as owner,
// makes the client leave the table; Escape and the window's close button do nothing (only the two
// buttons answer, and the countdown answers for a player who does not).
//
// The settings text has six fields: stake, stake maximum, stake minimum, penalty, penalty
// maximum, penalty minimum.
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "platform/core/clock.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct PublicState;

class frmGameSet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCountdownSeconds = 20;
    static constexpr int kMaxDigits = 7;

    // `pub` gives the game's title and the own name (read when an answer is built) and must
    // outlive the dialog. The dialog deletes itself when unloaded.
    explicit frmGameSet(const PublicState& pub, QWidget* parent = nullptr);
    ~frmGameSet() override;

    // Prepares the dialog for the owner (editable) or for the others (read-only, to agree to);
    // false when the settings text has not exactly six fields. Starts the countdown.
    bool SetInitGameSetInfo(bool blnDeskMaster, const QString& strAllGameSetInfo);

    // Sends the dialog's answer (the main window's SendGameSetResult).
    std::function<void(const QByteArray& bteCmd)> SendGameSetResult;
    // Shows a refused input (a warning box owned by the dialog, title the game's, one OK
    // button); tests replace it.
    std::function<void(const QString& text)> ShowInputWarning;

    // The one-second countdown step.
    void tmrDelay_Timer();
    // Button 0: confirm (owner) or agree; button 1: cancel (owner) or disagree.
    void cmdUser_Click(int index);
    // The owner's inputs checked in order; the first failure is shown and gives false.
    bool CheckGameSetInput();
    // The inputs and the limits as a settings text.
    QString CollectGameSetInfo() const;

    bool blnDeskMaster() const { return deskMaster_; }
    // An answer has gone out (or the dialog is on its way out): it takes no new round.
    bool answered() const { return answered_; }
    int32_t stakeMax() const { return limits_[0]; }
    int32_t stakeMin() const { return limits_[1]; }
    int32_t penaltyMax() const { return limits_[2]; }
    int32_t penaltyMin() const { return limits_[3]; }
    int counter() const { return counter_; }
    QString baseCaption() const { return baseCaption_; }

    QGroupBox* famGameSet = nullptr;
    std::array<QLineEdit*, 2> txtUser{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QPushButton*, 2> cmdUser{};
    ClockTimer* tmrDelay = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape and the window's close button: ignored (QDialog's close asks reject()).
    void reject() override;

private:
    void PrepareInputs();
    bool ParseGameSetInfo(const QString& info);
    void Unload();

    const PublicState& pub_;
    bool deskMaster_ = false;
    std::array<int32_t, 4> limits_{};   // stake max, stake min, penalty max, penalty min
    QString baseCaption_;
    int counter_ = 0;
    bool answered_ = false;
    bool handling_ = false;
};

// The messages of the checks.
QString TooManyDigitsText();
QString StakeRangeText(int32_t minimum, int32_t maximum);
QString PenaltyRangeText(int32_t minimum, int32_t maximum);
