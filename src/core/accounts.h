// The three fixed accounts of the program and the factory-settings password
// asked from the user account. The logged-in account is held by name in the
// device image (login_name); windows compare it with these names.
#pragma once

#include <QString>

extern const QString login_user;
extern const QString pass_user;
extern const QString login_admin;
extern const QString pass_admin;
extern const QString login_creator;
extern const QString pass_creator;
extern const QString pass_user_2;

// The account whose name and password match exactly (case-sensitive), tried
// in the order production, user, administrator; empty when none matches or
// the password is empty.
QString matchAccount(const QString &name, const QString &password);
