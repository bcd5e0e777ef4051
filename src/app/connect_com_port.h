// Connection dialog: choose a serial port, wake the detector with "ACTIV",
// identify its model; or choose a model by name and work offline.
#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class Connect_com_port;
}

class Connect_com_port : public QDialog
{
    Q_OBJECT
public:
    explicit Connect_com_port(QWidget *parent = nullptr);
    ~Connect_com_port() override;

    void Enable_main_function();
    void Disable_main_function();

    // The model names offered for offline work, in table order, translated.
    static QStringList offlineModelNames();
    // Device code and layout of offline model `index` (0..8); false when out of range.
    static bool offlineModel(int index, quint16 &code, qint16 &protocol);

private slots:
    void on_Button_connect_clicked();
    void on_Button_Rescan_clicked();
    void on_cb_Com_activated(const QString &name);
    void on_Button_Out_clicked();
    void on_spinBoxModbusAddress_valueChanged(int value);

private:
    void fillPorts();
    void report(const QString &title, const QString &text, bool warning);

    Ui::Connect_com_port *ui;
};
