#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "accounts.h"
#include "authorizationwindow.h"
#include "command.h"
#include "connect_com_port.h"
#include "devicesetting_1_window.h"
#include "iofile.h"
#include "measurewindow.h"

#include <QApplication>
#include <QThread>

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
// Model code, input register on the device page.
constexpr quint16 RegDeviceCode = 0x0010;
// Answered only by second-protocol firmware: tells the two layouts apart.
constexpr quint16 RegProtocolProbe = 0x0999;
// Attempts of the layout probe in a refresh (see Update_Param).
constexpr int RefreshProbeAttempts = 2;
// Every refresh starts at least this long after the previous one ended.
constexpr qint64 RefreshPauseMs = 100;
// Period of the automatic refresh ("Авто").
constexpr int AutoRefreshMs = 1000;

// One transaction of a refresh: (function, page, register, count).
quint16 T(quint8 kind, quint8 page, quint16 reg, quint16 count)
{
    return Command::instance().Transmit_command(kind, page, reg, count);
}
bool ok(quint16 result) { return result == TransactionOk; }

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

    // The About dialog is not part of the program yet; its menu entry stays
    // disabled rather than do nothing.
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
    // The hosted pages are children of this window and go with it.
    measure_0 = nullptr;
    for (DeviceSetting_1_Window *&page : devicesettingall_1_Array)
        page = nullptr;
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
    // Stop the automatic refresh and give "Считать параметры" back; the box
    // itself is unchecked by the tab handler below.
    on_checkBoxAutoupdate_stateChanged(0);

    Command &cmd = Command::instance();
    const bool withDevice = cmd.device_code != 0 && cmd.device_code != 999;
    if (withDevice)
        Update_Param_All();
    RecreatePages(withDevice);

    const Look look = LookOfModel(cmd.device_code);
    const QString status = ApplyLook(look);
    if (look == Look::NoDevice || look == Look::Bootloader) {
        if (!status.isEmpty())
            statusBar()->showMessage(status);
        return;
    }

    // Refresh the first tab once: directly when it is already shown (no
    // signal would come), else through the tab change. "Авто" ends unchecked.
    if (ui->tabWidget->currentIndex() == 0)
        on_tabWidget_currentChanged(0);
    ui->tabWidget->setCurrentIndex(0);
    statusBar()->showMessage(status);

    ApplyAccount();
    ShowDeviceLanguage();
}

void MainWindow::RecreatePages(bool withDevice)
{
    Command &cmd = Command::instance();
    const auto release = [](QWidget *page) {
        if (!page)
            return;
        page->hide();
        if (auto *stack = qobject_cast<QStackedWidget *>(page->parentWidget()))
            stack->removeWidget(page);
        page->deleteLater();
    };

    // Per-channel pages of "Сенсоры" (tab 1). The "Обслуживание" pages (tab 3)
    // are not part of the program yet: their stacks keep their empty page.
    for (int k = 0; k < 10; ++k) {
        release(devicesettingall_1_Array[k]);
        devicesettingall_1_Array[k] = nullptr;
        stacks_1[k]->hide();
        stacks_2[k]->hide();
    }
    release(measure_0);
    measure_0 = nullptr;

    if (!withDevice)
        return;

    const int channels = qBound(0, int(cmd.channel_count), 10);
    for (int k = 0; k < channels; ++k) {
        auto *page = new DeviceSetting_1_Window(this, quint16(k));
        devicesettingall_1_Array[k] = page;
        stacks_1[k]->show();
        stacks_1[k]->insertWidget(0, page);
        stacks_1[k]->setCurrentIndex(0);
        stacks_2[k]->show();
    }

    measure_0 = new MeasureWindow(this);
    ui->stackedWidgetMeasure->insertWidget(0, measure_0);
    ui->stackedWidgetMeasure->setCurrentIndex(0);
}

