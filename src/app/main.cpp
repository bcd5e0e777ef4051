#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::addLibraryPath(QStringLiteral("./plugins"));
    QApplication app(argc, argv);
    MainWindow window;
    MainWindow_ptr = &window;
    window.show();
    return app.exec();
}
