// ModalAnswerer: answers the modal dialogs a window opens during a test.
//
// It polls for QApplication::activeModalWidget() every few milliseconds (a
// modal dialog runs its own event loop, so the poll keeps running), records
// the title and text of every message box and hands each dialog to the
// handler, which must close it. The default handler accepts message boxes and
// rejects every other dialog.
//
//     ModalAnswerer answers;
//     window.findChild<QPushButton *>("Button_connect")->click();
//     QCOMPARE(answers.texts(), QStringList{"Прибор не опознан"});
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

class ModalAnswerer : public QObject
{
public:
    using Handler = std::function<void(QWidget *dialog)>;

    explicit ModalAnswerer(Handler handler = {});

    QStringList titles() const { return m_titles; }
    QStringList texts() const { return m_texts; }
    int count() const { return m_count; }

    // The default answer: accept a message box, reject anything else.
    static void defaultAnswer(QWidget *dialog);

private:
    void poll();

    Handler m_handler;
    QTimer m_timer;
    QStringList m_titles;
    QStringList m_texts;
    int m_count = 0;
    bool m_busy = false;
};
