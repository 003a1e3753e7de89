// voltaris-data: builds the program's binary data files from their UTF-8 text sources and dumps
// them back, at build time and for whoever edits a language or the power-type table.

#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/errors.h"
#include "settings/loadsource.h"
#include "settings/powertypes.h"
#include "settings/textsources.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

void writeToStdout(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void run(const QString& command, const QStringList& files)
{
    const auto needFiles = [&](qsizetype count, const char* usage) {
        if (files.size() != count)
            throw VoltarisError(
                QStringLiteral("usage: voltaris-data %1").arg(QLatin1String(usage)));
    };
    if (command == u"lang-build") {
        needFiles(2, "lang-build SRC.txt OUT");
        const QStringList texts = parseLanguageSource(readWholeFile(files[0]), files[0]);
        writeFileAtomically(files[1], writeLanguageTexts(texts));
    } else if (command == u"lang-dump") {
        needFiles(1, "lang-dump BIN");
        writeToStdout(formatLanguageSource(readLanguageTexts(readWholeFile(files[0]), files[0])));
    } else if (command == u"powertype-build") {
        needFiles(2, "powertype-build SRC.txt OUT");
        const QList<TPowerType> types = parsePowerTypeSource(readWholeFile(files[0]), files[0]);
        writeFileAtomically(files[1], writePowerTypes(types));
    } else if (command == u"powertype-dump") {
        needFiles(1, "powertype-dump BIN");
        writeToStdout(formatPowerTypeSource(loadPowerTypes(files[0])));
    } else {
        throw VoltarisError(QStringLiteral("unknown command \"%1\"").arg(command));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voltaris-data"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Builds and dumps the binary data files of Voltaris.\n\n"
        "Commands:\n"
        "  lang-build SRC.txt OUT       language text source to language text file\n"
        "  lang-dump BIN                language text file to its text source, on stdout\n"
        "  powertype-build SRC.txt OUT  power-type source to PowerType.dat\n"
        "  powertype-dump BIN           PowerType.dat to its text source, on stdout"));
    parser.addHelpOption();
    const QCommandLineOption codePage(
        QStringLiteral("codepage"),
        QStringLiteral("ANSI code page of the binary files (default windows-1252)."),
        QStringLiteral("NAME"), QStringLiteral("windows-1252"));
    parser.addOption(codePage);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Its files."),
                                 QStringLiteral("FILE..."));
    parser.process(app);

    QStringList arguments = parser.positionalArguments();
    QTextStream err(stderr);
    if (arguments.isEmpty()) {
        err << "voltaris-data: a command is needed; see --help\n";
        return 1;
    }
    const QString command = arguments.takeFirst();
    try {
        Ansi::setCodePage(parser.value(codePage));
        run(command, arguments);
    } catch (const VoltarisError& error) {
        err << "voltaris-data: " << error.message() << '\n';
        return 1;
    }
    return 0;
}
