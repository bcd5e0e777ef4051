// Concentration tile of one channel on the measurement page: the gas name and
// the live concentration in the channel's displayed unit and decimals. It also
// supplies the channel's entry of the page's refresh log.
#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class MeasureWindowConcentration;
}

class MeasureWindowConcentration : public QDialog
{
    Q_OBJECT
public:
    MeasureWindowConcentration(QWidget *parent, unsigned short channel);
    ~MeasureWindowConcentration() override;

    // Redraws the tile from channel `channel` of the device image.
    void UpdateParam(unsigned short channel);
    // Inserts "<gas> - <shown value>" (or "<gas> - Err" while the sensor is
    // faulty) into `text` at character `column`, padding `text` with spaces
    // when it is shorter. Nothing already in `text` is overwritten.
    void UpdateStringConc(QString &text, unsigned short column);

private:
    Ui::MeasureWindowConcentration *ui;
    quint16 channel = 0;
    double conversion_factor = 1.0; // base unit -> displayed unit
};

// Tiles of the measurement page in use, index = channel; null when no page
// holds one.
extern MeasureWindowConcentration *MeasureConcentrationArray[10];

// The gas formula of channel `channel` in the layout in use: the field's
// bytes as UTF-8 up to the first zero byte, at most its ten bytes. Empty for
// an unknown layout or channel.
QString channelGasFormula(int channel);
