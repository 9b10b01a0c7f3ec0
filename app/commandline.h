#pragma once
#include <QList>
#include <QStringList>
#include <QUrl>

// The documents named on the command line, as a file manager's "Open With" passes them:
// paths (relative ones taken from the working folder) or file URLs. Arguments that
// start with "-" are options and are skipped, up to a "--" after which every argument
// names a document.
QList<QUrl> documentsFromArguments(const QStringList &arguments);
