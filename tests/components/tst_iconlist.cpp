#include "components/IcoList.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

QImage filled(int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

std::unique_ptr<TIcon> iconOf(const QColor &colour, int size = 16)
{
    auto icon = std::make_unique<TIcon>();
    icon->SetImages({filled(size, colour)});
    return icon;
}

QColor colourOf(const TIcon *icon)
{
    return icon->Handle().pixmap(16, 16).toImage().pixelColor(8, 8);
}

QByteArray int32(qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray written(const TIconList &list)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    list.WriteData(buffer);
    return buffer.data();
}

void readInto(TIconList &list, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    list.ReadData(buffer);
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &e) {
        return e.message();
    }
    return {};
}

// A list of red, green and blue icons, counting its change reports.
struct List {
    TIconList list;
    int changes = 0;

    List()
    {
        for (QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)})
            list.Add(iconOf(colour).get());
        list.OnChange = [this](TIconList *sender) {
            QCOMPARE(sender, &list);
            ++changes;
        };
    }

    QList<QColor> colours() const
    {
        QList<QColor> result;
        for (int i = 0; i < list.Count(); ++i)
            result << (list.Items(i) ? colourOf(list.Items(i)) : QColor());
        return result;
    }
};

class Other : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TOther"); }
};

}  // namespace

class TestIconList : public QObject {
    Q_OBJECT
private slots:
    void iconFileHoldsEveryImage();
    void loadedIconSavesTheSameBytes();
    void invalidIconDataIsRefusedAndChangesNothing_data();
    void invalidIconDataIsRefusedAndChangesNothing();
    void iconAssign();
    void listOperations();
    void writingAnEntryCopiesAndAppends();
    void indexesOutOfRangeAreRefused();
    void everyChangeReportsOnceAndBracketsHoldReports();
    void iconsInTheListReportTheirChanges();
    void assignCopiesListsAndIcons();
    void resourcesLoadIconFiles();
    void iconsPropertyLayout();
    void iconsPropertyReadsBackByteForByte();
    void iconsPropertyRefusesDamagedStreams_data();
    void iconsPropertyRefusesDamagedStreams();
};

void TestIconList::iconFileHoldsEveryImage()
{
    QImage small = filled(16, Qt::red);
    small.setPixelColor(0, 0, Qt::transparent);
    TIcon icon;
    icon.SetImages({small, filled(32, QColor(0, 0, 255, 128))});
    const QByteArray data = icon.SaveToData();
    QCOMPARE(data.left(6), QByteArray("\0\0\1\0\2\0", 6));

    const QList<QImage> images = decodeIconFile(data);
    QCOMPARE(images.size(), 2);
    QCOMPARE(images[0].size(), QSize(16, 16));
    QCOMPARE(images[0].pixelColor(0, 0).alpha(), 0);
    QCOMPARE(images[0].pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(images[1].size(), QSize(32, 32));
    QCOMPARE(images[1].pixelColor(3, 3).alpha(), 128);
    QVERIFY(!icon.Handle().isNull());

    icon.SetImages({filled(300, Qt::green)});
    QCOMPARE(decodeIconFile(icon.SaveToData()).value(0).size(), QSize(256, 256));
    icon.SetImages({});
    QVERIFY(icon.Empty());
}

void TestIconList::loadedIconSavesTheSameBytes()
{
    const QByteArray data = iconOf(Qt::red, 32)->SaveToData();
    TIcon icon;
    int changes = 0;
    icon.OnChange = [&](TIcon *) { ++changes; };
    icon.LoadFromData(data);
    QCOMPARE(icon.SaveToData(), data);
    QCOMPARE(changes, 1);
    QCOMPARE(colourOf(&icon), QColor(Qt::red));
}

void TestIconList::invalidIconDataIsRefusedAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a PNG picture") << [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        filled(16, Qt::red).save(&buffer, "PNG");
        return png;
    }();
    QTest::newRow("cursor file") << QByteArray("\0\0\2\0\1\0", 6) + QByteArray(40, '\0');
    QTest::newRow("no images") << QByteArray("\0\0\1\0\0\0", 6);
    QTest::newRow("directory only") << QByteArray("\0\0\1\0\1\0", 6) + QByteArray(16, '\xff');
    QTest::newRow("text") << QByteArray("not an icon at all");
}

void TestIconList::invalidIconDataIsRefusedAndChangesNothing()
{
    QFETCH(QByteArray, data);
    auto icon = iconOf(Qt::red);
    const QByteArray before = icon->SaveToData();
    QCOMPARE(errorOf([&] { icon->LoadFromData(data); }), QStringLiteral("Icon image is not valid"));
    QCOMPARE(icon->SaveToData(), before);
}

