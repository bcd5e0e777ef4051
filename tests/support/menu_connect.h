// Runs "Меню" → "Подключиться к устройству" of the main window the way a
// technician does: types the account into the login dialog when it comes,
// then in the connection dialog types the port into cb_Com and presses
// "Connect", or presses "Выход" and picks a model for offline work. Every
// message box on the way is accepted and recorded. A dialog still open after
// its answer (a refused login, a failed connection) is closed, as a person
// would give up, so the command always returns.
//
//     MenuConnect how;
//     how.account = "Admin"; how.password = "9150"; how.port = sim.portPath();
//     const MenuConnectResult r = connectThroughMenu(window, how);
//     QCOMPARE(r.dialogs, QStringList({"AuthorizationWindow", "Connect_com_port"}));
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

struct MenuConnect
{
    QString account;      // typed into "Логин:"
    QString password;     // typed into "Пароль:"
    QString port;         // typed into cb_Com before "Connect"
    QString offlineModel; // when set: "Выход" and this name in the offline choice
};

struct MenuConnectResult
{
    QStringList dialogs;  // class names of the dialogs answered, in order
    QStringList titles;   // message boxes: titles
    QStringList texts;    // message boxes: texts
};

MenuConnectResult connectThroughMenu(QWidget *mainWindow, const MenuConnect &how);
