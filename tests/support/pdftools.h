#pragma once
// Reading printed PDF files back with poppler's command-line tools (pdfinfo, pdftotext),
// so that tests check what a reader of the file sees.
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace pdftools {

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString infoField(const QString &file, const QString &field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("pdfinfo"), {file})).captured(1).trimmed();
}

inline int pageCount(const QString &file)
{
    return infoField(file, QStringLiteral("Pages")).toInt();
}

// Page size in points ("612 x 792 pts (letter)").
inline QSizeF pageSize(const QString &file)
{
    const QStringList parts = infoField(file, QStringLiteral("Page size")).split(QLatin1Char(' '));
    return parts.size() >= 3 ? QSizeF(parts[0].toDouble(), parts[2].toDouble()) : QSizeF();
}

inline QString pageText(const QString &file, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                QStringLiteral("-layout"), file, QStringLiteral("-")});
}

// The left and top edge, in points, of the first word on a page that equals `word`; a
// null point when there is none.
inline QPointF wordPosition(const QString &file, int page, const QString &word)
{
    const QString html = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                              QString::number(page), QStringLiteral("-bbox"), file, QStringLiteral("-")});
    const QRegularExpression entry(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>%1</word>").arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch match = entry.match(html);
    return match.hasMatch() ? QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QPointF();
}

}  // namespace pdftools
