// Live readings end to end against the simulated detector: alarms, sensor
// and device faults, battery and temperature raised on the detector appear on
// the first tab within one "Авто" tick.
#include "modal_answerer.h"
#include "sim_traffic.h"
#include "sim_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>

namespace {

// Refreshes started since log entry `from`: each begins with the liveness read.
int refreshesSince(const SimProcess &sim, int from)
{
    return describe(simRequests(sim.log(), from)).count(QStringLiteral("R4(A, 0010, 1)"));
}

} // namespace

class TestE2eLive : public QObject
{
    Q_OBJECT

private slots:
    void conditionsShowWithinOneTick_data();
    void conditionsShowWithinOneTick();
};

void TestE2eLive::conditionsShowWithinOneTick_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("layout");
    QTest::newRow("M4 405 p0") << 405 << "p0";
    QTest::newRow("M4 404 p1") << 404 << "p1";
}

void TestE2eLive::conditionsShowWithinOneTick()
{
    QFETCH(int, model);
    QFETCH(QString, layout);

    SimWindow w;
    SimControl control(w.sim);
    QVERIFY2(w.connect(QStringList{"--model", QString::number(model), "--layout", layout, "--steady"}
                           + control.options(),
                       quint16(model), "User"),
             qPrintable(w.error));
    auto *codes = w.child<QPlainTextEdit>("plainTextEditStateSystem");
    auto *charge = w.child<QProgressBar>("progressBarCharge");
    auto *volts = w.child<QDoubleSpinBox>("doubleSpinBoxChargeVolt");
    auto *temperature = w.child<QDoubleSpinBox>("doubleSpinBoxTemp");
    QVERIFY(codes && charge && volts && temperature);
    QCOMPARE(codes->toPlainText(), QString());  // clean air, a healthy detector

    w.child<QCheckBox>("checkBoxAutoupdate")->setChecked(true);
    QVERIFY(w.window->RefreshTimer()->isActive());

    // Each condition is raised on the detector while "Авто" polls; the tab
    // shows it after at most one refresh that started after it was raised.
    struct Step
    {
        const char *command;
        std::function<bool()> shown;
        const char *what;
    };
    const QVector<Step> steps = {
        {"expose 1", [&] { return codes->toPlainText() == QStringLiteral("A10, A11"); },
         "hydrogen sulphide past thresholds 1 and 2 on channel 1"},
        {"status 2 40", [&] { return codes->toPlainText() == QStringLiteral("A10, A11, E26"); },
         "sensor fault on channel 2"},
        {"device-status 18", [&] { return codes->toPlainText().endsWith("FA3, FA4"); },
         "memory and measurement chip faults"},
        {"battery 37", [&] { return charge->value() == 37 && qAbs(volts->value() - 3.70) < 0.005; },
         "battery at 37 % (3696 mV)"},
        {"temperature 31.5", [&] { return qAbs(temperature->value() - 31.5) < 0.01; }, "31.5 °C"},
        {"clear 1", [&] { return !codes->toPlainText().contains(QStringLiteral("A1")); }, "channel 1 clean again"},
    };
    for (const Step &step : steps) {
        QVERIFY2(control.send(step.command), qPrintable(control.lastAnswer()));
        const int from = w.sim.log().size();
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY2_WITH_TIMEOUT(step.shown(), step.what, 4000);
        QVERIFY2(refreshesSince(w.sim, from) <= 1,
                 qPrintable(QStringLiteral("%1: %2 refreshes, %3 ms")
                                .arg(step.what)
                                .arg(refreshesSince(w.sim, from))
                                .arg(clock.elapsed())));
    }
    QCOMPARE(w.status(), QStringLiteral("Успешная передача данных"));
}

QTEST_MAIN(TestE2eLive)
#include "tst_e2e_live.moc"
