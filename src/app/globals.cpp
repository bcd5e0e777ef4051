#include "globals.h"

MainWindow *MainWindow_ptr = nullptr;

MeasureWindow *measure_0 = nullptr;
Calibration *calibration = nullptr;
ArchiveWindow *archivewindow = nullptr;
DeviceSetting_1_Window *devicesettingall_1_Array[10] = {};
DeviceSetting_2_Window *devicesettingall_2_Array[10] = {};
DeviceSettingAllWindow *devicesettingallcreator = nullptr;
DeviceSettingAllWindow_1 *devicesettingallcreator_1 = nullptr;

const QString program_version = QStringLiteral("1.15");

const QString LanguageRussian = QStringLiteral("Ivra_Configuration_ru_RU.");
const QString LanguageEnglish = QStringLiteral("Ivra_Configuration_en_US.");

QString LanguageTrans;

QString dir;
QString dir_firmware;
QString file_firmware_in;
QString file_config_in;
QString file_config_out;
QString file_archive_in;
QString file_archive_out;

QElapsedTimer time_prog;
