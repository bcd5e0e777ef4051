#include "iofile.h"

#include "globals.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextCodec>

#include <array>

QString filename;

namespace {

QString g_settings_folder;

// The eight values in file order.
std::array<QString *, 8> settingsValues()
{
    return {&dir, &dir_firmware, &file_config_in, &file_config_out,
            &file_archive_in, &file_archive_out, &file_firmware_in, &LanguageTrans};
}

// No remembered value (a folder, a file name or a catalogue name) comes near
// this length; a longer line is a damaged file and reads as empty.
constexpr qint64 MaxLineBytes = 32 * 1024;

// Reads one line, at most MaxLineBytes long; the rest of a longer line is
// skipped so that the following lines keep their positions. Returns false at
// the end of the file.
bool readSettingsLine(QFile &file, QByteArray &line, bool &tooLong)
{
    tooLong = false;
    if (file.atEnd())
        return false;
    line = file.readLine(MaxLineBytes);
    // A line without its line end before the end of the file was cut short.
    if (!line.endsWith('\n') && !file.atEnd()) {
        tooLong = true;
        char c = 0;
        while (file.getChar(&c) && c != '\n') {
        }
    }
    return true;
}

// Decodes one stored value. Text that is not valid UTF-8 or that holds control
// characters (a binary or foreign-encoded file) cannot be a path or a catalogue
// name, so it gives an empty value instead of a mangled one.
QString decodeValue(const QByteArray &raw)
{
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QString text = codec->toUnicode(raw.constData(), raw.size(), &state).trimmed();
    if (state.invalidChars > 0)
        return QString();
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return QString();
    }
    return text;
}

} // namespace

void SetSettingsFolder(const QString &folder) { g_settings_folder = folder; }

QString SettingsFolder()
{
    return g_settings_folder.isEmpty() ? QCoreApplication::applicationDirPath() : g_settings_folder;
}

bool FileLoad()
{
    filename = SettingsFolder() + QStringLiteral("/ini");

    QFile file(filename);
    // Opening for writing as well creates the file on the first start. A file
    // that exists but may not be written (installed read-only) is still read.
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::ReadOnly))
        return false;

    bool first = true;
    for (QString *value : settingsValues()) {
        QByteArray line;
        bool tooLong = false;
        if (!readSettingsLine(file, line, tooLong)) {
            value->clear();
            continue;
        }
        if (first && line.startsWith("\xEF\xBB\xBF")) // byte-order mark of an edited file
            line.remove(0, 3);
        first = false;
        *value = tooLong ? QString() : decodeValue(line);
    }
    file.close();

    if (dir.isEmpty())
        dir = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0);
    return true;
}

void FileSave()
{
    // The new contents go to a temporary file that replaces the old one only
    // when complete, so a full disk keeps the previous settings. When no
    // temporary file can be made beside it, the file is written in place.
    QSaveFile file(filename);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return;

    QByteArray contents;
    for (const QString *value : settingsValues()) {
        // A line break inside a value would shift every following line; such a
        // value cannot be kept and is stored empty.
        if (!value->contains(QLatin1Char('\n')) && !value->contains(QLatin1Char('\r')))
            contents += value->toUtf8();
        contents += "\r\n";
    }
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}
