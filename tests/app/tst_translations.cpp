// The English catalogue translates every text of the program, and both
// catalogues are built beside the program, where it finds them.
#include "testpaths.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty (finished)
};

QVector<Message> readCatalogue(const QString &path, QString *error)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.append(message);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void englishCatalogueTranslatesEveryText()
    {
        QString lupdate = QStandardPaths::findExecutable(QStringLiteral("lupdate"));
        if (lupdate.isEmpty())
            lupdate = QStandardPaths::findExecutable(QStringLiteral("lupdate"), {QStringLiteral("/usr/lib/qt5/bin")});
        QVERIFY2(!lupdate.isEmpty(), "lupdate (qttools5-dev-tools) is needed");

        // Merge the texts of the sources into a copy of the catalogue: texts
        // the catalogue lacks come out unfinished.
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString copy = work.path() + QStringLiteral("/Ivra_Configuration_en_US.ts");
        QVERIFY(QFile::copy(ivraSourceDir() + QStringLiteral("/translations/Ivra_Configuration_en_US.ts"), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(lupdate, {QStringLiteral("-locations"), QStringLiteral("none"),
                                ivraSourceDir() + QStringLiteral("/src/app"),
                                ivraSourceDir() + QStringLiteral("/src/core"),
                                QStringLiteral("-ts"), copy});
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAll().constData());

        QString error;
        const QVector<Message> messages = readCatalogue(copy, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!messages.isEmpty());
        QStringList untranslated;
        for (const Message &m : messages) {
            if (m.type == QLatin1String("vanished") || m.type == QLatin1String("obsolete"))
                continue;
            if (m.type == QLatin1String("unfinished") || m.translation.isEmpty())
                untranslated << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(untranslated.isEmpty(),
                 qPrintable(QStringLiteral("not translated in Ivra_Configuration_en_US.ts:\n")
                            + untranslated.join(QLatin1Char('\n'))));
    }

    void cataloguesAreBuiltBesideTheProgram_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Russian") << "Ivra_Configuration_ru_RU.qm";
        QTest::newRow("English") << "Ivra_Configuration_en_US.qm";
    }

    void cataloguesAreBuiltBesideTheProgram()
    {
        QFETCH(QString, name);
        QTranslator translator;
        QVERIFY(translator.load(ivraBinDir() + QLatin1Char('/') + name));
        QVERIFY(!translator.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
