#pragma once

#include <QFlags>
#include <QString>
#include <functional>

// The modal boxes through which the program speaks to the user.
namespace kit_Dialogs {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbOK = 0x1, mbCancel = 0x2 };
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
enum class TModalResult { mrOk, mrCancel };

// Everything a box shows; what a test's responder is given.
struct BoxRequest {
    TMsgDlgType kind;
    QString caption;
    QString text;
    TMsgDlgButtons buttons;
    TMsgDlgBtn defaultButton;
};

// The generic box: Enter presses the default button, Escape presses "Annuler" when the box has
// it and "OK" otherwise, the close button gives mrCancel. While a quit request is pending it
// returns mrCancel at once without showing anything.
TModalResult MessageDlg(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons,
                        TMsgDlgBtn defaultButton = mbOK);

void ShowWarning(const QString &text);
bool AskConfirm(const QString &text, TMsgDlgType kind);
void ShowPlainMessage(const QString &text);
void ShowInformation(const QString &text);
// The box in which an escaped error is shown: the application title as caption, the error
// icon, "OK", and the message with a full stop added where it lacks one.
void ShowErrorBox(const QString &message);

QString captionOf(TMsgDlgType kind);

// Tests answer the boxes instead of a user. An empty responder restores the real boxes.
using Responder = std::function<TModalResult(const BoxRequest &)>;
void setResponder(Responder responder);

} // namespace kit_Dialogs

Q_DECLARE_OPERATORS_FOR_FLAGS(kit_Dialogs::TMsgDlgButtons)
