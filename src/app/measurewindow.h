// Measurement page of the first main-window tab: the detector's
// identification, clock, production date, battery and temperature, the
// concentration and last-calibration tiles of the switched-on channels, the
// current alarm, warning and fault codes and a log with one line per refresh.
// It reads the device image only; the main window reads the registers and
// then calls UpdateParam().
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class MeasureWindow;
}
class QStackedWidget;

class MeasureWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MeasureWindow(QWidget *parent);
    ~MeasureWindow() override;

    // Creates the ten concentration and ten calibration-date tiles.
    void UpdateDialog();
    // Redraws the page from the device image and appends one log line.
    void UpdateParam();

    // What a status code of this page means ("A21": threshold 2 exceeded on
    // channel 2, ...), as one line of text; empty when `code` is not one.
    static QString StatusCodeMeaning(const QString &code);

protected:
    // The page is embedded in a tab: Escape must not close it.
    void keyPressEvent(QKeyEvent *event) override;
    // Shows the meaning of the status code under the mouse in the log.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool channelOn(int k) const { return switched_on[k] == k; }
    QStringList statusCodes() const;

    Ui::MeasureWindow *ui;
    QStackedWidget *concentration_stack[10] = {};
    QStackedWidget *calib_date_stack[10] = {};

    // Taken from the device image at the start of every refresh.
    quint8 switched_on[10] = {};      // low byte of channel_page
    quint16 channel_status[10] = {};
    quint16 sensor_status[10] = {};   // channel_status_2
    quint16 display_format[10] = {};
    quint16 sensor_type[10] = {};     // layout p1: sensor_config
    quint16 device_status = 0;
};
