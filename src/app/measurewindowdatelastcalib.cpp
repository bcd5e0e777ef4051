#include "measurewindowdatelastcalib.h"
#include "ui_measurewindowdatelastcalib.h"

#include "command.h"
#include "measurewindowconcentration.h"

#include <QDateTime>
#include <cmath>

MeasureWindowDateLastCalib *MeasureDateLastCalibArray[10] = {};

MeasureWindowDateLastCalib::MeasureWindowDateLastCalib(QWidget *parent, unsigned short channel)
    : QDialog(parent), ui(new Ui::MeasureWindowDateLastCalib), channel(channel)
{
    ui->setupUi(this);
    UpdateParam(channel);
}

MeasureWindowDateLastCalib::~MeasureWindowDateLastCalib()
{
    for (auto &tile : MeasureDateLastCalibArray)
        if (tile == this)
            tile = nullptr;
    delete ui;
}

void MeasureWindowDateLastCalib::UpdateParam(unsigned short channel)
{
    this->channel = channel;
    const Command &cmd = Command::instance();
    if ((cmd.protocol_version != 0 && cmd.protocol_version != 1) || channel > 9)
        return;
    const quint32 when = cmd.protocol_version == 0 ? cmd.p0.channel[channel].last_calibration_time
                                                   : cmd.p1.channel[channel].last_calibration_time;
    ui->label_Chan->setText(tr("Канал ") + channelGasFormula(channel));
    // Device time units since 1970-01-01 00:00 UTC, shown in local time.
    const double seconds = std::trunc(double(when) * cmd.device_time_unit_s);
    ui->dateTimeEditDateLastCalib->setDateTime(
        QDateTime::fromSecsSinceEpoch(std::isfinite(seconds) ? qint64(seconds) : 0));
}
