#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "accounts.h"
#include "command.h"
#include "iofile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace {

// Device-level registers are addressed on page 0xA, passed as 0xAA.
constexpr quint8 DevicePage = 0xAA;
// Detector's menu language.
constexpr quint16 RegDeviceLanguage = 0x0700;
// Command register written when the program exits.
constexpr quint16 RegProgramExit = 0x0254;
// Transaction result of a successful exchange.
constexpr quint16 TransactionOk = 2;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      timer_calib(new QTimer),
      translator(new QTranslator),
      timer(new QTimer)
{
    ui->setupUi(this);

    stacks_1 = {ui->stackedWidget_1_0, ui->stackedWidget_1_1, ui->stackedWidget_1_2,
                ui->stackedWidget_1_3, ui->stackedWidget_1_4, ui->stackedWidget_1_5,
                ui->stackedWidget_1_6, ui->stackedWidget_1_7, ui->stackedWidget_1_8,
                ui->stackedWidget_1_9};
    stacks_2 = {ui->stackedWidget_2_0, ui->stackedWidget_2_1, ui->stackedWidget_2_2,
                ui->stackedWidget_2_3, ui->stackedWidget_2_4, ui->stackedWidget_2_5,
                ui->stackedWidget_2_6, ui->stackedWidget_2_7, ui->stackedWidget_2_8,
                ui->stackedWidget_2_9};

    // The Modbus-address area shows its (hidden) spin box page; the model and
    // access-level shortcuts on the other page are never shown.
    ui->pushButtonModbusAddress->hide();
    ui->spinBoxModbusAddress->hide();
    ui->stackedWidgetModbusAddress->setCurrentIndex(1);
    ui->groupBoxAccessLevel->hide();
    ui->groupBoxDevice->hide();

    // The connection dialog and the About dialog are not part of the program
    // yet; their menu entries stay disabled rather than do nothing.
    ui->action_connect->setEnabled(false);
    ui->action_reference->setEnabled(false);

    FileLoad();

    // Anything but the exact English catalogue name (also an empty or damaged
    // settings line) starts the program in Russian. Both handlers end with the
    // view rebuild, which gives the window its start-up look.
    if (LanguageTrans == LanguageEnglish) {
        ui->radioButtonLanguageEn->setChecked(true);
        on_radioButtonLanguageEn_clicked();
    } else {
        ui->radioButtonLanguageRus->setChecked(true);
        on_radioButtonLanguageRus_clicked();
    }

    connect(timer, &QTimer::timeout, this, &MainWindow::Timer);
    connect(timer_calib, &QTimer::timeout, this, &MainWindow::Timer_Calib);
}

MainWindow::~MainWindow()
{
    // Tell the detector that the program is leaving; offline this succeeds
    // without I/O, and a detector that no longer answers is not waited for
    // beyond the transaction's own retries.
    Command::instance().Transmit_command(16, DevicePage, RegProgramExit, 1);

    // A settings file that cannot be written is skipped silently, so closing
    // never fails because of it.
    FileSave();

    if (MainWindow_ptr == this)
        MainWindow_ptr = nullptr;
    delete ui;
    delete timer_calib;
    delete timer;
    delete translator;
}

// ---------------------------------------------------------------------------
// Model table and view rebuild

bool MainWindow::Update_Dev(unsigned short code)
{
    Command &cmd = Command::instance();
    cmd.device_code = code;

    struct ModelRow
    {
        unsigned short code;
        quint16 channels;
        qint16 off_code;
        double time_unit_s;
    };
    // Model 406 is an M4 like 404 and 405 and is handled like 405.
    static const ModelRow rows[] = {
        {411, 1, 7, 0.9375}, {412, 1, 170, 1.0}, {404, 4, 7, 1.0},   {405, 4, 170, 1.0},
        {406, 4, 170, 1.0},  {420, 6, 170, 1.0}, {421, 4, 170, 1.0}, {430, 10, 170, 1.0},
    };
    for (const ModelRow &row : rows) {
        if (row.code == code) {
            cmd.channel_count = row.channels;
            cmd.channel_off_code = row.off_code;
            cmd.device_time_unit_s = row.time_unit_s;
            return true;
        }
    }
    // The bootloader keeps the channel data of the model it was started from.
    return code == 999;
}

MainWindow::Look MainWindow::LookOfModel(unsigned short code)
{
    switch (code) {
    case 411:
    case 412:
        return Look::M1;
    case 404:
    case 405:
    case 406:
        return Look::M4;
    case 420:
    case 421:
        return Look::M4Plus;
    case 999:
        return Look::Bootloader;
    default:
        // No device, and models without a look of their own (430 included).
        return Look::NoDevice;
    }
}

