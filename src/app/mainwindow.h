// The program's single top-level window: the command column on the left, the
// tabs that host the detector pages, the application and detector language
// choices, the menu and the status bar.
#pragma once

#include "globals.h"

#include <QMainWindow>

#include <array>

class QStackedWidget;
class QTimer;
class QTranslator;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Model table: stores the model code in the device image and, for a known
    // model, its channel count, channel-off code and device time unit. Returns
    // false for a code the program does not know.
    bool Update_Dev(unsigned short code);

    // View rebuild: re-creates the hosted pages and applies the look of the
    // connected model (or the start-up look when there is none).
    void Update_Tab();

    // Refresh of one tab (0..6): reads the registers the tab needs from the
    // detector, then lets the tab's pages redraw from the device image.
    void Update_Param(unsigned char tab);

    // Full read of the connected model's registers, made by every rebuild.
    void Update_Param_All();

    // Writes the whole parameter set the account may write and commits it,
    // as factory settings when `factory` is non-zero. True on success.
    bool Write_All_Param_To_Device(unsigned char factory);

    // Checks the detector-language radio button that matches device_language
    // of the layout in use (0 Russian, 1 English; other values change nothing).
    void ShowDeviceLanguage();

    // Handler of the refresh timer (runs while "Авто" is checked).
    void Timer();
    // Handler of the calibration timer, started by the calibration page.
    void Timer_Calib();

    QTimer *CalibrationTimer() const { return timer_calib; }
    QTimer *RefreshTimer() const { return timer; }

private slots:
    void on_action_connect_triggered();
    void on_checkBoxAutoupdate_stateChanged(int state);
    void on_tabWidget_currentChanged(int index);
    void on_pushButton_Save_Param_clicked();
    void on_radioButtonLanguageRus_clicked();
    void on_radioButtonLanguageEn_clicked();
    void on_radioButtonNameUser_clicked();
    void on_radioButtonNameAdmin_clicked();
    void on_radioButtonNameIndustry_clicked();
    void on_pushButtonSaveConfigPC_clicked();
    void on_pushButton_TurnOffDevice_clicked();
    void on_pushButtonLoadConfigDevice_clicked();
    void on_pushButtonBootloader_clicked();
    void on_radioButtonDevice999_clicked();
    void on_pushButton_Read_Param_clicked();
    void on_pushButtonSaveFactorySettings_clicked();
    void on_pushButtonReadFactorySettings_clicked();
    void on_radioButtonLanguageRus_2_clicked();
    void on_radioButtonLanguageEn_2_clicked();
    void on_action_reference_triggered();
    void on_action_help_triggered();
    void on_pushButtonBootloader_Ble_clicked();
    void on_spinBoxModbusAddress_valueChanged(int value);
    void on_pushButtonModbusAddress_clicked();
    void on_radioButtonDeviceM1_clicked();
    void on_radioButtonDeviceM5P_clicked();
    void on_radioButtonDeviceM4_clicked();
    void on_radioButtonDeviceM4P_clicked();

private:
    // The looks the window takes after a rebuild, by model family.
    enum class Look { NoDevice, M1, M4, M4Plus, Bootloader };
    static Look LookOfModel(unsigned short code);
    // Title, tab widget and command column of a look; returns the status
    // message that announces the connection (empty for no device).
    QString ApplyLook(Look look);
    // Tabs and buttons the logged-in account may use.
    void ApplyAccount();
    // Replaces the hosted pages with fresh ones; the old pages are released
    // only once control is back in the event loop, since a rebuild can run
    // inside a call chain that started in one of them.
    void RecreatePages(bool withDevice);
    // Reads the blocks of the connected model for `tab`; false when one of
    // the transactions that must succeed failed.
    bool ReadTabBlocks(unsigned char tab);
    // Lets the pages of `tab` redraw from the device image.
    void UpdateTabPages(unsigned char tab);
    // Writes the PC clock to a first-protocol detector.
    bool WriteClockProtocol0();
    // Stops the automatic refresh before a command talks to the detector;
    // `status` (may be empty) replaces the status-bar message.
    void StopPolling(const QString &status);
    // The writes of a parameter save (full = false) or of a whole parameter
    // set (full = true) on a first-protocol detector, for the model and the
    // logged-in account. False at the first failed write.
    bool WriteParamsProtocol0(bool full);
    // Warning box and status bar for a failed exchange.
    void ReportExchangeError();

    // Installs the translation catalogue `catalogue` and re-applies every text.
    void SwitchLanguage(const QString &catalogue);
    // Writes the detector's menu language (0 Russian, 1 English).
    void SetDeviceLanguage(quint16 language);
    // Logs in directly with one of the fixed accounts.
    void LoginAs(const QString &name, const QString &password);

    Ui::MainWindow *ui = nullptr;
    QTimer *timer_calib = nullptr;
    QTranslator *translator = nullptr;
    QTimer *timer = nullptr;

    // The per-channel stacks of the "Сенсоры" (1) and "Обслуживание" (2) tabs,
    // indexed by channel.
    std::array<QStackedWidget *, 10> stacks_1{};
    std::array<QStackedWidget *, 10> stacks_2{};
};