void MainWindow::ApplyAccount()
{
    const QString &name = Command::instance().login_name;
    // The production tabs are rebuilt for every look; the Modbus address is
    // for the production account only.
    while (ui->tabWidget->count() > 5)
        ui->tabWidget->removeTab(ui->tabWidget->count() - 1);
    ui->spinBoxModbusAddress->hide();

    if (name == login_user) {
        ui->tabWidget->setTabEnabled(3, false);
        ui->pushButtonSaveFactorySettings->hide();
        ui->pushButtonReadFactorySettings->hide();
    } else if (name == login_admin) {
        ui->tabWidget->setTabEnabled(3, true);
        ui->pushButtonSaveFactorySettings->hide();
        ui->pushButtonReadFactorySettings->hide();
    } else if (name == login_creator) {
        ui->spinBoxModbusAddress->show();
        ui->tabWidget->setTabEnabled(3, true);
        ui->pushButtonSaveFactorySettings->show();
        ui->pushButtonReadFactorySettings->show();
    }
    // Any other name (nobody logged in) keeps what the model look set.
}

QString MainWindow::ApplyLook(Look look)

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

    return status;
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

void MainWindow::Timer() { Update_Param(static_cast<unsigned char>(ui->tabWidget->currentIndex())); }

void MainWindow::Timer_Calib()
{
    // The calibration page stops its steps on the first tick after the
    // operator has left its tab.
    if (ui->tabWidget->currentIndex() != 2)
        timer_calib->stop();
}

// ---------------------------------------------------------------------------
// Refresh

bool MainWindow::WriteClockProtocol0()
{
    Command &cmd = Command::instance();
    cmd.SetDeviceClockFromPc();
    // The single-channel detectors take the time alone; the others the UTC
    // offset followed by the time.
    if (cmd.device_code == 411 || cmd.device_code == 412)
        return ok(T(16, 0, 0x0100, 2));
    return ok(T(16, 0, 0x00FE, 4));
}

bool MainWindow::ReadTabBlocks(unsigned char tab)
{
    Command &cmd = Command::instance();
    const bool autoOn = ui->checkBoxAutoupdate->isChecked();
    const int channels = qBound(0, int(cmd.channel_count), 10);

    if (cmd.protocol_version == 1)
        return cmd.Read_Param_Protocol_2(1, autoOn) != 0;
    if (cmd.protocol_version != 0)
        return true;

    if (!WriteClockProtocol0())
        return false;

    // Channel k's display format asks for register 0x0125 (bit 11).
    const auto extra = [&cmd](int k) { return (cmd.p0.channel[k].display_format & 0x0800) != 0; };

    switch (cmd.device_code) {
    case 411:
    case 412:
        for (int k = 0; k < channels; ++k) {
            if (!ok(T(3, quint8(k), 0x0100, 82)) || !ok(T(3, quint8(k), 0x0220, 4)))
                return false;
        }
        return ok(T(3, 0xAA, 0x0210, 6)) && ok(T(4, 0xAA, 0x0020, 2)) && ok(T(4, 0xAA, 0x00F6, 20));
    case 404:
    case 405:
    case 406:
        // While "Авто" polls once a second only measurements and status
        // registers are read; the parameter blocks wait for a manual refresh.
        for (int k = 0; k < channels; ++k) {
            if (!autoOn && !ok(T(3, quint8(k), 0x0100, 82)))
                return false;
            if (extra(k) && !ok(T(3, quint8(k), 0x0125, 1)))
                return false;
        }
        if (!ok(T(3, 0xAA, 0x0220, 2)) || !ok(T(4, 0xAA, 0x0030, 8)) || !ok(T(4, 0xAA, 0x00F6, 41)))
            return false;
        if (tab == 4 && !ok(T(3, 0xAA, 0x0210, 6)))
            return false;
        if ((tab == 5 || tab == 6) && (!ok(T(3, 0xAA, 0x0210, 6)) || !ok(T(4, 0xAA, 0x0020, 8))))
            return false;
        return true;
    case 420:
    case 421:
        for (int k = 0; k < channels; ++k) {
            if (!autoOn) {
                if (!ok(T(3, quint8(k), 0x0100, 82)) || !ok(T(3, quint8(k), 0x0160, 20)))
                    return false;
                T(3, quint8(k), 0x0202, 1); // not every firmware has it
            }
            if (extra(k) && !ok(T(3, quint8(k), 0x0125, 1)))
                return false;
            if (!ok(T(4, quint8(k), 0x0020, 13)))
                return false;
        }
        return ok(T(3, 0xAA, 0x0210, 6)) && ok(T(3, 0xAA, 0x0220, 2)) && ok(T(4, 0xAA, 0x0011, 5));
    default:
        return true;
    }
}

