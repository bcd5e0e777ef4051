// The program's main window on a fresh Command, for end-to-end tests that
// connect it to a simulated detector. The settings file goes to a temporary
// folder, the window is shown, and the simulator (started by the test) is
// stopped only after the window has said goodbye to it. Header only: it
// needs the program's windows, which the test support library does not link.
//
//   class TestX : public QObject, protected WindowFixture {
//       void init() { openWindow(); }
//       void cleanup() { closeWindow(); }
//   };
#pragma once

#include "command.h"
#include "globals.h"
#include "iofile.h"
#include "mainwindow.h"
#include "sim_process.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class WindowFixture
{
protected:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<Command> cmd;
    std::unique_ptr<MainWindow> window;

    void openWindow()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        SetSettingsFolder(folder->path());
        LanguageTrans.clear();
        cmd = std::make_unique<Command>();
        Command::setInstance(cmd.get());
        window = std::make_unique<MainWindow>();
        MainWindow_ptr = window.get();
        window->show();
    }

    void closeWindow()
    {
        // The window says goodbye to the detector while it still listens.
        window.reset();
        MainWindow_ptr = nullptr;
        Command::setInstance(nullptr);
        cmd.reset();
        sim.reset();
        SetSettingsFolder(QString());
    }
};
