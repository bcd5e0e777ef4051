// Process-wide state of the main window unit: the window itself, the pages it
// hosts, the program version, the interface language and the folders and files
// remembered between runs. Everything here lives for the whole run.
#pragma once

#include <QElapsedTimer>
#include <QString>

class MainWindow;
class MeasureWindow;
class Calibration;
class ArchiveWindow;
class DeviceSetting_1_Window;
class DeviceSetting_2_Window;
class DeviceSettingAllWindow;
class DeviceSettingAllWindow_1;

// The one main window, set by main() before the window is shown.
extern MainWindow *MainWindow_ptr;

// Pages hosted by the main window. Every view rebuild replaces them; until the
// first rebuild with a detector they are null.
extern MeasureWindow *measure_0;
extern Calibration *calibration;
extern ArchiveWindow *archivewindow;
extern DeviceSetting_1_Window *devicesettingall_1_Array[10];
extern DeviceSetting_2_Window *devicesettingall_2_Array[10];
extern DeviceSettingAllWindow *devicesettingallcreator;
extern DeviceSettingAllWindow_1 *devicesettingallcreator_1;

// Shown in the window title and in the About dialog.
extern const QString program_version;

// Translation catalogue names as stored in the settings file; the translator
// finds "<name>qm" (the trailing dot stands before the suffix).
extern const QString LanguageRussian;  // "Ivra_Configuration_ru_RU."
extern const QString LanguageEnglish;  // "Ivra_Configuration_en_US."

// Name of the installed translation catalogue (one of the two above, or empty
// before the first choice).
extern QString LanguageTrans;

// Last used folders and files of the file dialogs.
extern QString dir;              // archive and configuration files
extern QString dir_firmware;     // firmware files
extern QString file_firmware_in;
extern QString file_config_in;
extern QString file_config_out;
extern QString file_archive_in;
extern QString file_archive_out;

// Stopwatch of the main window's short waits; restarted before every use.
extern QElapsedTimer time_prog;