void TestIconList::iconAssign()
{
    auto red = iconOf(Qt::red);
    TIcon copy;
    copy.Assign(red.get());
    QCOMPARE(copy.SaveToData(), red->SaveToData());
    copy.Assign(nullptr);
    QVERIFY(copy.Empty());
    Other other;
    QCOMPARE(errorOf([&] { copy.Assign(&other); }), QStringLiteral("Cannot assign a TOther to a TIcon"));
}

void TestIconList::listOperations()
{
    List l;
    const QColor red(Qt::red), green(Qt::green), blue(Qt::blue);
    QCOMPARE(l.list.Count(), 3);
    QCOMPARE(l.colours(), QList<QColor>({red, green, blue}));

    l.list.Insert(1, iconOf(Qt::yellow).get());
    QCOMPARE(l.colours(), QList<QColor>({red, QColor(Qt::yellow), green, blue}));
    l.list.Delete(1);
    l.list.Exchange(0, 2);
    QCOMPARE(l.colours(), QList<QColor>({blue, green, red}));
    l.list.Move(0, 2);
    QCOMPARE(l.colours(), QList<QColor>({green, red, blue}));
    l.list.Move(2, 0);
    QCOMPARE(l.colours(), QList<QColor>({blue, green, red}));

    TIcon *second = l.list.Items(1);
    QCOMPARE(l.list.IndexOf(second), 1);
    auto stranger = iconOf(Qt::green);
    QCOMPARE(l.list.IndexOf(stranger.get()), -1);  // the same picture is not the same icon

    l.list.Insert(3, nullptr);  // inserting at the end appends
    QCOMPARE(l.list.Count(), 4);
    QVERIFY(l.list.Items(3)->Empty());
    QCOMPARE(l.list.Add(iconOf(Qt::white).get()), 4);

    l.list.Clear();
    QCOMPARE(l.list.Count(), 0);
}

void TestIconList::writingAnEntryCopiesAndAppends()
{
    List l;
    auto yellow = iconOf(Qt::yellow);
    TIcon *entry = l.list.Items(1);
    l.list.SetItems(1, yellow.get());
    QCOMPARE(l.list.Items(1), entry);  // the entry keeps its own icon
    QCOMPARE(colourOf(entry), QColor(Qt::yellow));
    QVERIFY(entry != yellow.get());

    l.list.SetItems(3, yellow.get());
    QCOMPARE(l.list.Count(), 4);
    QCOMPARE(colourOf(l.list.Items(3)), QColor(Qt::yellow));

    // An absent entry gets an icon of its own when written.
    readInto(l.list, int32(1) + int32(0));
    QCOMPARE(l.list.Count(), 1);
    QVERIFY(!l.list.Items(0));
    QCOMPARE(l.list.IndexOf(nullptr), 0);
    l.list.SetItems(0, yellow.get());
    QVERIFY(l.list.Items(0));
    QCOMPARE(colourOf(l.list.Items(0)), QColor(Qt::yellow));
}

void TestIconList::indexesOutOfRangeAreRefused()
{
    List l;
    auto icon = iconOf(Qt::red);
    const QList<std::pair<QString, std::function<void()>>> cases = {
        {"List index out of bounds (3)", [&] { l.list.Items(3); }},
        {"List index out of bounds (-1)", [&] { l.list.Items(-1); }},
        {"List index out of bounds (4)", [&] { l.list.SetItems(4, icon.get()); }},
        {"List index out of bounds (4)", [&] { l.list.Insert(4, icon.get()); }},
        {"List index out of bounds (3)", [&] { l.list.Delete(3); }},
        {"List index out of bounds (5)", [&] { l.list.Exchange(0, 5); }},
        {"List index out of bounds (3)", [&] { l.list.Move(0, 3); }},
    };
    for (const auto &[message, action] : cases)
        QCOMPARE(errorOf(action), message);
    QCOMPARE(l.list.Count(), 3);
    QCOMPARE(l.changes, 0);
}

void TestIconList::everyChangeReportsOnceAndBracketsHoldReports()
{
    List l;
    auto icon = iconOf(Qt::yellow);
    const QList<std::pair<const char *, std::function<void()>>> operations = {
        {"Add", [&] { l.list.Add(icon.get()); }},
        {"Insert", [&] { l.list.Insert(0, icon.get()); }},
        {"write", [&] { l.list.SetItems(0, icon.get()); }},
        {"append by writing", [&] { l.list.SetItems(l.list.Count(), icon.get()); }},
        {"Exchange", [&] { l.list.Exchange(0, 1); }},
        {"Move", [&] { l.list.Move(0, 1); }},
        {"Delete", [&] { l.list.Delete(0); }},
        {"Clear", [&] { l.list.Clear(); }},
        {"Assign", [&] { l.list.Assign(icon.get()); }},
    };
    for (const auto &[name, operation] : operations) {
        l.changes = 0;
        operation();
        QVERIFY2(l.changes == 1, name);
    }

    l.changes = 0;
    l.list.BeginUpdate();
    l.list.BeginUpdate();
    l.list.Add(icon.get());
    l.list.Add(icon.get());
    l.list.EndUpdate();
    QCOMPARE(l.changes, 0);
    l.list.EndUpdate();
    QCOMPARE(l.changes, 1);
    l.list.EndUpdate();  // an unmatched end changes nothing
    QCOMPARE(l.changes, 1);
}

