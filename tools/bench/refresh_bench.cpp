// Time of one refresh of tab 0 ("Считать параметры" on the measurement tab)
// and of one "Авто" tick, through the main window against the detector
// simulator pacing its bytes at 115200 baud. Each figure stands beside the
// 1000 ms period of "Авто" and beside the wire-time lower bound of the same
// requests: every request once, its reply, and the 5-byte pre-send where the
// model gets one, at ten bits a byte. The refresh's own 100 ms pause is shown
// apart.
//
//   ivra-refresh-bench [refreshes-per-case, default 5]
#include "mainwindow.h"

#include "command.h"
#include "globals.h"
#include "iofile.h"
#include "menu_connect.h"
#include "sim_process.h"
#include "wire_requests.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kBaud = 115200;
constexpr double kRefreshPauseMs = 100.0;
constexpr double kPeriodMs = 1000.0;

struct Case
{
    int code;
    int layout;
};

struct Figures
{
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
    int transactions = 0;   // distinct requests of one refresh
    int bytes = 0;          // bytes on the line for them, once each
    double probeMs = 0;     // time spent in the layout probe
    bool ok = true;
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

// Line bytes of the requests from `from` (one refresh), each request once.
void lineFigures(const QVector<WireRequest> &sent, int from, int code, Figures &f)
{
    const int preSend = code == 404 ? 0 : 5;
    f.transactions = 0;
    f.bytes = 0;
    f.probeMs = 0;
    for (int i = from; i < sent.size(); ++i) {
        const WireRequest &r = sent.at(i);
        ++f.transactions;
        f.bytes += preSend + r.requestBytes + r.replyBytes;
        if (r == T(4, 0xA, 0x0999, 1) && i + 1 < sent.size())
            f.probeMs = r.time.msecsTo(sent.at(i + 1).time);
    }
}

// Runs `refresh` `count` times and measures each; the line figures are
// those of the last one.
template <typename F>
Figures measure(SimProcess &sim, int code, int count, F refresh)
{
    Figures f;
    QVector<double> times;
    int mark = 0;
    for (int i = 0; i < count; ++i) {
        mark = wireRequests(sim.log()).size();
        QElapsedTimer t;
        t.start();
        refresh();
        times << t.nsecsElapsed() / 1e6;
        if (MainWindow_ptr->statusBar()->currentMessage() != QStringLiteral("Успешная передача данных"))
            f.ok = false;
    }
    f.medianMs = median(times);
    f.minMs = *std::min_element(times.begin(), times.end());
    f.maxMs = *std::max_element(times.begin(), times.end());
    lineFigures(wireRequests(sim.log()), mark, code, f);
    return f;
}

QString row(const QString &name, const Figures &f)
{
    const double boundMs = f.bytes * 10.0 * 1000.0 / kBaud;
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9%10\n")
        .arg(name, -26)
        .arg(f.transactions, 4)
        .arg(f.bytes, 6)
        .arg(boundMs, 8, 'f', 1)
        .arg(f.medianMs, 8, 'f', 1)
        .arg(QStringLiteral("%1-%2").arg(f.minMs, 0, 'f', 0).arg(f.maxMs, 0, 'f', 0), 11)
        .arg(f.medianMs / boundMs, 6, 'f', 1)
        .arg((f.medianMs - kRefreshPauseMs) / boundMs, 6, 'f', 1)
        .arg(f.medianMs / kPeriodMs, 6, 'f', 2)
        .arg(f.ok ? QString() : QStringLiteral("  (refresh failed)"));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTextStream out(stdout);

    QTemporaryDir folder;
    SetSettingsFolder(folder.path());

    out << "ivra-refresh-bench: " << count << " refreshes per case, simulator paced at " << kBaud
        << " baud, tab 0, administrator\n";
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ", " << QSysInfo::prettyProductName() << ", "
        << QSysInfo::currentCpuArchitecture() << "\n\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
               .arg("case", -26)
               .arg("tx", 4)
               .arg("bytes", 6)
               .arg("wire ms", 8)
               .arg("ms", 8)
               .arg("min-max", 11)
               .arg("ratio", 6)
               .arg("-pause", 6)
               .arg("period", 6);
    out.flush();

    const Case cases[] = {{404, 0}, {404, 1}, {405, 0}, {405, 1}};
    int status = 0;
    QStringList notes;
    for (const Case &c : cases) {
        SimProcess sim;
        if (!sim.start({QStringLiteral("--model"), QString::number(c.code), QStringLiteral("--layout"),
                        QStringLiteral("p%1").arg(c.layout), QStringLiteral("--baud"), QString::number(kBaud),
                        QStringLiteral("--steady")})) {
            std::fprintf(stderr, "%s\n", qPrintable(sim.errorString()));
            return 1;
        }
        auto cmd = std::make_unique<Command>();
        Command::setInstance(cmd.get());
        auto window = std::make_unique<MainWindow>();
        MainWindow_ptr = window.get();
        window->show();

        MenuConnect how;
        how.account = QStringLiteral("Admin");
        how.password = QStringLiteral("9150");
        how.port = sim.portPath();
        connectThroughMenu(window.get(), how);
        if (cmd->device_code != c.code || cmd->protocol_version != c.layout) {
            std::fprintf(stderr, "connection to %d p%d failed\n", c.code, c.layout);
            return 1;
        }
        const QString name = QStringLiteral("%1 p%2").arg(c.code).arg(c.layout);

        // A manual refresh of tab 0: "Авто" off, parameter blocks included.
        const Figures manual = measure(sim, c.code, count, [&window] { window->Update_Param(0); });
        out << row(name + QStringLiteral(" refresh"), manual);

        // An "Авто" tick: the timer's handler with the box checked. The
        // event loop is not entered meanwhile, so the timer itself does not
        // run a tick of its own.
        auto *autoBox = window->findChild<QCheckBox *>(QStringLiteral("checkBoxAutoupdate"));
        autoBox->setChecked(true);
        const Figures tick = measure(sim, c.code, count, [&window] { window->Timer(); });
        out << row(name + QStringLiteral(" Авто tick"), tick);

        // The period the poll really keeps: ticks started while the event
        // loop runs for a few seconds. The timer is started afresh, so that
        // the ticks it owed during the measurement above do not count.
        autoBox->setChecked(false);
        autoBox->setChecked(true);
        const int mark = wireRequests(sim.log()).size();
        QElapsedTimer loop;
        loop.start();
        while (loop.elapsed() < 4500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        autoBox->setChecked(false);
        const QVector<WireRequest> sent = wireRequests(sim.log());
        QVector<QDateTime> starts;
        for (int i = mark; i < sent.size(); ++i)
            if (sent.at(i) == T(4, 0xA, 0x0010, 1))
                starts << sent.at(i).time;
        QVector<double> gaps;
        for (int i = 1; i < starts.size(); ++i)
            gaps << double(starts.at(i - 1).msecsTo(starts.at(i)));
        notes << QStringLiteral("%1: %2 ticks in 4.5 s, median %3 ms apart; layout probe %4 ms of a refresh")
                     .arg(name).arg(starts.size()).arg(median(gaps), 0, 'f', 0).arg(manual.probeMs, 0, 'f', 0);

        if (!manual.ok || !tick.ok)
            status = 1;
        window.reset();
        MainWindow_ptr = nullptr;
        Command::setInstance(nullptr);
        cmd.reset();
        sim.stop();
        out.flush();
    }
    out << "\n";
    for (const QString &n : notes)
        out << n << "\n";
    SetSettingsFolder(QString());
    return status;
}
