// The login dialog: the three accounts, failed logins, and the
// factory-settings password page.
#include "authorizationwindow.h"

#include "accounts.h"
#include "command.h"
#include "modal_answerer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

class TestLogin : public QObject
{
    Q_OBJECT
    Command *cmd = nullptr;

    static void type(AuthorizationWindow &w, const char *name, const QString &text)
    {
        w.findChild<QLineEdit *>(QLatin1String(name))->setText(text);
    }
    static void click(AuthorizationWindow &w, const char *name)
    {
        w.findChild<QPushButton *>(QLatin1String(name))->click();
    }

private slots:
    void init()
    {
        cmd = new Command;
        Command::setInstance(cmd);
    }
    void cleanup()
    {
        Command::setInstance(nullptr);
        delete cmd;
    }

    void login_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("user") << "User" << "6283" << true;
        QTest::newRow("administrator") << "Admin" << "9150" << true;
        QTest::newRow("production") << "Quorl" << "5038" << true;
        QTest::newRow("name in lower case") << "user" << "6283" << false;
        QTest::newRow("user name, administrator password") << "User" << "9150" << false;
        QTest::newRow("administrator name, production password") << "Admin" << "5038" << false;
        QTest::newRow("empty password") << "User" << "" << false;
        QTest::newRow("nothing entered") << "" << "" << false;
        QTest::newRow("factory password is no account") << "User" << "4726" << false;
    }

    void login()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, succeeds);
        AuthorizationWindow w(nullptr, 0);
        w.show();
        QCOMPARE(int(cmd->login_done), 0);
        type(w, "login", name);
        type(w, "password", password);
        ModalAnswerer answers;
        click(w, "pushButton");

        QCOMPARE(answers.titles(), QStringList{QStringLiteral("Авторизация")});
        if (succeeds) {
            QCOMPARE(answers.texts(), QStringList{QStringLiteral("Вы успешно авторизовались")});
            QCOMPARE(cmd->login_name, name);
            QCOMPARE(cmd->login_password, password);
            QCOMPARE(int(cmd->login_done), 1);
            QVERIFY(!w.isVisible());
        } else {
            QCOMPARE(answers.texts(), QStringList{QStringLiteral("Вы не успешно авторизовались")});
            QCOMPARE(int(cmd->login_done), 0);
            QVERIFY(w.isVisible()); // another try is possible
        }
    }

    void failedLoginWithoutDeviceGivesNoname()
    {
        cmd->login_name = QStringLiteral("Admin");
        cmd->login_password = QStringLiteral("9150");
        {
            AuthorizationWindow w(nullptr, 0);
            type(w, "password", QStringLiteral("0000"));
            ModalAnswerer answers;
            click(w, "pushButton");
        }
        QCOMPARE(cmd->login_name, QStringLiteral("Noname"));
        QVERIFY(cmd->login_password.isEmpty());

        // The next opening shows the name the failure left behind.
        AuthorizationWindow again(nullptr, 0);
        QCOMPARE(again.findChild<QLineEdit *>("login")->text(), QStringLiteral("Noname"));
        QVERIFY(again.findChild<QLineEdit *>("password")->text().isEmpty());
    }

    void failedLoginWithDeviceKeepsAccount()
    {
        cmd->device_code = 404;
        cmd->login_name = QStringLiteral("Admin");
        cmd->login_password = QStringLiteral("9150");
        AuthorizationWindow w(nullptr, 0);
        QCOMPARE(w.findChild<QLineEdit *>("login")->text(), QStringLiteral("Admin"));
        type(w, "password", QStringLiteral("1111"));
        ModalAnswerer answers;
        click(w, "pushButton");
        QCOMPARE(cmd->login_name, QStringLiteral("Admin"));
        QCOMPARE(cmd->login_password, QStringLiteral("9150"));
        QCOMPARE(int(cmd->login_done), 0);
    }

    void fieldsHoldTenCharacters()
    {
        AuthorizationWindow w(nullptr, 0);
        for (const char *name : {"login", "password"})
            QCOMPARE(w.findChild<QLineEdit *>(name)->maxLength(), 10);
        QCOMPARE(w.findChild<QLineEdit *>("password")->echoMode(), QLineEdit::Password);
    }

    void factoryPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("factory password") << "4726" << true;
        QTest::newRow("user password") << "6283" << false;
        QTest::newRow("empty") << "" << false;
    }

    void factoryPassword()
    {
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        cmd->login_done = 1;
        AuthorizationWindow w(nullptr, 1);
        w.show();
        QCOMPARE(w.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), 1);
        QCOMPARE(int(cmd->login_done), 1); // the password page does not log out
        type(w, "password_2", password);
        ModalAnswerer answers;
        click(w, "pushButton_OK");
        QCOMPARE(int(cmd->factory_password_ok), accepted ? 1 : 0);
        if (accepted) {
            QCOMPARE(answers.count(), 0);
            QVERIFY(!w.isVisible());
        } else {
            QCOMPARE(answers.titles(), QStringList{QStringLiteral("Нет прав доступа")});
            QCOMPARE(answers.texts(), QStringList{QStringLiteral("Введите пароль")});
            QVERIFY(w.isVisible());
        }
    }

    void cancellingFactoryPasswordLeavesItUnset()
    {
        AuthorizationWindow w(nullptr, 1);
        w.show();
        click(w, "pushButton_2");
        QVERIFY(!w.isVisible());
        QCOMPARE(int(cmd->factory_password_ok), 0);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
