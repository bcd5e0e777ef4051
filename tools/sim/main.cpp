// ivra-detector-sim: a gas detector on a pseudo-terminal.
//
// Prints the path of its serial line as the first line of its output and then
// answers on it as a detector of the chosen model and register layout would:
// the "ACTIV" wake-up, Modbus RTU functions 3, 4 and 16, the command
// registers, with live readings, optional byte pacing and fault injection.
// SIGUSR1 writes the register dump, SIGUSR2 toggles gas on the exposure
// channel, SIGTERM and SIGINT end it (writing the dump).
#include "detector.h"
#include "fault_plan.h"
#include "modbus_slave.h"
#include "pty_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sim;

namespace {

volatile sig_atomic_t g_dumpRequested = 0;
volatile sig_atomic_t g_exposureToggles = 0;
volatile sig_atomic_t g_stop = 0;

void onSignal(int sig)
{
    if (sig == SIGUSR1)
        g_dumpRequested = 1;
    else if (sig == SIGUSR2)
        g_exposureToggles = g_exposureToggles + 1;
    else
        g_stop = 1;
}

void installSignals()
{
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGUSR1, SIGUSR2, SIGTERM, SIGINT})
        sigaction(sig, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
}

qint64 wallMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The request and reply log: one line per event,
// "<UTC time with ms> <RX|TX|--> <hex bytes or note>".
class Log
{
public:
    bool open(const QString &path, QString *error)
    {
        if (path.isEmpty())
            return true;
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            *error = QStringLiteral("cannot write the log %1: %2").arg(path, m_file.errorString());
            return false;
        }
        return true;
    }
    void line(const char *tag, const QString &text)
    {
        if (!m_file.isOpen())
            return;
        const QString stamp = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        m_file.write(QStringLiteral("%1 %2 %3\n").arg(stamp, QLatin1String(tag), text).toUtf8());
        m_file.flush();
    }
    void rx(const QByteArray &b) { line("RX", hex(b)); }
    void tx(const QByteArray &b) { line("TX", hex(b)); }
    void note(const QString &n) { line("--", n); }

private:
    QFile m_file;
};

// The control channel: a named pipe that takes one command a line and
// raises conditions on demand while the detector runs (a test, or a trainer
// at a terminal with `echo "expose 1" > PATH`). The simulator holds a writing
// end of its own, so the pipe stays open between writers.
class Control
{
public:
    ~Control()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_keep >= 0)
            ::close(m_keep);
        if (!m_path.isEmpty())
            ::unlink(QFile::encodeName(m_path).constData());
    }
    bool open(const QString &path, QString *error)
    {
        if (path.isEmpty())
            return true;
        const QByteArray name = QFile::encodeName(path);
        struct stat st = {};
        if (::lstat(name.constData(), &st) == 0 && !S_ISFIFO(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a named pipe").arg(path);
            return false;
        }
        if (::mkfifo(name.constData(), 0600) != 0 && errno != EEXIST) {
            *error = QStringLiteral("cannot make the control pipe %1").arg(path);
            return false;
        }
        m_path = path;
        m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_keep = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0 || m_keep < 0) {
            *error = QStringLiteral("cannot open the control pipe %1").arg(path);
            return false;
        }
        return true;
    }
    int fd() const { return m_fd; }
    // Complete lines received so far.
    QStringList lines()
    {
        QStringList result;
        if (m_fd < 0)
            return result;
        char buffer[512];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            m_pending.append(buffer, int(n));
        }
        int end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
            m_pending.remove(0, end + 1);
            if (!line.isEmpty())
                result << line;
        }
        if (m_pending.size() > 4096)  // no line is that long: drop the rubbish
            m_pending.clear();
        return result;
    }

private:
    QString m_path;
    int m_fd = -1;
    int m_keep = -1;
    QByteArray m_pending;
};

