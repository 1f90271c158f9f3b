#pragma once

#include "ModalResults.h"
#include "TMessageForm.h"

#include <QList>
#include <QString>
#include <array>
#include <bit>
#include <functional>
#include <initializer_list>
#include <memory>

// The program's own message box: a system icon, a word-wrapped message, buttons with Dutch
// captions and optional extra buttons; the answer is the modal result of the pressed button.

// The kind of message: it gives the dialog its default title and icon.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The kinds of standard button, in the order they appear from left to right.
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

constexpr int MsgDlgTypeCount = mtCustom + 1;
constexpr int MsgDlgBtnCount = mbHelp + 1;

// A set of standard buttons in 16 bits: bit n stands for the button kind with value n
// (Yes+No is 3, OK+Cancel is 12).
class TMsgDlgButtons
{
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (const TMsgDlgBtn button : buttons)
            m_bits |= bit(button);
    }
    static constexpr TMsgDlgButtons fromBits(quint16 bits)
    {
        TMsgDlgButtons buttons;
        buttons.m_bits = bits & ((1u << MsgDlgBtnCount) - 1);
        return buttons;
    }

    constexpr quint16 bits() const { return m_bits; }
    constexpr bool contains(TMsgDlgBtn button) const { return m_bits & bit(button); }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr int count() const { return std::popcount(m_bits); }
    constexpr void include(TMsgDlgBtn button) { m_bits |= bit(button); }

    friend constexpr bool operator==(TMsgDlgButtons, TMsgDlgButtons) = default;

private:
    static constexpr quint16 bit(TMsgDlgBtn button) { return quint16(1u << button); }

    quint16 m_bits = 0;
};

// One extra button: its caption and the answer it gives.
struct TButtonDescription
{
    QString Caption;
    qint32 ModalResult = mrNone;
};

using TButtonDescriptionArray = QList<TButtonDescription>;

// What the second form of WWMessageDlg adds.
struct TMessageDlgOptions
{
    qint32 HelpCtx = 0;                   // help context of the dialog, 0 for none
    TButtonDescriptionArray ExtraButtons; // after the standard buttons, in this order
    bool FocusNegative = false;           // the focus starts on No (or Cancel)
    QString Caption;                      // the title; empty for the message kind's own
};

// The captions of the standard buttons and the default titles of the message kinds
// (mtCustom's is empty: the application's title stands in). The program may change them.
extern std::array<QString, MsgDlgBtnCount> ButtonCaptions;
extern std::array<QString, MsgDlgTypeCount> Captions;
// The measured caption width plus 8 of each standard button kind, 0 until the kind is
// first laid out; it is kept for the rest of the process.
extern std::array<int, MsgDlgBtnCount> ButtonWidthCache;

// Shows a message dialog in the middle of the screen and returns the pressed button's
// modal result.
int WWMessageDlg(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, qint32 helpCtx);
int WWMessageDlg(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, const TMessageDlgOptions &options);

// Ready-made dialogs: an OK box of each kind, and the two questions.
int Warning(const QString &msg);
int Error(const QString &msg);
int Information(const QString &msg);
// Yes and No (and Cancel); with focusNegative, Enter answers No.
int YesNo(const QString &msg, bool withCancel = false, bool focusNegative = false);
// OK and Cancel; with focusNegative, Enter answers Cancel.
int OkCancel(const QString &msg, bool focusNegative = false);

// Builds a dialog, not yet shown. A dialog with no button that closes it gets an OK button.
std::unique_ptr<TMessageForm> CreateMessageForm(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                                                const TButtonDescriptionArray &extraButtons, bool focusNegative,
                                                const QString &caption);
// Builds a dialog, shows it modally and returns its answer. A negative x or y keeps that
// edge where the builder put it; both negative centre the dialog on the screen.
int ShowMessageForm(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, qint32 helpCtx, qint32 x,
                    qint32 y, const QString &helpFileName, const TButtonDescriptionArray &extraButtons,
                    bool focusNegative, const QString &caption);

// For tests of the dialog's callers: while set, every message dialog is built but not
// shown; answer receives it and returns the modal result the caller gets. Clear with nullptr.
void setMessageFormAnswer(std::function<int(TMessageForm &form)> answer);

// Start-up and exit of the unit. Exit, on the call that matches the first start-up,
// releases the texts of its tables.
void WwmsgdlgStartup();
void WwmsgdlgExit();
