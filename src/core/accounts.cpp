#include "accounts.h"

const QString login_user = QStringLiteral("User");
const QString pass_user = QStringLiteral("6283");
const QString login_admin = QStringLiteral("Admin");
const QString pass_admin = QStringLiteral("9150");
const QString login_creator = QStringLiteral("Quorl");
const QString pass_creator = QStringLiteral("5038");
const QString pass_user_2 = QStringLiteral("4726");

QString matchAccount(const QString &name, const QString &password)
{
    if (password.isEmpty())
        return QString();
    const QString *pairs[][2] = {
        {&login_creator, &pass_creator},
        {&login_user, &pass_user},
        {&login_admin, &pass_admin},
    };
    for (const auto &pair : pairs) {
        if (name == *pair[0] && password == *pair[1])
            return name;
    }
    return QString();
}