void TestIconList::iconsInTheListReportTheirChanges()
{
    List l;
    TIcon *first = l.list.Items(0);
    first->SetImages({filled(16, Qt::black)});
    QCOMPARE(l.changes, 1);

    auto kept = std::make_unique<TIcon>();
    kept->Assign(first);
    l.changes = 0;
    l.list.Add(kept.get());
    kept->SetImages({filled(16, Qt::white)});  // the list holds a copy, not this icon
    QCOMPARE(l.changes, 1);
}

void TestIconList::assignCopiesListsAndIcons()
{
    List source;
    TIconList copy;
    copy.Add(iconOf(Qt::white).get());
    copy.Assign(&source.list);
    QCOMPARE(copy.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(copy.Items(i) != source.list.Items(i));
        QCOMPARE(copy.Items(i)->SaveToData(), source.list.Items(i)->SaveToData());
    }
    copy.Assign(source.list.Items(2));
    QCOMPARE(copy.Count(), 1);
    QCOMPARE(colourOf(copy.Items(0)), QColor(Qt::blue));
    copy.Assign(nullptr);
    QCOMPARE(copy.Count(), 0);

    Other other;
    QCOMPARE(errorOf([&] { source.list.Assign(&other); }), QStringLiteral("Cannot assign a TOther to a TIconList"));
    QCOMPARE(source.list.Count(), 3);
}

void TestIconList::resourcesLoadIconFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("frame.ico");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(iconOf(Qt::green)->SaveToData());
    file.close();

    List l;
    QCOMPARE(l.list.AddResource(path), 3);
    QCOMPARE(colourOf(l.list.Items(3)), QColor(Qt::green));
    l.list.InsertResource(0, path);
    QCOMPARE(colourOf(l.list.Items(0)), QColor(Qt::green));
    QCOMPARE(errorOf([&] { l.list.AddResource(dir.filePath("missing.ico")); }),
             QStringLiteral("Icon resource %1 not found").arg(dir.filePath("missing.ico")));
    QCOMPARE(l.list.Count(), 5);
}

void TestIconList::iconsPropertyLayout()
{
    List l;
    l.list.SetItems(1, nullptr);  // an empty icon
    const QByteArray red = l.list.Items(0)->SaveToData();
    const QByteArray blue = l.list.Items(2)->SaveToData();
    QVERIFY(l.list.HasData());
    QCOMPARE(written(l.list), int32(3) + int32(qint32(red.size())) + red + int32(0) + int32(qint32(blue.size())) + blue);

    TIconList empty;
    QVERIFY(!empty.HasData());
    QCOMPARE(written(empty), int32(0));
}

void TestIconList::iconsPropertyReadsBackByteForByte()
{
    List l;
    readInto(l.list, int32(2) + int32(0) + int32(-5));  // absent entries
    QCOMPARE(l.list.Count(), 2);
    QVERIFY(!l.list.Items(0) && !l.list.Items(1));

    List source;
    source.list.Insert(1, nullptr);
    const QByteArray stored = written(source.list);
    l.changes = 0;
    readInto(l.list, stored);
    QCOMPARE(l.changes, 1);
    QCOMPARE(l.list.Count(), 4);
    QCOMPARE(written(l.list), stored);
    QCOMPARE(colourOf(l.list.Items(3)), QColor(Qt::blue));
}

void TestIconList::iconsPropertyRefusesDamagedStreams_data()
{
    const QByteArray red = iconOf(Qt::red)->SaveToData();
    const qint32 size = qint32(red.size());
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("entriesKept");
    QTest::newRow("no count") << QByteArray("\1\0", 2) << "Stream read error" << 0;
    QTest::newRow("fewer records than counted") << int32(3) + int32(size) + red << "Stream read error" << 1;
    QTest::newRow("image shorter than its size") << int32(1) + int32(size + 1) + red << "Stream read error" << 0;
    QTest::newRow("huge size") << int32(1) + int32(0x7fffffff) << "Stream read error" << 0;
    QTest::newRow("image that is no icon") << int32(2) + int32(size) + red + int32(4) + QByteArray("junk")
                                           << "Icon image is not valid" << 1;
}

void TestIconList::iconsPropertyRefusesDamagedStreams()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    QFETCH(int, entriesKept);
    List l;
    l.changes = 0;
    QCOMPARE(errorOf([&] { readInto(l.list, data); }), error);
    QCOMPARE(l.list.Count(), entriesKept);
    QCOMPARE(l.changes, 1);  // the bracket closes on the error too
}

QTEST_MAIN(TestIconList)
#include "tst_iconlist.moc"
