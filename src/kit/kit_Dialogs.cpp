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
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    if (request.buttons & mbOK)
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (request.buttons & mbCancel)
        cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    QPushButton *def = (request.defaultButton == mbCancel && cancel) ? cancel : ok;
    box.setDefaultButton(def ? def : cancel);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
    if (box.closedByCloseButton || !box.clickedButton() || box.clickedButton() == cancel)
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

void ShowErrorBox(const QString &message)
{
    runBox({TMsgDlgType::mtError, kit::programTitle(), kit::errorBoxText(message), mbOK, mbOK});
}

void setResponder(Responder r)
{
    responder() = std::move(r);
}

} // namespace kit_Dialogs