// Applies one control command; returns what the detector did, or why not.
QString applyControl(Detector &d, const QString &command)
{
    const QStringList w = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = w.value(0).toLower();
    bool ok1 = false, ok2 = false;
    const auto channel = [&](const QString &text, bool *ok) {
        const int ch = text.toInt(ok);
        *ok = *ok && ch >= 0 && ch < d.channelCount();
        return ch;
    };
    if ((verb == "expose" || verb == "clear") && w.size() == 2) {
        const int ch = channel(w[1], &ok1);
        if (!ok1)
            return QStringLiteral("refused: no channel %1").arg(w[1]);
        d.setExposure(ch, verb == "expose");
        return QStringLiteral("channel %1 %2").arg(ch).arg(verb == "expose" ? "exposed to gas" : "back in clean air");
    }
    if (verb == "status" && w.size() == 3) {
        const int ch = channel(w[1], &ok1);
        const uint bits = w[2].toUInt(&ok2, 16);
        if (!ok1 || !ok2 || bits > 0xFFFF)
            return QStringLiteral("refused: status takes a channel and hexadecimal bits");
        d.setExtraChannelStatus(ch, quint16(bits));
        return QStringLiteral("channel %1 status bits %2 raised").arg(ch).arg(bits, 4, 16, QLatin1Char('0'));
    }
    if (verb == "device-status" && w.size() == 2) {
        const uint bits = w[1].toUInt(&ok1, 16);
        if (!ok1 || bits > 0xFFFF)
            return QStringLiteral("refused: device-status takes hexadecimal bits");
        d.setExtraDeviceStatus(quint16(bits));
        return QStringLiteral("device status bits %1 raised").arg(bits, 4, 16, QLatin1Char('0'));
    }
    if (verb == "battery" && w.size() == 2) {
        const double v = w[1].toDouble(&ok1);
        if (!ok1 || v < 0 || v > 100)
            return QStringLiteral("refused: battery takes a charge from 0 to 100 %");
        d.setBattery(v);
        return QStringLiteral("battery at %1 %").arg(v);
    }
    if (verb == "temperature" && w.size() == 2) {
        const double v = w[1].toDouble(&ok1);
        if (!ok1 || v < -60 || v > 100)
            return QStringLiteral("refused: temperature takes degrees from -60 to 100");
        d.setTemperature(v);
        return QStringLiteral("temperature at %1 C").arg(v);
    }
    return QStringLiteral("refused: unknown command (expose CH, clear CH, status CH HEX, "
                          "device-status HEX, battery PCT, temperature C)");
}

struct RefusedWrite
{
    quint8 page;
    quint16 reg;
    quint8 code;
};

struct Options
{
    DetectorConfig detector;
    FaultConfig faults;
    quint8 address = 255;
    int baud = 0;
    int replyDelayMs = 0;
    int frameGapMs = 4;
    int exposeChannel = 0;
    QVector<RefusedWrite> refusedWrites;
    QString logPath, dumpPath, linkPath, controlPath;
};

bool parseInt(const QCommandLineParser &p, const QString &name, int min, int max, int *out, QString *error)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok, 0);
    if (!ok || v < min || v > max) {
        *error = QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(min).arg(max);
        return false;
    }
    *out = v;
    return true;
}

bool parseProbability(const QCommandLineParser &p, const QString &name, double *out, QString *error)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok || v < 0 || v > 1) {
        *error = QStringLiteral("--%1 takes a probability from 0 to 1").arg(name);
        return false;
    }
    *out = v;
    return true;
}

