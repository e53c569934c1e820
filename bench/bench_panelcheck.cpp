// Checks the large control-panel archive of bench_panelopen (60 panels,
// 2,400 controls bound to 40 devices) the way kvrcheck does, and times the
// whole check (extracting, reading the design and the panel file, every
// finding) over several runs; then the same as a user runs it, the built
// kvrcheck from start to exit.

#include "BenchLargeArchive.h"
#include "CheckDocument.h"
#include "CheckPanels.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {
constexpr int Runs = 7;

QString figures(QList<qint64> times)
{
    std::sort(times.begin(), times.end());
    return QStringLiteral("median %1 ms, min %2 ms, max %3 ms over %4 runs")
        .arg(times.at(times.size() / 2))
        .arg(times.first())
        .arg(times.last())
        .arg(times.size());
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString cpz = bench::writeLargeArchive(dir.path());
    if (cpz.isEmpty()) {
        QTextStream(stderr) << "cannot write the test archive\n";
        return 1;
    }
    QTextStream out(stdout);
    QList<qint64> times, opens, checks;
    qsizetype findings = -1;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            CheckDocument document;
            if (!document.open(cpz)) {
                QTextStream(stderr) << "cannot open the archive: " << document.error() << '\n';
                return 1;
            }
            opens << timer.elapsed();
            findings = CheckPanels(&document).run().size();
            checks << timer.elapsed() - opens.last();
        }
        times << timer.elapsed();
    }
    out << "panel check of " << bench::Panels << " panels, " << bench::Panels * bench::ControlsPerPanel
        << " controls, " << bench::Devices << " devices, in-process: " << figures(times) << " (" << findings
        << " findings)\n"
        << "  of which opening (extract, design, panel file, parameters): " << figures(opens) << "\n"
        << "  and the findings: " << figures(checks) << "\n";

    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../kvrcheck");
    if (!QFileInfo(tool).isExecutable())
        return 0;
    times.clear();
    int exitCode = -1;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess check;
        check.start(tool, {cpz});
        // 0 or 1: the archive was read and checked.
        if (!check.waitForFinished(60000) || check.exitStatus() != QProcess::NormalExit || check.exitCode() > 1) {
            QTextStream(stderr) << "kvrcheck could not check the archive\n";
            return 1;
        }
        exitCode = check.exitCode();
        times << timer.elapsed();
    }
    out << "kvrcheck, start to exit: " << figures(times) << " (exit code " << exitCode << ")\n";
    return 0;
}
