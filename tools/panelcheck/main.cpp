#include "CheckDocument.h"
#include "CheckOnline.h"
#include "CheckPanels.h"
#include "CheckReport.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

// kvrcheck FILE.cpz|FILE.cpf [--online] [--json] [--timeout S]: lists per
// panel the controls that will not work and why. Exit codes: 0 clean, 1
// something will not work, 2 the file cannot be read (or a wrong command
// line).
int main(int argc, char *argv[])
{
    // The parameter tree the design tool offers carries icons, which need a
    // GUI application; the check never shows anything.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvrcheck"));
    // The readers' traces are for the program's developers; the clients'
    // socket errors and the images the widgets would not find are in the
    // report.
    QLoggingCategory::setFilterRules(
        QStringLiteral("*.debug=false\n*.info=false\nkvr.comm.warning=false\nkvr.widgets.warning=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists per panel the controls of a control-panel file or archive that will not work, and why."));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The control-panel archive (.cpz) or file (.cpf)."));
    const QCommandLineOption online(QStringLiteral("online"),
                                    QStringLiteral("Also go online to every device and ask it for every parameter."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Write the report as JSON."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Give the online check at most S seconds (default 10)."),
                                     QStringLiteral("S"), QStringLiteral("10"));
    parser.addOptions({online, json, timeout});
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "kvrcheck: " << parser.errorText() << "\nTry kvrcheck --help.\n";
        return 2;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    bool ok = false;
    const int seconds = parser.value(timeout).toInt(&ok);
    if (parser.positionalArguments().size() != 1 || !ok || seconds < 1 || seconds > 600) {
        err << "kvrcheck: give one file, and --timeout from 1 to 600 seconds.\nTry kvrcheck --help.\n";
        return 2;
    }

    const QString file = parser.positionalArguments().first();
    CheckReport report(file);
    CheckDocument document;
    if (!document.open(file)) {
        report.setUnreadable(document.error());
    } else {
        report.describe(&document);
        report.addFindings(CheckPanels(&document).run());
        if (parser.isSet(online)) {
            CheckOnline check(&document, seconds * 1000);
            report.addFindings(check.run());
            report.setOnline(check.devices());
        }
    }
    if (parser.isSet(json))
        out << report.json();
    else if (report.exitCode() == 2)
        err << report.text();
    else
        out << report.text();
    return report.exitCode();
}