bool parseOptions(const QCoreApplication &app, Options *o, QString *error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A simulated gas detector on a pseudo-terminal. Prints the serial line's path first.\n"
        "Signals: SIGUSR1 writes the register dump, SIGUSR2 toggles gas on the exposure\n"
        "channel, SIGTERM/SIGINT stop (writing the dump)."));
    p.addHelpOption();
    const QList<QCommandLineOption> options = {
        {"model", "Model code: 404, 405, 406, 411, 412, 420, 421, 430, or 999 (bootloader).", "code", "404"},
        {"layout", "Register layout: p0 (first protocol) or p1 (second protocol).", "p0|p1"},
        {"address", "Modbus address (1 to 255).", "n", "255"},
        {"firmware", "Firmware version x100 (e.g. 215 for 2.15).", "n"},
        {"seed", "Seed of the configuration, the live readings and the faults.", "n", "1"},
        {"steady", "Live readings hold still (no random wander)."},
        {"gas", "Hold channel CH at VALUE (in its base unit), e.g. 0=35.", "CH=VALUE"},
        {"expose", "Start with channel CH exposed to gas (past its alarm thresholds).", "CH"},
        {"expose-channel", "Channel that SIGUSR2 exposes or clears.", "CH", "0"},
        {"sensor", "Fit the sensor of GAS (a formula: CO, H2S, O2, CH4, NO2, SO2, NH3, Cl2, CO2, C4H8) "
                   "on channel CH, e.g. 2=H2S.", "CH=GAS"},
        {"refuse-write", "Refuse every write starting at register REG (hex) of page PAGE (hex digit, "
                         "A the device) with exception CODE (default 2), e.g. 2:0100 or A:0240:3.",
         "PAGE:REG[:CODE]"},
        {"control", "Make a named pipe at PATH that takes commands, one a line: expose CH, clear CH, "
                    "status CH HEX, device-status HEX, battery PCT, temperature C.", "path"},
        {"baud", "Pace the replies at this baud rate, 8N1 (0: as fast as possible).", "rate", "0"},
        {"reply-delay-ms", "Think time before every reply.", "ms", "0"},
        {"frame-gap-ms", "Silence that ends a received frame that is not a whole request.", "ms", "4"},
        {"drop-reply", "Probability of not answering a request.", "p"},
        {"corrupt-byte", "Probability of a corrupted byte in a reply.", "p"},
        {"split-reply", "Probability of a reply split by a silent gap.", "p"},
        {"split-gap-ms", "Gap inside a split reply.", "ms", "40"},
        {"late-reply", "Probability of a late reply.", "p"},
        {"late-ms", "Delay of a late reply.", "ms", "300"},
        {"exception-reply", "Probability of an exception reply instead of the answer.", "p"},
        {"exception-code", "Exception code of injected exception replies.", "n", "6"},
        {"stop-after", "Stop answering after N requests.", "N"},
        {"hangup-after", "Hang up the line at the request after the first N.", "N"},
        {"log", "Write every request and reply, in hex with timestamps, to FILE.", "file"},
        {"dump", "Write the register dump to FILE at exit and on SIGUSR1.", "file"},
        {"link", "Also make a symbolic link to the serial line at PATH.", "path"},
    };
    p.addOptions(options);
    p.process(app);
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument %1").arg(p.positionalArguments().first());
        return false;
    }

    DetectorConfig &d = o->detector;
    if (!parseInt(p, "model", 0, 9999, &d.model, error))
        return false;
    if (p.isSet("layout")) {
        const QString l = p.value("layout").toLower();
        if (l != "p0" && l != "p1") {
            *error = QStringLiteral("--layout takes p0 or p1");
            return false;
        }
        d.layout = l == "p0" ? Layout::P0 : Layout::P1;
    } else {
        d.layout = d.model == 411 ? Layout::P0 : Layout::P1;
    }
    int address = 255, seed = 1;
    if (!parseInt(p, "address", 1, 255, &address, error) || !parseInt(p, "seed", 0, 0x7FFFFFFF, &seed, error)
        || !parseInt(p, "firmware", 0, 65535, &d.firmware, error)
        || !parseInt(p, "baud", 0, 4000000, &o->baud, error)
        || !parseInt(p, "reply-delay-ms", 0, 60000, &o->replyDelayMs, error)
        || !parseInt(p, "frame-gap-ms", 1, 1000, &o->frameGapMs, error)
        || !parseInt(p, "expose-channel", 0, 9, &o->exposeChannel, error)
        || !parseInt(p, "split-gap-ms", 0, 60000, &o->faults.splitGapMs, error)
        || !parseInt(p, "late-ms", 0, 60000, &o->faults.lateMs, error)
        || !parseInt(p, "stop-after", 0, 0x7FFFFFFF, &o->faults.stopAfter, error)
        || !parseInt(p, "hangup-after", 0, 0x7FFFFFFF, &o->faults.hangupAfter, error))
        return false;
    int code = 6;
    if (!parseInt(p, "exception-code", 1, 255, &code, error))
        return false;
    o->faults.exceptionCode = quint8(code);
    o->address = quint8(address);
    d.seed = quint32(seed);
    o->faults.seed = quint32(seed);
    d.steady = p.isSet("steady");
    for (const QString &g : p.values("gas")) {
        const QStringList parts = g.split('=');
        bool okc = false, okv = false;
        const int ch = parts.value(0).toInt(&okc);
        const double v = parts.value(1).toDouble(&okv);
        if (parts.size() != 2 || !okc || !okv || v < 0) {
            *error = QStringLiteral("--gas takes CH=VALUE, e.g. 0=35");
            return false;
        }
        d.fixedGas.insert(ch, v);
    }
    for (const QString &e : p.values("expose")) {
        bool ok = false;
        const int ch = e.toInt(&ok);
        if (!ok) {
            *error = QStringLiteral("--expose takes a channel number");
            return false;
        }
        d.exposed.append(ch);
    }
    for (const QString &e : p.values("sensor")) {
        const QStringList parts = e.split('=');
        bool ok = false;
        const int ch = parts.value(0).toInt(&ok);
        if (parts.size() != 2 || !ok) {
            *error = QStringLiteral("--sensor takes CH=GAS, e.g. 2=H2S");
            return false;
        }
        d.sensors.insert(ch, parts.value(1));
    }
    for (const QString &e : p.values("refuse-write")) {
        const QStringList parts = e.split(':');
        bool okPage = false, okReg = false, okCode = true;
        const uint page = parts.value(0).toUInt(&okPage, 16);
        const uint reg = parts.value(1).toUInt(&okReg, 16);
        const uint code = parts.size() > 2 ? parts.value(2).toUInt(&okCode) : 2;
        if (parts.size() < 2 || parts.size() > 3 || !okPage || !okReg || !okCode || page > 0xA
            || reg > 0x0FFF || code < 1 || code > 255) {
            *error = QStringLiteral("--refuse-write takes PAGE:REG[:CODE], e.g. 2:0100 or A:0240:3");
            return false;
        }
        o->refusedWrites.append({quint8(page), quint16(reg), quint8(code)});
    }
    if (!parseProbability(p, "drop-reply", &o->faults.dropReply, error)
        || !parseProbability(p, "corrupt-byte", &o->faults.corruptByte, error)
        || !parseProbability(p, "split-reply", &o->faults.splitReply, error)
        || !parseProbability(p, "late-reply", &o->faults.lateReply, error)
        || !parseProbability(p, "exception-reply", &o->faults.exceptionReply, error))
        return false;
    o->logPath = p.value("log");
    o->dumpPath = p.value("dump");
    o->linkPath = p.value("link");
    o->controlPath = p.value("control");
    return Detector::validate(d, error);
}

