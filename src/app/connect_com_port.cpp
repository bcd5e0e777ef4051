#include "connect_com_port.h"
#include "ui_connect_com_port.h"

#include "accounts.h"
#include "command.h"
#include "link_activation.h"
#include "mainwindow.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <QStatusBar>

namespace {

struct OfflineModel
{
    const char *name;
    quint16 code;
    qint16 protocol;
};

// Offline models in the order the item dialog offers them.
const OfflineModel kOfflineModels[] = {
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M1 v0.01"), 411, 0},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 v0.01"), 404, 0},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 Plus(4) v0.01"), 421, 0},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 Plus v0.01"), 420, 0},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M1 v0.02"), 412, 1},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 v0.02"), 404, 1},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 Plus(4) v0.02"), 421, 1},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M4 Plus v0.02"), 420, 1},
    {QT_TRANSLATE_NOOP("Connect_com_port", "IVRA M5 Plus v0.02"), 430, 1},
};

const QString kConnect = QStringLiteral("Connect");
const QString kDisconnect = QStringLiteral("Disconnect");

void showStatus(const QString &text)
{
    if (MainWindow_ptr)
        MainWindow_ptr->statusBar()->showMessage(text);
}

} // namespace

Connect_com_port::Connect_com_port(QWidget *parent) : QDialog(parent), ui(new Ui::Connect_com_port)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Command &c = Command::instance();
    // Only the production account may talk to a detector at another address.
    if (c.login_name == login_creator && c.login_password == pass_creator) {
        ui->spinBoxModbusAddress->show();
    } else {
        ui->spinBoxModbusAddress->hide();
        c.modbus_address = 255;
    }
    {
        const QSignalBlocker block(ui->spinBoxModbusAddress);
        ui->spinBoxModbusAddress->setValue(c.modbus_address);
    }

    if (c.port.isOpen()) {
        ui->Button_connect->setText(kDisconnect);
        ui->Button_Rescan->setEnabled(false);
        fillPorts();
        const int index = ui->cb_Com->findText(c.port_name);
        if (index >= 0)
            ui->cb_Com->setCurrentIndex(index);
        else
            ui->cb_Com->setEditText(c.port_name);
    } else {
        fillPorts();
        c.port_name = ui->cb_Com->currentText();
        c.device_code = 0;
    }

    // The port list is editable: a typed name (a /dev/serial/by-id path, a
    // pseudo-terminal) becomes the port to open.
    connect(ui->cb_Com, &QComboBox::editTextChanged, this,
            [](const QString &text) { Command::instance().port_name = text; });
}

Connect_com_port::~Connect_com_port() { delete ui; }

QStringList Connect_com_port::offlineModelNames()
{
    QStringList names;
    for (const OfflineModel &m : kOfflineModels)
        names << QCoreApplication::translate("Connect_com_port", m.name);
    return names;
}

bool Connect_com_port::offlineModel(int index, quint16 &code, qint16 &protocol)
{
    if (index < 0 || index >= int(std::size(kOfflineModels)))
        return false;
    code = kOfflineModels[index].code;
    protocol = kOfflineModels[index].protocol;
    return true;
}

void Connect_com_port::fillPorts()
{
    const QSignalBlocker block(ui->cb_Com);
    ui->cb_Com->clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ui->cb_Com->addItem(info.portName());
}

void Connect_com_port::report(const QString &title, const QString &text, bool warning)
{
    if (warning)
        QMessageBox::warning(this, title, text);
    else
        QMessageBox::information(this, title, text);
    showStatus(text);
}

void Connect_com_port::on_Button_connect_clicked()
{
    Command &c = Command::instance();
    if (ui->Button_connect->text() == kDisconnect) {
        c.port_connected = 0;
        Disable_main_function();
        return;
    }

    c.port.setPortName(c.port_name);
    c.port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    c.port.setStopBits(QSerialPort::OneStop);
    c.port.setParity(QSerialPort::NoParity);
    c.port.setFlowControl(QSerialPort::NoFlowControl);
    c.port.setDataBits(QSerialPort::Data8);
    if (c.port_name.isEmpty() || !c.port.open(QIODevice::ReadWrite)) {
        c.port_connected = 0;
        const QString text = tr("Не открывает COM port");
        QMessageBox::information(this, tr("Подключение"), text);
        // The status bar also says why, so the technician can act on it.
        showStatus(c.port_name.isEmpty() ? text : text + QStringLiteral(": ") + portOpenFailureReason(c.port));
        return;
    }

    c.port_connected = 1;
    c.port.clearError();
    c.port.clear(QSerialPort::AllDirections);

    if (!activateDetector(c.port)) {
        report(tr("Подключение"), tr("COM port устройство не отвечает на запросы"), true);
        c.port.close();
        c.port_connected = 0;
        return;
    }

    if (c.Transmit_command(4, 0xAA, 0x0010, 1) == 2) {
        Enable_main_function();
        return;
    }
    deactivateDetector(c.port);
    report(tr("Подключение"), tr("Ошибка обмена данными с прибором"), true);
    c.port.close();
    c.port_connected = 0;
}

void Connect_com_port::Enable_main_function()
{
    Command &c = Command::instance();
    const bool known = MainWindow_ptr ? MainWindow_ptr->Update_Dev(c.device_code) : false;
    if (known) {
        ui->Button_connect->setText(kDisconnect);
        ui->Button_Rescan->setEnabled(false);
        accept();
        return;
    }
    deactivateDetector(c.port);
    report(tr("Подключение"), tr("Прибор не опознан"), true);
    Disable_main_function();
    c.port_connected = 0;
}

void Connect_com_port::Disable_main_function()
{
    Command &c = Command::instance();
    c.device_code = 0;
    ui->Button_connect->setText(kConnect);
    ui->Button_Rescan->setEnabled(true);
    c.port.close();
}

void Connect_com_port::on_Button_Rescan_clicked()
{
    fillPorts();
    Command::instance().device_code = 0;
}

void Connect_com_port::on_cb_Com_activated(const QString &name)
{
    Command::instance().port_name = name;
    Disable_main_function();
}

void Connect_com_port::on_spinBoxModbusAddress_valueChanged(int value)
{
    Command::instance().modbus_address = qint16(value);
}

void Connect_com_port::on_Button_Out_clicked()
{
    const QStringList names = offlineModelNames();
    if (ui->Button_connect->text() == kConnect) {
        bool ok = false;
        const Qt::WindowFlags flags = windowFlags() & ~(Qt::WindowContextHelpButtonHint
                                                       | Qt::WindowMinimizeButtonHint
                                                       | Qt::WindowMaximizeButtonHint);
        const QString chosen = QInputDialog::getItem(this, tr("Offline режим"), tr("Выберите имя устройства:"),
                                                     names, 0, false, &ok, flags);
        const int index = names.indexOf(chosen);
        quint16 code = 0;
        qint16 protocol = 0;
        if (ok && offlineModel(index, code, protocol)) {
            if (MainWindow_ptr)
                MainWindow_ptr->Update_Dev(code);
            else
                Command::instance().device_code = code;
            Command::instance().protocol_version = protocol;
        }
    }
    close();
}
