// Per-channel page of the "Сенсоры" tab: the three alarm thresholds with their
// direction, the TWA and STEL limits and the STEL averaging interval, the
// displayed unit and decimals, automatic zero at power-on; the upper range
// value and the bump-test and calibration intervals are shown read-only.
//
// The page edits the channel record of the device image in place; the values
// reach the detector when the parameters are saved from the main window.
// Layout p0 stores 16-bit counts of the channel's base decimals, layout p1
// floats in the base unit; the boxes show the displayed unit.
#pragma once

#include <QDialog>

namespace Ui {
class DeviceSetting_1_Window;
}
class QCheckBox;
class QDoubleSpinBox;

class DeviceSetting_1_Window : public QDialog
{
    Q_OBJECT
public:
    DeviceSetting_1_Window(QWidget *parent, unsigned short channel);
    ~DeviceSetting_1_Window() override;

    // Redraws every box from the device image; writes nothing back.
    void UpdateParam(unsigned short channel);
    // Refills the displayed-unit list the channel's sensor allows.
    void UpdatecomboBoxUnitMeas(unsigned short channel);

private slots:
    void on_comboBoxDiscreteness_activated(int index);
    void on_comboBoxUnitMeas_activated(int index);
    void on_doubleSpinBoxConcCalibGas_valueChanged(double value);
    void on_doubleSpinBoxLim_1_valueChanged(double value);
    void on_doubleSpinBoxLim_2_valueChanged(double value);
    void on_doubleSpinBoxLim_3_valueChanged(double value);
    void on_checkBoxLim1IncDec_stateChanged(int state);
    void on_checkBoxLim2IncDec_stateChanged(int state);
    void on_checkBoxLim3IncDec_stateChanged(int state);
    void on_doubleSpinBoxLimitTWA_valueChanged(double value);
    void on_doubleSpinBoxLimitSTEL_valueChanged(double value);
    void on_spinBoxIntervalStel_valueChanged(int value);
    void on_checkBoxAutoCalibZero_stateChanged(int state);
    void on_ParamSensgroupBox_clicked(bool checked);

protected:
    // The page is embedded in a tab: Escape must not close it.
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool layoutKnown() const;
    // Threshold 1..3 entered in the displayed unit.
    void storeThreshold(int number, QDoubleSpinBox *box, double value);
    // A 16-bit count field (layout p0) or float field (layout p1) entered in
    // the displayed unit.
    void storeCount(quint16 &countP0, float &valueP1, QDoubleSpinBox *box, double value);
    void storeDirection(int number, QCheckBox *box, int state);
    // Shows `value` in `box` without writing it back.
    void showValue(QDoubleSpinBox *box, double value);

    Ui::DeviceSetting_1_Window *ui;
    quint16 channel;
    double conversion_factor = 1.0; // base unit -> displayed unit
    double raw_factor = 1.0;        // layout p0: register count -> displayed unit
    quint16 unit_base = 0;          // UnitMeasure index of the first unit offered
    bool updating = false;          // set while the page redraws
};
