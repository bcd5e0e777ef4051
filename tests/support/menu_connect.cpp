#include "menu_connect.h"

#include "modal_answerer.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

struct Answering
{
    QList<QPointer<QWidget>> answered; // dialogs already given their answer
    bool pending = false;              // a button press is on its way

    bool wasAnswered(QWidget *dialog) const
    {
        for (const QPointer<QWidget> &d : answered)
            if (d == dialog)
                return true;
        return false;
    }
};

// Presses the button from the event loop: its handler may open message
// boxes, which the answerer can only close once its own call has returned.
void pressLater(QWidget *dialog, const char *name, const std::shared_ptr<Answering> &state)
{
    QPointer<QPushButton> button = dialog->findChild<QPushButton *>(QLatin1String(name));
    state->pending = true;
    QTimer::singleShot(0, dialog, [button, state] {
        state->pending = false;
        if (button)
            button->click();
    });
}

} // namespace

MenuConnectResult connectThroughMenu(QWidget *mainWindow, const MenuConnect &how)
{
    MenuConnectResult result;
    auto state = std::make_shared<Answering>();

    ModalAnswerer answers([&how, &result, state](QWidget *dialog) {
        if (qobject_cast<QMessageBox *>(dialog)) {
            ModalAnswerer::defaultAnswer(dialog);
            return;
        }
        if (state->pending)
            return;
        if (state->wasAnswered(dialog)) {
            // Still open after its answer: give up on it.
            if (auto *d = qobject_cast<QDialog *>(dialog))
                d->reject();
            else
                dialog->close();
            return;
        }
        state->answered.append(dialog);
        const QString kind = QString::fromLatin1(dialog->metaObject()->className());
        result.dialogs << kind;

        if (kind == QLatin1String("AuthorizationWindow")) {
            dialog->findChild<QLineEdit *>(QStringLiteral("login"))->setText(how.account);
            dialog->findChild<QLineEdit *>(QStringLiteral("password"))->setText(how.password);
            pressLater(dialog, "pushButton", state);
        } else if (kind == QLatin1String("Connect_com_port")) {
            if (!how.offlineModel.isEmpty()) {
                pressLater(dialog, "Button_Out", state);
            } else {
                dialog->findChild<QComboBox *>(QStringLiteral("cb_Com"))->setEditText(how.port);
                pressLater(dialog, "Button_connect", state);
            }
        } else if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
            input->setTextValue(how.offlineModel);
            input->accept();
        } else {
            ModalAnswerer::defaultAnswer(dialog);
        }
    });

    QAction *action = mainWindow->findChild<QAction *>(QStringLiteral("action_connect"));
    if (!action)
        qFatal("the main window has no action_connect");
    action->trigger();

    result.titles = answers.titles();
    result.texts = answers.texts();
    // Keep only the message boxes: other dialogs are recorded with no text.
    for (int i = result.texts.size() - 1; i >= 0; --i) {
        if (result.texts.at(i).isEmpty()) {
            result.titles.removeAt(i);
            result.texts.removeAt(i);
        }
    }
    return result;
}
