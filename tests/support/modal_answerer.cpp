#include "modal_answerer.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(Handler handler) : m_handler(std::move(handler))
{
    if (!m_handler)
        m_handler = &ModalAnswerer::defaultAnswer;
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::defaultAnswer(QWidget *dialog)
{
    if (auto *box = qobject_cast<QMessageBox *>(dialog))
        box->accept();
    else if (auto *d = qobject_cast<QDialog *>(dialog))
        d->reject();
    else
        dialog->close();
}

void ModalAnswerer::poll()
{
    QWidget *dialog = QApplication::activeModalWidget();
    // A handler that opens a nested event loop must not be entered again.
    if (!dialog || m_busy || !dialog->isVisible())
        return;
    m_busy = true;
    ++m_count;
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        m_titles << box->windowTitle();
        m_texts << box->text();
    } else {
        m_titles << dialog->windowTitle();
        m_texts << QString();
    }
    m_handler(dialog);
    m_busy = false;
}
