// The application settings file "ini": eight lines without keys, identified by
// their position only:
//   1 dir, 2 dir_firmware, 3 file_config_in, 4 file_config_out,
//   5 file_archive_in, 6 file_archive_out, 7 file_firmware_in, 8 LanguageTrans.
// Written as UTF-8 with CR LF line ends; read with any line ends.
#pragma once

#include <QString>

// Full path of the settings file, set by FileLoad and used by FileSave.
extern QString filename;

// Folder that holds the settings file. Empty (the default) means the folder of
// the program's executable; tests point it at a temporary folder.
void SetSettingsFolder(const QString &folder);
QString SettingsFolder();

// Restores the remembered paths and LanguageTrans from the settings file,
// creating the file empty when it does not exist. Returns false, leaving every
// value as it was, when the file can be neither opened nor created. An empty
// dir becomes the desktop folder.
bool FileLoad();

// Writes the eight values to the settings file. Failures (read-only folder,
// full disk) are silent and leave the previous file intact.
void FileSave();
