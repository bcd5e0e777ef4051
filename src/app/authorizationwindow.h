// Login dialog (page 0) and the factory-settings password prompt (page 1).
#pragma once

#include <QDialog>

namespace Ui {
class AuthorizationWindow;
}

class AuthorizationWindow : public QDialog
{
    Q_OBJECT
public:
    AuthorizationWindow(QWidget *parent, quint16 page);
    ~AuthorizationWindow() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_OK_clicked();

private:
    Ui::AuthorizationWindow *ui;
    QString entered_name;
    QString entered_password;
};
