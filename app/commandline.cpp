#include "app/commandline.h"

#include <QFileInfo>

QList<QUrl> documentsFromArguments(const QStringList &arguments)
{
    QList<QUrl> documents;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith(QLatin1Char('-'))))
            continue;
        if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            documents << QUrl(argument);
        else
            documents << QUrl::fromLocalFile(QFileInfo(argument).absoluteFilePath());
    }
    return documents;
}