// A Modbus request is complete as soon as its length and CRC say so, the way
// a detector's receiver sees the end of a frame one character time after its
// last byte; anything else (the wake-up words, broken frames) ends with the
// silence of --frame-gap-ms.
bool completeRequest(const QByteArray &frame, quint8 address)
{
    if (frame.size() < 8 || (quint8(frame.at(0)) != address && frame.at(0) != 0))
        return false;
    const quint8 function = quint8(frame.at(1));
    int expected = 0;
    if (function == 3 || function == 4)
        expected = 8;
    else if (function == 16)
        expected = 9 + quint8(frame.at(6));
    return expected == frame.size() && ModbusSlave::crcOk(frame);
}

// The register dump: a few "#" header lines, then "K P RRRR VVVV" per register.
// Written to a temporary file and renamed, so a reader never sees half a dump.
bool writeDump(const Options &o, const Detector &detector, int number, int requests, int answered,
               bool switchedOff)
{
    if (o.dumpPath.isEmpty())
        return true;
    QSaveFile file(o.dumpPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const Detector::Counters &c = detector.counters();
    QString text;
    QTextStream s(&text);
    s << "# ivra-detector-sim dump " << number << "\n";
    s << "# model " << detector.config().model << " layout p" << int(detector.config().layout)
      << " address " << o.address << " firmware " << detector.config().firmware << "\n";
    s << "# requests " << requests << " answered " << answered << " switched-off " << (switchedOff ? 1 : 0)
      << "\n";
    s << "# commits " << c.commits << " factory-stores " << c.factoryStores << " factory-restores "
      << c.factoryRestores << " program-exits " << c.programExits << " temperature-calibrations "
      << c.tempCalibrations << " ble-firmware-mode " << c.bleFirmwareMode << " switch-offs " << c.switchOffs
      << "\n";
    s.flush();
    text += detector.registers().dumpText();
    file.write(text.toUtf8());
    return file.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ivra-detector-sim"));

    Options o;
    QString error;
    if (!parseOptions(app, &o, &error)) {
        std::fprintf(stderr, "ivra-detector-sim: %s\n", qPrintable(error));
        return 2;
    }

    Log log;
    if (!log.open(o.logPath, &error)) {
        std::fprintf(stderr, "ivra-detector-sim: %s\n", qPrintable(error));
        return 1;
    }
    PtyLine line;
    if (!line.open(&error)) {
        std::fprintf(stderr, "ivra-detector-sim: %s\n", qPrintable(error));
        return 1;
    }
    if (!o.linkPath.isEmpty()) {
        const QFileInfo existing(o.linkPath);
        if (existing.isSymLink())
            QFile::remove(o.linkPath);
        else if (existing.exists()) {
            std::fprintf(stderr, "ivra-detector-sim: %s exists and is not a symbolic link\n",
                         qPrintable(o.linkPath));
            return 1;
        }
        if (!QFile::link(line.slavePath(), o.linkPath)) {
            std::fprintf(stderr, "ivra-detector-sim: cannot link %s\n", qPrintable(o.linkPath));
            return 1;
        }
    }
    Control control;
    if (!control.open(o.controlPath, &error)) {
        std::fprintf(stderr, "ivra-detector-sim: %s\n", qPrintable(error));
        return 1;
    }
    installSignals();

    Detector detector(o.detector, wallMs());
    ModbusSlave slave(detector, o.address);
    for (const RefusedWrite &r : o.refusedWrites)
        slave.refuseWrite(r.page, r.reg, r.code);
    FaultPlan faults(o.faults);

    // The line is announced only once the detector is ready to answer, so a
    // program that opens it at once is not kept waiting for its wake-up echo.
    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    log.note(QStringLiteral("detector model %1 layout p%2 address %3 firmware %4 seed %5 on %6")
                 .arg(o.detector.model).arg(int(o.detector.layout)).arg(o.address)
                 .arg(detector.config().firmware).arg(o.detector.seed).arg(line.slavePath()));

    int dumps = 0, requests = 0, answered = 0;
    bool switchedOff = false;
    int toggles = 0;
    QByteArray pending;
    qint64 firstByteUs = 0, lastByteUs = 0;

    while (!g_stop) {
        if (g_dumpRequested) {
            g_dumpRequested = 0;
            writeDump(o, detector, ++dumps, requests, answered, switchedOff);
        }
        while (toggles != g_exposureToggles) {
            ++toggles;
            detector.toggleExposure(o.exposeChannel);
            log.note(QStringLiteral("channel %1 %2").arg(o.exposeChannel)
                         .arg(detector.exposed(o.exposeChannel) ? "exposed to gas" : "back in clean air"));
        }
        for (const QString &command : control.lines())
            log.note(QStringLiteral("control: %1: %2").arg(command, applyControl(detector, command)));
        if (!line.isOpen()) {
            pollfd none{-1, 0, 0};
            poll(&none, 0, 100);
            continue;
        }

        int timeoutMs = 100;
        if (!pending.isEmpty()) {
            const qint64 left = lastByteUs + o.frameGapMs * 1000 - monotonicUs();
            timeoutMs = int(qBound<qint64>(0, (left + 999) / 1000, 100));
        }
        pollfd fds[2] = {{line.fd(), POLLIN, 0}, {control.fd(), POLLIN, 0}};
        const pollfd &p = fds[0];
        const int ready = poll(fds, control.fd() >= 0 ? 2 : 1, timeoutMs);
        if (ready > 0 && (fds[1].revents & POLLIN) && !(p.revents & POLLIN) && pending.isEmpty())
            continue;  // only a command: taken at the top of the loop
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (p.revents & POLLIN)) {
            const QByteArray bytes = line.readAvailable();
            if (!bytes.isEmpty()) {
                const qint64 now = monotonicUs();
                if (pending.isEmpty())
                    firstByteUs = now;
                pending += bytes;
                lastByteUs = now;
            }
            if (!completeRequest(pending, o.address))
                continue;
        } else if (pending.isEmpty() || monotonicUs() - lastByteUs < o.frameGapMs * 1000) {
            continue;
        }

        // A frame has ended with a silence.
        const QByteArray frame = pending;
        pending.clear();
        if (o.baud > 0) {
            // On a real line the request itself takes ten bits a byte to arrive.
            sleepUs(firstByteUs + qint64(frame.size()) * 10 * 1000000 / o.baud - monotonicUs());
        }
        log.rx(frame);
        if (switchedOff) {
            log.note(QStringLiteral("switched off: no answer"));
            continue;
        }
        const bool stopped = o.faults.stopAfter >= 0 && requests >= o.faults.stopAfter;
        const bool hangUp = o.faults.hangupAfter >= 0 && requests >= o.faults.hangupAfter;

        Outcome out = slave.handle(frame, wallMs());
        for (const QString &n : out.notes)
            log.note(n);
        if (out.kind == Outcome::Ignored || out.kind == Outcome::Deactiv)
            continue;
        if (hangUp && out.kind != Outcome::Activ) {
            // The request after the last answered one finds the line gone:
            // every earlier reply has been read by then.
            log.note(QStringLiteral("fault: line hung up after %1 requests").arg(requests));
            line.hangUp();
            break;
        }
        if (stopped) {
            log.note(QStringLiteral("fault: stopped answering after %1 requests").arg(o.faults.stopAfter));
            continue;
        }
        QByteArray reply = out.reply;
        FaultDecision fault;
        if (out.kind == Outcome::Answered || out.kind == Outcome::Unanswered) {
            ++requests;
            fault = faults.next(reply.size());
            if (out.kind == Outcome::Answered) {
                for (const QString &n : fault.describe(o.faults))
                    log.note(n);
                if (fault.exception)
                    reply = ModbusSlave::exceptionReply(o.address, out.function, o.faults.exceptionCode);
                if (fault.corrupt && !reply.isEmpty())
                    reply[fault.corruptIndex % reply.size()] =
                        char(quint8(reply.at(fault.corruptIndex % reply.size())) ^ fault.corruptMask);
            }
        }
        if (!reply.isEmpty() && !fault.drop) {
            qint64 delayMs = o.replyDelayMs + (fault.late ? o.faults.lateMs : 0);
            sleepUs(delayMs * 1000);
            bool ok;
            if (fault.split && fault.splitAt > 0 && fault.splitAt < reply.size()) {
                ok = line.write(reply.left(fault.splitAt), o.baud);
                sleepUs(qint64(o.faults.splitGapMs) * 1000);
                ok = line.write(reply.mid(fault.splitAt), o.baud) && ok;
            } else {
                ok = line.write(reply, o.baud);
            }
            log.tx(reply);
            if (!ok)
                log.note(QStringLiteral("the line did not take the reply (nobody reading)"));
            if (out.kind == Outcome::Answered)
                ++answered;
        }
        if (out.switchOff) {
            switchedOff = true;
            log.note(QStringLiteral("detector switched off: no more answers"));
        }
    }

    writeDump(o, detector, ++dumps, requests, answered, switchedOff);
    log.note(QStringLiteral("simulator stopped"));
    if (!o.linkPath.isEmpty())
        QFile::remove(o.linkPath);
    return 0;
}
