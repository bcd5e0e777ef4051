#include "mainwindow.h"

MainWindow *MainWindow_ptr = nullptr;

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Ivra Configuration v1.15"));
}

MainWindow::~MainWindow() = default;
