// The application settings file "ini": eight positional lines, CR LF, UTF-8.
#include "globals.h"
#include "iofile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList currentValues()
{
    return {dir, dir_firmware, file_config_in, file_config_out,
            file_archive_in, file_archive_out, file_firmware_in, LanguageTrans};
}

void setValues(const QStringList &values)
{
    QString *targets[] = {&dir, &dir_firmware, &file_config_in, &file_config_out,
                          &file_archive_in, &file_archive_out, &file_firmware_in, &LanguageTrans};
    for (int i = 0; i < 8; ++i)
        *targets[i] = values.value(i);
}

QString desktop()
{
    return QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    QTemporaryDir folder;
    QString iniPath() const { return folder.path() + QStringLiteral("/ini"); }

private slots:
    void init()
    {
        QVERIFY(folder.isValid());
        QFile::remove(iniPath());
        SetSettingsFolder(folder.path());
        setValues({});
    }

    void cleanupTestCase() { SetSettingsFolder(QString()); }

    void savesEightCrLfLinesAndReadsThemBack()
    {
        const QStringList values = {
            QStringLiteral("/home/техник/Рабочий стол"), QStringLiteral("/opt/прошивки"),
            QStringLiteral("/home/a/conf in.txt"), QStringLiteral("/home/a/conf_out.txt"),
            QStringLiteral("/home/a/log/405_12.txt"), QStringLiteral("/home/a/report.xlsx"),
            QStringLiteral("/home/a/fw.hex"), QStringLiteral("Ivra_Configuration_en_US.")};
        QVERIFY(FileLoad()); // creates the file and sets its path
        setValues(values);
        FileSave();

        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), (values.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        file.close();

        setValues({QStringLiteral("stale")});
        QVERIFY(FileLoad());
        QCOMPARE(currentValues(), values);
    }

    void missingFileIsCreatedEmpty()
    {
        LanguageTrans = QStringLiteral("left over");
        QVERIFY(FileLoad());
        QCOMPARE(filename, iniPath());
        QVERIFY(QFile::exists(iniPath()));
        QCOMPARE(QFileInfo(iniPath()).size(), qint64(0));
        QStringList expected{QString(), "", "", "", "", "", "", ""};
        expected[0] = desktop();
        QCOMPARE(currentValues(), expected);
    }

    void readsWhatCanBeRead_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("expected"); // "<desktop>" stands for the desktop folder

        const QStringList eight = {"/d", "/fw", "/cin", "/cout", "/ain", "/aout", "/fwin",
                                   "Ivra_Configuration_en_US."};
        QTest::newRow("LF line ends")
            << QByteArray("/d\n/fw\n/cin\n/cout\n/ain\n/aout\n/fwin\nIvra_Configuration_en_US.\n")
            << eight;
        QTest::newRow("no line end after the last line")
            << QByteArray("/d\r\n/fw\r\n/cin\r\n/cout\r\n/ain\r\n/aout\r\n/fwin\r\nIvra_Configuration_en_US.")
            << eight;
        QTest::newRow("lines beyond the eighth are ignored")
            << QByteArray("/d\r\n/fw\r\n/cin\r\n/cout\r\n/ain\r\n/aout\r\n/fwin\r\nIvra_Configuration_en_US.\r\n"
                          "extra 1\r\nextra 2\r\n")
            << eight;
        QTest::newRow("short file: missing lines are empty")
            << QByteArray("/d\r\n/fw\r\n")
            << QStringList{"/d", "/fw", "", "", "", "", "", ""};
        QTest::newRow("line 8 deleted")
            << QByteArray("/d\r\n/fw\r\n/cin\r\n/cout\r\n/ain\r\n/aout\r\n/fwin\r\n")
            << QStringList{"/d", "/fw", "/cin", "/cout", "/ain", "/aout", "/fwin", ""};
        QTest::newRow("surrounding white space is dropped")
            << QByteArray("  /d  \r\n\t/fw\r\n")
            << QStringList{"/d", "/fw", "", "", "", "", "", ""};
        QTest::newRow("empty first line gives the desktop")
            << QByteArray("\r\n/fw\r\n")
            << QStringList{"<desktop>", "/fw", "", "", "", "", "", ""};
        QTest::newRow("byte-order mark of an editor")
            << QByteArray("\xEF\xBB\xBF/d\r\n/fw\r\n")
            << QStringList{"/d", "/fw", "", "", "", "", "", ""};
        QTest::newRow("Windows-1251 line is not taken")
            << QByteArray("C:\\\xCF\xF0\xE8\xE1\xEE\xF0\r\n/fw\r\n")
            << QStringList{"<desktop>", "/fw", "", "", "", "", "", ""};
        QTest::newRow("over-long line keeps the following lines in place")
            << (QByteArray(1 << 20, 'x') + "\r\n/fw\r\n/cin\r\n")
            << QStringList{"<desktop>", "/fw", "/cin", "", "", "", "", ""};

        QByteArray binary;
        for (int round = 0; round < 4; ++round)
            for (int b = 0; b < 256; ++b)
                binary += char(b);
        QTest::newRow("binary file")
            << binary << QStringList{"<desktop>", "", "", "", "", "", "", ""};
        QTest::newRow("NUL bytes inside a line")
            << QByteArray("/d\0evil\r\n/fw\r\n", 13)
            << QStringList{"<desktop>", "/fw", "", "", "", "", "", ""};
    }

    void readsWhatCanBeRead()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, expected);
        {
            QFile file(iniPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(contents), qint64(contents.size()));
        }
        setValues({QStringLiteral("stale"), QStringLiteral("stale")});
        QVERIFY(FileLoad());
        expected.replaceInStrings(QStringLiteral("<desktop>"), desktop());
        QCOMPARE(currentValues(), expected);
    }

    void valueWithLineBreakDoesNotShiftTheOthers()
    {
        QVERIFY(FileLoad());
        setValues({"/d", "/fw", "/c\r\nin", "/cout", "/ain", "/aout", "/fw\nin",
                   "Ivra_Configuration_en_US."});
        FileSave();
        setValues({});
        QVERIFY(FileLoad());
        QCOMPARE(currentValues(), (QStringList{"/d", "/fw", "", "/cout", "/ain", "/aout", "",
                                               "Ivra_Configuration_en_US."}));
    }

    void unopenableFileLeavesValuesAndSavingIsHarmless_data()
    {
        QTest::addColumn<bool>("iniIsFolder");
        QTest::newRow("ini is a folder") << true;
        QTest::newRow("settings folder does not exist") << false;
    }

    void unopenableFileLeavesValuesAndSavingIsHarmless()
    {
        QFETCH(bool, iniIsFolder);
        if (iniIsFolder) {
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ini")));
        } else {
            SetSettingsFolder(folder.path() + QStringLiteral("/missing"));
        }
        const QStringList before = {"/d", "/fw", "/cin", "/cout", "/ain", "/aout", "/fwin",
                                    "Ivra_Configuration_en_US."};
        setValues(before);
        QVERIFY(!FileLoad());
        QCOMPARE(currentValues(), before);

        FileSave(); // must neither crash nor replace the folder
        if (iniIsFolder) {
            QVERIFY(QFileInfo(iniPath()).isDir());
            QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("ini")));
        } else {
            QVERIFY(!QFileInfo::exists(folder.path() + QStringLiteral("/missing")));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
