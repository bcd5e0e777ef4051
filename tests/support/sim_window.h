// The program's main window connected to a simulated detector, as after
// "Подключиться к устройству": a fresh Command on the simulator's line,
// logged in with an account, the model table applied and the view rebuilt
// (full read, first tab refreshed). Header only: it needs the program's
// windows, which the test support library does not link.
//
//   SimWindow w;
//   QVERIFY2(w.connect({"--model", "405", "--layout", "p0", "--steady"}, 405, "User"),
//            qPrintable(w.error));
//   w.button("pushButton_Save_Param")->click();
#pragma once

#include "command.h"
#include "globals.h"
#include "iofile.h"
#include "mainwindow.h"
#include "sim_process.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

class SimWindow
{
public:
    SimProcess sim;
    std::unique_ptr<Command> cmd;
    std::unique_ptr<MainWindow> window;
    QString error;

    SimWindow() = default;
    SimWindow(const SimWindow &) = delete;
    SimWindow &operator=(const SimWindow &) = delete;
    ~SimWindow() { close(); }

    // Starts the simulator with `options`, connects as `account` and rebuilds
    // the view for `model`.
    bool connect(const QStringList &options, unsigned short model, const QString &account)
    {
        if (!m_folder.isValid()) {
            error = QStringLiteral("no temporary folder");
            return false;
        }
        if (!sim.start(options)) {
            error = sim.errorString();
            return false;
        }
        SetSettingsFolder(m_folder.path());
        LanguageTrans.clear();
        cmd = std::make_unique<Command>();
        Command::setInstance(cmd.get());
        cmd->port.setPortName(sim.portPath());
        if (!cmd->port.open(QIODevice::ReadWrite)) {
            error = QStringLiteral("cannot open %1: %2").arg(sim.portPath(), cmd->port.errorString());
            return false;
        }
        cmd->port.setBaudRate(115200);
        cmd->port_connected = 1;
        cmd->login_name = account;
        cmd->login_done = 1;
        window = std::make_unique<MainWindow>();
        MainWindow_ptr = window.get();
        window->show();
        if (!window->Update_Dev(model)) {
            error = QStringLiteral("model %1 not in the model table").arg(model);
            return false;
        }
        window->Update_Tab();
        return true;
    }

    // Closes the window (it says goodbye to the detector) and the link.
    void close()
    {
        window.reset();
        if (cmd) {
            Command::setInstance(nullptr);
            cmd.reset();
        }
        MainWindow_ptr = nullptr;
        SetSettingsFolder(QString());
    }

    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QTabWidget *tabs() const { return child<QTabWidget>("tabWidget"); }
    QString status() const { return window->statusBar()->currentMessage(); }

    // The page shown for channel k on the "Сенсоры" tab.
    QWidget *sensorPage(int k) const
    {
        auto *stack = child<QStackedWidget>(qPrintable(QStringLiteral("stackedWidget_1_%1").arg(k)));
        return stack ? stack->currentWidget() : nullptr;
    }

private:
    QTemporaryDir m_folder;
};
