#include "authorizationwindow.h"
#include "ui_authorizationwindow.h"

#include "accounts.h"
#include "command.h"
#include "value_tables.h"

#include <QMessageBox>

AuthorizationWindow::AuthorizationWindow(QWidget *parent, quint16 page)
    : QDialog(parent), ui(new Ui::AuthorizationWindow)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->stackedWidget->setCurrentIndex(page == 1 ? 1 : 0);
    if (page == 0) {
        Command &c = Command::instance();
        ui->login->setText(c.login_name);
        ui->password->setText(c.login_password);
        c.login_done = 0;
    }
}

AuthorizationWindow::~AuthorizationWindow() { delete ui; }

void AuthorizationWindow::on_pushButton_clicked()
{
    Command &c = Command::instance();
    entered_name = ui->login->text();
    entered_password = ui->password->text();

    if (!matchAccount(entered_name, entered_password).isEmpty()) {
        QMessageBox::information(this, tr("Авторизация"), tr("Вы успешно авторизовались"));
        c.login_name = entered_name;
        c.login_password = entered_password;
        c.login_done = 1;
        accept();
        return;
    }

    QMessageBox::warning(this, tr("Авторизация"), tr("Вы не успешно авторизовались"));
    if (c.device_code == 0) {
        // Nobody is logged in while no detector is connected.
        c.login_name = login_noname;
        c.login_password.clear();
    }
}

void AuthorizationWindow::on_pushButton_OK_clicked()
{
    Command &c = Command::instance();
    if (ui->password_2->text() == pass_user_2) {
        c.factory_password_ok = 1;
        accept();
        return;
    }
    QMessageBox::warning(this, tr("Нет прав доступа"), tr("Введите пароль"));
    c.factory_password_ok = 0;
}
