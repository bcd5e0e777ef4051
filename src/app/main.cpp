#include "mainwindow.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    // Platform plug-ins shipped beside the program, when there are any.
    QApplication::addLibraryPath(QStringLiteral("./plugins"));
    QApplication app(argc, argv);

    // The forms place their widgets at fixed positions sized for Tinos 9 pt;
    // the desktop's own font (family and size) would clip the button texts.
    QApplication::setFont(QFont(QStringLiteral("Tinos"), 9));

    MainWindow window;
    MainWindow_ptr = &window;
    window.show();
    return app.exec();
}
