#include "PdfReadBack.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace PdfReadBack {

namespace {

// The output of a poppler tool and whether it succeeded; its error text when not.
struct ToolRun {
    bool ok = false;
    QByteArray output;
    QByteArray errors;
};

#ifdef Q_OS_WIN
// The Windows build's tests run under Wine, where poppler's tools are the host's Linux
// programs. Wine starts a host program with neither a process to wait for nor pipes to its
// output, so a host shell runs the tool with its output, errors and exit status in files of
// a scratch folder, the status written last; a file's Windows path is handed over as the
// host's path through the drive links of the Wine prefix.
QString HostPath(const QString& path)
{
    static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):[/\\\\]"));
    const QRegularExpressionMatch match = drive.match(path);
    if (!match.hasMatch())
        return path;
    return qEnvironmentVariable("WINEPREFIX") + QStringLiteral("/dosdevices/") + match.captured(1).toLower()
           + QStringLiteral(":/") + QDir::fromNativeSeparators(path.mid(3));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ToolRun Start(const QString& program, const QStringList& arguments)
{
    const QTemporaryDir exchange;
    QStringList shell{QStringLiteral("-c"),
                      QStringLiteral("d=$1; shift; \"$@\" >\"$d/out\" 2>\"$d/err\"; echo $? >\"$d/status.new\"; "
                                     "mv \"$d/status.new\" \"$d/status\""),
                      QStringLiteral("sh"), HostPath(exchange.path()), QStringLiteral("/usr/bin/") + program};
    for (const QString& argument : arguments)
        shell.append(HostPath(argument));
    if (!QProcess::startDetached(QStringLiteral("Z:\\bin\\sh"), shell))
        return {false, {}, "the host shell did not start"};
    QDeadlineTimer deadline(60000);
    while (!QFileInfo::exists(exchange.filePath("status")) && !deadline.hasExpired())
        QThread::msleep(20);
    return {FileBytes(exchange.filePath("status")).trimmed() == "0", FileBytes(exchange.filePath("out")),
            FileBytes(exchange.filePath("err"))};
}
#else
ToolRun Start(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    return {ok, process.readAllStandardOutput(), process.readAllStandardError()};
}
#endif

QByteArray Run(const QString& program, const QStringList& arguments)
{
    const ToolRun run = Start(program, arguments);
    if (!run.ok) {
        qWarning("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(' ')), run.errors.constData());
        return {};
    }
    return run.output;
}

QString Unescaped(const QString& html)
{
    return QString(html).replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
}

// The rows of a poppler table, after its header and dashed separator line.
QList<QStringList> TableRows(const QByteArray& output)
{
    QList<QStringList> rows;
    bool body = false;
    for (const QByteArray& line : output.split('\n')) {
        if (body && !line.trimmed().isEmpty())
            rows.append(QString::fromUtf8(line).split(' ', Qt::SkipEmptyParts));
        body = body || line.startsWith("---");
    }
    return rows;
}

} // namespace

QString text(const QString& pdf)
{
    return QString::fromUtf8(Run("pdftotext", {"-enc", "UTF-8", pdf, "-"}));
}

QString complaints(const QString& pdf)
{
    return QString::fromUtf8(Start("pdftotext", {"-enc", "UTF-8", pdf, "-"}).errors).trimmed();
}

QList<Word> words(const QString& pdf)
{
    const QString html = QString::fromUtf8(Run("pdftotext", {"-enc", "UTF-8", "-bbox", pdf, "-"}));
    static const QRegularExpression pattern(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<Word> found;
    int page = 0;
    for (auto match = pattern.globalMatch(html); match.hasNext();) {
        const QRegularExpressionMatch word = match.next();
        if (word.captured(0) == "<page ") {
            ++page;
            continue;
        }
        const QPointF topLeft(word.captured(1).toDouble(), word.captured(2).toDouble());
        const QPointF bottomRight(word.captured(3).toDouble(), word.captured(4).toDouble());
        found.append({Unescaped(word.captured(5)), QRectF(topLeft, bottomRight), page});
    }
    return found;
}

QMap<QString, QString> info(const QString& pdf)
{
    QMap<QString, QString> entries;
    for (const QByteArray& line : Run("pdfinfo", {pdf}).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            entries.insert(QString::fromUtf8(line.left(colon)), QString::fromUtf8(line.mid(colon + 1)).trimmed());
    }
    return entries;
}

QList<FontEntry> fonts(const QString& pdf)
{
    QList<FontEntry> entries;
    // name, type (one or two words), encoding, emb, sub, uni, object, generation
    for (const QStringList& row : TableRows(Run("pdffonts", {pdf}))) {
        if (row.size() >= 8)
            entries.append({row.first(), row.mid(1, row.size() - 7).join(' '), row.at(row.size() - 6),
                            row.at(row.size() - 5) == "yes"});
    }
    return entries;
}

QList<ImageEntry> images(const QString& pdf)
{
    QList<ImageEntry> entries;
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QStringList& row : TableRows(Run("pdfimages", {"-list", pdf}))) {
        if (row.size() >= 12)
            entries.append({row.at(0).toInt(), row.at(10).toInt(), row.at(3).toInt(), row.at(4).toInt()});
    }
    return entries;
}

QImage render(const QString& pdf, int page)
{
    const QTemporaryDir folder;
    const QString prefix = folder.filePath("page");
    Run("pdftoppm", {"-png", "-r", "72", "-f", QString::number(page), "-l", QString::number(page), "-singlefile",
                     pdf, prefix});
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

QList<Word> find(const QList<Word>& words, const QString& text)
{
    QList<Word> found;
    for (const Word& word : words) {
        if (word.text == text)
            found.append(word);
    }
    return found;
}

QRectF extent(const QList<Word>& words)
{
    QRectF united;
    for (const Word& word : words)
        united = united.isNull() ? word.box : united.united(word.box);
    return united;
}

} // namespace PdfReadBack