void MainWindow::UpdateTabPages(unsigned char tab)
{
    Command &cmd = Command::instance();
    switch (tab) {
    case 0:
        if (measure_0)
            measure_0->UpdateParam();
        break;
    case 1:
        for (int k = 0; k < qBound(0, int(cmd.channel_count), 10); ++k) {
            if (devicesettingall_1_Array[k])
                devicesettingall_1_Array[k]->UpdateParam(quint16(k));
        }
        break;
    default:
        // The calibration, service, archive and production pages are not
        // part of the program yet; their tabs show nothing to redraw.
        break;
    }
}

void MainWindow::Update_Param(unsigned char tab)
{
    Command &cmd = Command::instance();

    // Keep at least 100 ms between refreshes; no events are processed here.
    time_prog.restart();
    const qint64 waited = time_prog.elapsed();
    if (waited < RefreshPauseMs)
        QThread::msleep(static_cast<unsigned long>(RefreshPauseMs - waited));

    const quint16 codeBefore = cmd.device_code;
    const qint16 protocolBefore = cmd.protocol_version;

    // Is the detector still there? Without it the window goes back to its
    // start-up look.
    if (!ok(T(4, 0xAA, RegDeviceCode, 1))) {
        cmd.port.close();
        cmd.port_connected = 0;
        cmd.device_code = 0;
        Update_Tab();
        statusBar()->showMessage(tr("Ошибка обмена данными"));
        return;
    }
    if (cmd.port_connected != 0) {
        // A first-protocol detector never answers the probe, so ten attempts
        // would make every refresh wait ten reply timeouts (five seconds on
        // a 404). Two attempts still ride out one lost reply of a
        // second-protocol detector; the connect-time probe keeps all ten.
        const int attempts = cmd.transmit_attempts;
        cmd.transmit_attempts = RefreshProbeAttempts;
        cmd.protocol_version = ok(T(4, 0xAA, RegProtocolProbe, 1)) ? 1 : 0;
        cmd.transmit_attempts = attempts;
    }

    // Another model or a re-flashed detector: rebuild before reading.
    if (cmd.device_code != codeBefore || cmd.protocol_version != protocolBefore) {
        Update_Dev(cmd.device_code);
        Update_Tab();
    }

    if (!ReadTabBlocks(tab)) {
        statusBar()->showMessage(tr("Ошибка обмена данными"));
        return;
    }
    const bool knownModel = cmd.protocol_version == 1
        || (cmd.protocol_version == 0
            && QList<quint16>{404, 405, 406, 411, 412, 420, 421}.contains(cmd.device_code));
    if (knownModel)
        UpdateTabPages(tab);

    T(3, 0xAA, RegDeviceLanguage, 1);
    ShowDeviceLanguage();
    statusBar()->showMessage(tr("Успешная передача данных"));
}