void MainWindow::Update_Tab()
{
    // Stop the automatic refresh and give "Считать параметры" back.
    on_checkBoxAutoupdate_stateChanged(0);

    // The per-channel stacks stay hidden until pages for the connected
    // model's channels are placed in them.
    for (QStackedWidget *stack : stacks_1)
        stack->hide();
    for (QStackedWidget *stack : stacks_2)
        stack->hide();

    ApplyLook(LookOfModel(Command::instance().device_code));
}

void MainWindow::ApplyLook(Look look)
{
    QString suffix;
    QString status;
    bool tabs = false;
    bool bleButton = false;
    bool deviceLanguage = false;
    bool restOfColumn = false;
    QSize scrollContents; // invalid: left as it is

    switch (look) {
    case Look::NoDevice:
        break;
    case Look::M1:
        suffix = tr(" , устройство Ivra M1");
        status = tr("Успешное подключение Ivra M1");
        tabs = restOfColumn = true;
        scrollContents = QSize(754, 614);
        break;
    case Look::M4:
        suffix = tr(" , устройство Ivra M4");
        status = tr("Успешное подключение Ivra M4");
        tabs = bleButton = deviceLanguage = restOfColumn = true;
        scrollContents = QSize(754, 614);
        break;
    case Look::M4Plus:
        suffix = tr(" , устройство Ivra M4Plus");
        status = tr("Успешное подключение Ivra M4Plus");
        tabs = bleButton = deviceLanguage = restOfColumn = true;
        scrollContents = QSize(740, 914);
        break;
    case Look::Bootloader:
        suffix = tr(" , устройство Bootloader");
        status = tr("Успешное подключение Bootloader");
        break;
    }

    setWindowTitle(tr("Ivra Configuration v") + program_version + suffix);

    ui->tabWidget->setVisible(tabs);
    ui->pushButtonBootloader_Ble->setVisible(bleButton);
    ui->groupBoxLanguage_2->setVisible(deviceLanguage);

    const bool bootloader = look == Look::Bootloader;
    ui->pushButtonBootloader->setVisible(restOfColumn || bootloader);
    ui->pushButton_TurnOffDevice->setVisible(restOfColumn || bootloader);
    ui->pushButtonReadFactorySettings->setVisible(restOfColumn);
    ui->pushButton_Save_Param->setVisible(restOfColumn);
    ui->pushButton_Read_Param->setVisible(restOfColumn);
    ui->checkBoxAutoupdate->setVisible(restOfColumn);
    ui->pushButtonLoadConfigDevice->setVisible(restOfColumn);
    ui->pushButtonSaveConfigPC->setVisible(restOfColumn);
    ui->pushButtonSaveFactorySettings->setVisible(restOfColumn);

    if (scrollContents.isValid()) {
        ui->scrollAreaWidgetContents->resize(scrollContents);
        ui->scrollAreaWidgetContents_2->resize(scrollContents);
    }

    if (!status.isEmpty())
        statusBar()->showMessage(status);

    // With a detector's pages shown, the detector-language choice follows the
    // image.
    if (tabs)
        ShowDeviceLanguage();
}

void MainWindow::ShowDeviceLanguage()
{
    const Command &cmd = Command::instance();
    quint16 language;
    if (cmd.protocol_version == 0)
        language = cmd.p0.trailer.device_language;
    else if (cmd.protocol_version == 1)
        language = cmd.p1.trailer.device_language;
    else
        return;
    if (language == 0)
        ui->radioButtonLanguageRus_2->setChecked(true);
    else if (language == 1)
        ui->radioButtonLanguageEn_2->setChecked(true);
}

void MainWindow::Timer() {}

void MainWindow::Timer_Calib()
{
    // One more calibration tick runs after the operator has left the tab.
    if (ui->tabWidget->currentIndex() != 2)
        timer_calib->stop();
}

// ---------------------------------------------------------------------------
// Application language

void MainWindow::SwitchLanguage(const QString &catalogue)
{
    LanguageTrans = catalogue;
    // The catalogue is looked up in the working directory first, then beside
    // the program, so that starting it from another folder keeps the language.
    // A missing catalogue leaves the Russian source texts.
    if (!translator->load(LanguageTrans))
        translator->load(LanguageTrans, QCoreApplication::applicationDirPath());
    // Installing again would list the translator twice; move it to the front.
    QCoreApplication::removeTranslator(translator);
    QCoreApplication::installTranslator(translator);
    ui->retranslateUi(this);
    Update_Tab();
}

