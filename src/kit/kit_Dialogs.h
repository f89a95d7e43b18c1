#pragma once

#include <QFlags>
#include <QString>
#include <functional>

// The modal boxes through which the program speaks to the user.
namespace kit_Dialogs {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbOK = 0x1, mbCancel = 0x2, mbYes = 0x4, mbNo = 0x8 };
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
enum class TModalResult { mrOk, mrCancel, mrYes, mrNo };

// Everything a box shows; what a test's responder is given.
struct BoxRequest {
    TMsgDlgType kind;
    QString caption;
    QString text;
    TMsgDlgButtons buttons;
    TMsgDlgBtn defaultButton;
    QString details = {}; // shown on demand under the text, where the text holds too little
};

// The generic box: Enter presses the default button, Escape presses "Annuler" or "Non" when the
// box has it and "OK" otherwise, the close button gives mrCancel (mrNo in a box of Oui and Non). While a quit request is pending it
// returns mrCancel at once without showing anything.
TModalResult MessageDlg(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons,
                        TMsgDlgBtn defaultButton = mbOK);

void ShowWarning(const QString &text);
bool AskConfirm(const QString &text, TMsgDlgType kind);
void ShowPlainMessage(const QString &text);
void ShowInformation(const QString &text);
// A question answered "Oui" (the default button, true) or "Non".
bool AskYesNo(const QString &text);
// An information box whose details (a long list) are shown on demand.
void ShowReport(const QString &text, const QString &details);
// The box in which an escaped error is shown: the application title as caption, the error
// icon, "OK", and the message with a full stop added where it lacks one.
void ShowErrorBox(const QString &message);

QString captionOf(TMsgDlgType kind);

// Tests answer the boxes instead of a user. An empty responder restores the real boxes.
using Responder = std::function<TModalResult(const BoxRequest &)>;
void setResponder(Responder responder);

} // namespace kit_Dialogs

Q_DECLARE_OPERATORS_FOR_FLAGS(kit_Dialogs::TMsgDlgButtons)
