// Calibration-date tile of one channel on the measurement page: the gas name
// and the date of the channel's last calibration.
#pragma once

#include <QDialog>

namespace Ui {
class MeasureWindowDateLastCalib;
}

class MeasureWindowDateLastCalib : public QDialog
{
    Q_OBJECT
public:
    MeasureWindowDateLastCalib(QWidget *parent, unsigned short channel);
    ~MeasureWindowDateLastCalib() override;

    // Redraws the tile from channel `channel` of the device image.
    void UpdateParam(unsigned short channel);

private:
    Ui::MeasureWindowDateLastCalib *ui;
    quint16 channel = 0;
};

// Tiles of the measurement page in use, index = channel; null when no page
// holds one.
extern MeasureWindowDateLastCalib *MeasureDateLastCalibArray[10];
