#include "kit_Dialogs.h"

#include "kit_App.h"
#include "kit_Text.h"
#include "kit_Title.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace kit_Dialogs {

namespace {

Responder &responder()
{
    static Responder r;
    return r;
}

// QMessageBox treats its close button as a press of the escape button; here closing the box
// always means Cancel, whatever buttons it has.
class Box final : public QMessageBox {
public:
    // The text is shown with wrap points in its long words: a path of thousands of characters
    // would run off the screen. (Its text cannot be selected or copied here.)
    Box(Icon icon, const QString &caption, const QString &text)
        : QMessageBox(icon, caption, kit::wrappableAnywhere(text))
    {}
    bool closedByCloseButton = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (!clickedButton())
            closedByCloseButton = true;
        QMessageBox::closeEvent(event);
    }
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->geometry().center());
            move(frame.topLeft());
        }
    }
};

QMessageBox::Icon iconOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

TModalResult runBox(const BoxRequest &request)
{
    if (kit::quitRequested())
        return TModalResult::mrCancel;
    if (responder())
        return responder()(request);

    Box box(iconOf(request.kind), request.caption, request.text);
    box.setWindowModality(Qt::ApplicationModal);
    // File names are shown as they are: a name such as "<h1>a.txt" is no markup.
    box.setTextFormat(Qt::PlainText);
    if (!request.details.isEmpty())
        box.setDetailedText(request.details);
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    QPushButton *yes = nullptr;
    QPushButton *no = nullptr;
    if (request.buttons & mbYes)
        yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    if (request.buttons & mbNo)
        no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    if (request.buttons & mbOK)
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (request.buttons & mbCancel)
        cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    QPushButton *def = ok ? ok : yes;
    if (request.defaultButton == mbCancel && cancel)
        def = cancel;
    else if (request.defaultButton == mbNo && no)
        def = no;
    else if (request.defaultButton == mbYes && yes)
        def = yes;
    box.setDefaultButton(def ? def : cancel);
    QPushButton *refusal = cancel ? cancel : no;
    box.setEscapeButton(refusal ? refusal : ok);
    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    if (yes || no) {
        if (box.closedByCloseButton || !clicked || clicked == no || clicked == cancel)
            return TModalResult::mrNo;
        return clicked == yes ? TModalResult::mrYes : TModalResult::mrOk;
    }
    if (box.closedByCloseButton || !clicked || clicked == cancel)
        return TModalResult::mrCancel;
    return TModalResult::mrOk;
}

} // namespace

QString captionOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Avertissement");
    case TMsgDlgType::mtError:
        return QStringLiteral("Erreur");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Informations");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirmer");
    case TMsgDlgType::mtCustom:
        break;
    }
    return kit::programTitle();
}

TModalResult MessageDlg(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons,
                        TMsgDlgBtn defaultButton)
{
    return runBox({kind, captionOf(kind), text, buttons, defaultButton});
}

void ShowWarning(const QString &text)
{
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}

bool AskConfirm(const QString &text, TMsgDlgType kind)
{
    return MessageDlg(text, kind, TMsgDlgButtons(mbOK) | mbCancel, mbOK) == TModalResult::mrOk;
}

void ShowPlainMessage(const QString &text)
{
    MessageDlg(text, TMsgDlgType::mtCustom, mbOK);
}

void ShowInformation(const QString &text)
{
    MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
}

bool AskYesNo(const QString &text)
{
    return runBox({TMsgDlgType::mtConfirmation, captionOf(TMsgDlgType::mtConfirmation), text,
                   TMsgDlgButtons(mbYes) | mbNo, mbYes}) == TModalResult::mrYes;
}

void ShowReport(const QString &text, const QString &details)
{
    runBox({TMsgDlgType::mtInformation, captionOf(TMsgDlgType::mtInformation), text, mbOK, mbOK,
            details});
}

void ShowErrorBox(const QString &message)
{
    runBox({TMsgDlgType::mtError, kit::programTitle(), kit::errorBoxText(message), mbOK, mbOK});
}

void setResponder(Responder r)
{
    responder() = std::move(r);
}

} // namespace kit_Dialogs
