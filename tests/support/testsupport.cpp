#include "tests/support/testsupport.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QTest>

namespace testsupport {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray readRtfFixture(const QString &name)
{
    const QString path = QStringLiteral(WP_TEST_DATA "/rtf/") + name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QTest::qFail(qPrintable(QStringLiteral("missing fixture %1").arg(path)), __FILE__, __LINE__);
    return file.readAll();
}

void useTwelvePointApplicationFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSize(12);
    QGuiApplication::setFont(font);
}

}  // namespace testsupport