void MainWindow::Update_Param_All()
{
    Command &cmd = Command::instance();
    ui->spinBoxModbusAddress->setValue(cmd.modbus_address);

    const quint16 probe = T(4, 0xAA, RegProtocolProbe, 1);
    T(3, 0xAA, RegDeviceLanguage, 1);
    if (cmd.port_connected != 0)
        cmd.protocol_version = ok(probe) ? 1 : 0;

    if (cmd.protocol_version == 1) {
        cmd.Read_Param_Protocol_2(0, false);
        return;
    }
    if (cmd.protocol_version != 0)
        return;

    // Everything the model has; results are not examined, the refresh that
    // follows reports a lost link. The buzzer register is read here as well:
    // the production save and the factory store write it back, and no other
    // read of a first-protocol detector brings it into the device image.
    const int channels = qBound(0, int(cmd.channel_count), 10);
    switch (cmd.device_code) {
    case 411:
    case 412:
        T(3, 0, 0x0100, 82);
        T(3, 0, 0x0220, 4);
        T(4, 0xAA, 0x00F6, 20);
        T(3, 0xAA, 0x0210, 6);
        T(3, 0xAA, 0x0200, 1);
        break;
    case 404:
    case 405:
    case 406:
        for (int k = 0; k < channels; ++k) {
            T(3, quint8(k), 0x0100, 82);
            T(3, quint8(k), 0x0220, 4);
        }
        T(4, 0xAA, 0x00F6, 41);
        T(3, 0xAA, 0x0210, 6);
        T(3, 0xAA, 0x0200, 1);
        break;
    case 420:
    case 421:
        for (int k = 0; k < channels; ++k) {
            T(3, quint8(k), 0x0100, 82);
            T(3, quint8(k), 0x0160, 20);
            T(3, quint8(k), 0x0220, 4);
            T(4, quint8(k), 0x0020, 13);
        }
        T(3, 0xAA, 0x0210, 6);
        T(3, 0xAA, 0x0200, 1);
        break;
    default:
        break;
    }
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    if (ui->tabWidget->currentIndex() != index) {
        // The change signals this handler again with the new tab.
        ui->tabWidget->setCurrentIndex(index);
        return;
    }
    // Automatic refresh only on the first tab.
    ui->checkBoxAutoupdate->setEnabled(index == 0);
    ui->checkBoxAutoupdate->setChecked(false);
    Update_Param(static_cast<unsigned char>(index));
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
// Automatic refresh

void MainWindow::on_checkBoxAutoupdate_stateChanged(int state)
{
    if (state != 0) {
        timer->start(AutoRefreshMs);
        ui->pushButton_Read_Param->setEnabled(false);
    } else {
        timer->stop();
        ui->pushButton_Read_Param->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------
// Menu

void MainWindow::on_action_connect_triggered()
{
    statusBar()->clearMessage();
    ui->checkBoxAutoupdate->setChecked(false);
    QCoreApplication::processEvents();

    Command &cmd = Command::instance();
    if (cmd.login_done == 0) {
        AuthorizationWindow login(this, 0);
        login.exec();
        if (cmd.login_done == 0) {
            Update_Tab();
            return;
        }
    }
    {
        Connect_com_port dialog(this);
        dialog.exec();
    }
    Update_Tab();
}

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

void MainWindow::on_action_reference_triggered() {}
void MainWindow::on_pushButtonSaveConfigPC_clicked() {}
void MainWindow::on_pushButtonLoadConfigDevice_clicked() {}
void MainWindow::on_pushButtonBootloader_clicked() {}
void MainWindow::on_pushButtonBootloader_Ble_clicked() {}

// ---------------------------------------------------------------------------
// Parameter commands

void MainWindow::StopPolling(const QString &status)
{
    if (status.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(status);
    ui->checkBoxAutoupdate->setChecked(false); // stops the refresh timer
    QCoreApplication::processEvents();
}

void MainWindow::ReportExchangeError()
{
    QMessageBox::warning(this, tr("Ошибка"), tr("Ошибка обмена данными"));
    statusBar()->showMessage(tr("Ошибка обмена данными"));
}

bool MainWindow::WriteParamsProtocol0(bool full)
{
    Command &cmd = Command::instance();
    const QString &name = cmd.login_name;
    const int channels = qBound(0, int(cmd.channel_count), 10);

    // One write of function 16; `optional` writes may be refused by older
    // firmware without failing the command.
    struct W
    {
        quint8 page;
        quint16 reg;
        quint16 count;
        bool optional = false;
    };
    QVector<W> perChannel;
    QVector<W> device;

    enum class Family { M1, M4, M4Plus, Other };
    Family family = Family::Other;
    switch (cmd.device_code) {
    case 411: case 412: family = Family::M1; break;
    case 404: case 405: case 406: family = Family::M4; break;
    case 420: case 421: family = Family::M4Plus; break;
    default: break;
    }
    if (family == Family::Other)
        return true;

    const bool user = name == login_user;
    const bool admin = name == login_admin;
    const bool creator = name == login_creator;
    if (!user && !admin && !creator)
        return true; // nobody logged in: the clock and the commit only

    if (family == Family::M1) {
        // The single-channel detectors: one record on page 0.
        QVector<W> writes;
        if (user)
            writes = {{0, 0x0100, 12}, {0, 0x0230, 1}};
        else if (admin && !full)
            writes = {{0, 0x0100, 29}, {0, 0x0230, 4}, {0, 0x0221, 1}};
        else if (admin)
            writes = {{0, 0x0100, 29}, {0, 0x011F, 51}, {0, 0x0220, 4}, {0xAA, 0x0200, 1}, {0xAA, 0x0210, 6}};
        else
            writes = {{0, 0x0100, quint16(full ? 82 : 80)}, {0, 0x0220, 4}, {0xAA, 0x0200, 1}, {0xAA, 0x0210, 6}};
        for (const W &w : writes) {
            if (!ok(T(16, w.page, w.reg, w.count)))
                return false;
        }
        return true;
    }

    const bool plus = family == Family::M4Plus;
    if (user) {
        perChannel = {{0, 0x0100, 12}, {0, 0x0230, 1}};
    } else if (admin && !full) {
        perChannel = {{0, 0x0100, 29}, {0, 0x0230, 4}, {0, 0x0221, 1}};
    } else {
        // The administrator's full write adds the 51 registers from 0x011F;
        // the production account writes the whole record.
        const quint16 first = admin ? 29 : quint16(full ? 82 : 80);
        perChannel = {{0, 0x0100, first}};
        if (admin)
            perChannel.append(W{0, 0x011F, 51});
        if (plus)
            perChannel.append(W{0, 0x0160, 20});
        perChannel.append(W{0, 0x0222, 2});
        if (plus)
            perChannel.append(W{0, 0x0202, 1, true});
        device = {{0xAA, 0x0200, 1}, {0xAA, 0x0220, 2}, {0xAA, 0x0210, 6}};
    }

    for (int k = 0; k < channels; ++k) {
        for (const W &w : perChannel) {
            const quint16 result = T(16, quint8(k), w.reg, w.count);
            if (!w.optional && !ok(result))
                return false;
        }
    }
    for (const W &w : device) {
        if (!ok(T(16, w.page, w.reg, w.count)))
            return false;
    }
    return true;
}

void MainWindow::on_pushButton_Save_Param_clicked()
{
    // The production tabs keep edits in their tables until a save takes
    // them into the device image; those pages are not part of the program yet.
    StopPolling(tr("Идет передача данных..."));

    Command &cmd = Command::instance();
    bool written = true;
    if (cmd.protocol_version == 0)
        written = WriteClockProtocol0() && WriteParamsProtocol0(false);
    else if (cmd.protocol_version == 1)
        written = cmd.Write_Param_Protocol_2(false);
    // The commit makes the detector keep what was just written; nothing is
    // committed after a failed write.
    if (!written || !ok(T(16, 0xAA, 0x0240, 1))) {
        ReportExchangeError();
        return;
    }
    Update_Param(static_cast<unsigned char>(ui->tabWidget->currentIndex()));
}

bool MainWindow::Write_All_Param_To_Device(unsigned char factory)
{
    StopPolling(tr("Идет передача данных..."));

    Command &cmd = Command::instance();
    bool written = true;
    if (cmd.protocol_version == 0)
        written = WriteClockProtocol0() && WriteParamsProtocol0(true);
    else if (cmd.protocol_version == 1)
        written = cmd.Write_Param_Protocol_2(true);
    if (!written || !ok(T(16, 0xAA, factory ? 0x0250 : 0x0240, 1))) {
        ReportExchangeError();
        return false;
    }
    statusBar()->showMessage(tr("Успешная передача данных"));
    return true;
}

void MainWindow::on_pushButton_Read_Param_clicked()
{
    statusBar()->showMessage(tr("Идет передача данных..."));
    QCoreApplication::processEvents();
    Update_Param(static_cast<unsigned char>(ui->tabWidget->currentIndex()));
}

void MainWindow::on_pushButtonReadFactorySettings_clicked()
{
    StopPolling(tr("Идет передача данных..."));
    Command &cmd = Command::instance();
    if (cmd.login_name == login_user) {
        // The user account needs the factory-settings password.
        AuthorizationWindow password(this, 1);
        password.exec();
        if (cmd.factory_password_ok == 0)
            return;
    }
    cmd.factory_password_ok = 0;
    if (T(16, 0xAA, 0x0252, 1) & ~TransactionOk) {
        ReportExchangeError();
        return;
    }
    Update_Param(static_cast<unsigned char>(ui->tabWidget->currentIndex()));
}

void MainWindow::on_pushButtonSaveFactorySettings_clicked() { Write_All_Param_To_Device(1); }

void MainWindow::on_pushButton_TurnOffDevice_clicked()
{
    StopPolling(QString());
    // The bootloader has its own switch-off register. The result is not
    // examined: the next refresh finds the link lost.
    const bool bootloader = Command::instance().device_code == 999;
    T(16, 0xAA, bootloader ? 0x0005 : 0x0800, 1);
}