void MainWindow::on_radioButtonLanguageRus_clicked() { SwitchLanguage(LanguageRussian); }

void MainWindow::on_radioButtonLanguageEn_clicked() { SwitchLanguage(LanguageEnglish); }

// ---------------------------------------------------------------------------
// Detector menu language

void MainWindow::SetDeviceLanguage(quint16 language)
{
    statusBar()->clearMessage();
    ui->checkBoxAutoupdate->setChecked(false); // stops the refresh timer
    QCoreApplication::processEvents();

    Command &cmd = Command::instance();
    if (cmd.protocol_version == 0)
        cmd.p0.trailer.device_language = language;
    else if (cmd.protocol_version == 1)
        cmd.p1.trailer.device_language = language;

    const quint16 result = cmd.Transmit_command(16, DevicePage, RegDeviceLanguage, 1);
    // The radio button stays as clicked and the image keeps the new value, so
    // that the next save or a second click sends it again.
    if (result & ~TransactionOk) {
        statusBar()->showMessage(tr("Ошибка обмена данными"));
        QMessageBox::warning(this, tr("Ошибка"), tr("Ошибка обмена данными"));
    }
}

void MainWindow::on_radioButtonLanguageRus_2_clicked() { SetDeviceLanguage(0); }

void MainWindow::on_radioButtonLanguageEn_2_clicked() { SetDeviceLanguage(1); }

// ---------------------------------------------------------------------------
// Hidden model and access-level shortcuts

void MainWindow::on_radioButtonDeviceM1_clicked()
{
    Update_Dev(412);
    Update_Tab();
}

void MainWindow::on_radioButtonDeviceM4_clicked()
{
    Update_Dev(404);
    Update_Tab();
}

void MainWindow::on_radioButtonDeviceM4P_clicked()
{
    Update_Dev(420);
    Update_Tab();
}

void MainWindow::on_radioButtonDeviceM5P_clicked()
{
    Update_Dev(430);
    Update_Tab();
}

void MainWindow::on_radioButtonDevice999_clicked()
{
    Update_Dev(999);
    Update_Tab();
}

void MainWindow::LoginAs(const QString &name, const QString &password)
{
    Command &cmd = Command::instance();
    cmd.login_name = name;
    cmd.login_password = password;
    cmd.login_done = 1;
    Update_Tab();
}

void MainWindow::on_radioButtonNameUser_clicked() { LoginAs(login_user, pass_user); }

void MainWindow::on_radioButtonNameAdmin_clicked() { LoginAs(login_admin, pass_admin); }

void MainWindow::on_radioButtonNameIndustry_clicked() { LoginAs(login_creator, pass_creator); }

// ---------------------------------------------------------------------------
// Modbus address

void MainWindow::on_spinBoxModbusAddress_valueChanged(int value)
{
    Command::instance().modbus_address = static_cast<qint16>(value);
}

void MainWindow::on_pushButtonModbusAddress_clicked()
{
    QStackedWidget *stack = ui->stackedWidgetModbusAddress;
    stack->setCurrentIndex(stack->currentIndex() == 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Refresh

void MainWindow::on_checkBoxAutoupdate_stateChanged(int state)
{
    if (state != 0) {
        timer->start(1000);
        ui->pushButton_Read_Param->setEnabled(false);
    } else {
        timer->stop();
        ui->pushButton_Read_Param->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------
// Menu

void MainWindow::on_action_help_triggered()
{
    // The user manual lies beside the program; a missing file or viewer is
    // not reported.
    const QString manual = QCoreApplication::applicationDirPath()
        + QStringLiteral("/Руководство пользователя Ivra Configuration 05.04.2022.pdf");
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

// ---------------------------------------------------------------------------
// Commands of a connected detector. Their widgets are hidden until a detector
// is connected; the commands arrive with the connection.

void MainWindow::on_action_connect_triggered() {}
void MainWindow::on_action_reference_triggered() {}
void MainWindow::on_tabWidget_currentChanged(int) {}
void MainWindow::on_pushButton_Save_Param_clicked() {}
void MainWindow::on_pushButtonSaveConfigPC_clicked() {}
void MainWindow::on_pushButton_TurnOffDevice_clicked() {}
void MainWindow::on_pushButtonLoadConfigDevice_clicked() {}
void MainWindow::on_pushButtonBootloader_clicked() {}
void MainWindow::on_pushButton_Read_Param_clicked() {}
void MainWindow::on_pushButtonSaveFactorySettings_clicked() {}
void MainWindow::on_pushButtonReadFactorySettings_clicked() {}
void MainWindow::on_pushButtonBootloader_Ble_clicked() {}
