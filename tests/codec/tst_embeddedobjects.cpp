#include "tests/support/testsupport.h"
#include "engine/codec/objects/embeddedobject.h"
#include "engine/codec/objects/objectfactory.h"
#include "engine/codec/objects/ole1stream.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace engine;
using namespace engine::objects;

namespace {

QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes + QByteArray("{}\\", 3);
}

QByteArray pngOf(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The picture formats of the document's object characters, in order.
QList<QTextImageFormat> picturesOf(const QTextDocument &document)
{
    QList<QTextImageFormat> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pictures.append(it.fragment().charFormat().toImageFormat());
    return pictures;
}

void insert(QTextDocument &document, const DocumentObject &object)
{
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("test:1")), object.picture);
    QTextImageFormat format = object.format;
    format.setName(QStringLiteral("test:1"));
    QTextCursor(&document).insertImage(format);
}

// An object as another word processor writes it: its data, and a PNG as its result.
QByteArray foreignObjectGroup()
{
    Ole1Object ole;
    ole.className = QStringLiteral("Sheet.Calc.5");
    ole.native = QByteArray("native \x01\x02 data");
    return "{\\object\\objemb\\objw900\\objh600{\\*\\objclass Sheet.Calc.5}{\\*\\objdata "
           + writeOle1Stream(ole).toHex() + "}{\\result{\\pict\\pngblip\\picw4\\pich4 "
           + pngOf({4, 4}, Qt::red).toHex() + "}}}";
}

}  // namespace

class TestEmbeddedObjects : public QObject {
    Q_OBJECT
private slots:
    void aPackageGroupGivesBackItsFileByteForByte();
    void aLinkedObjectKeepsItsPath();
    void objectsOfOtherProgramsAreReadByTheirClass();
    void bytesThatAreNoObjectGroupGiveNoObject();
    void damagedObjectDataIsKeptAsItIs();
    void verbsDependOnTheKindOfObject_data();
    void verbsDependOnTheKindOfObject();
    void anObjectSurvivesSavingAndLoadingByteForByte();
    void anotherProgramsObjectIsWrittenBackUnchanged();
    void anImageFileBecomesAPictureWithItsOwnBytes();
    void anotherFileBecomesAPackageShownAsItsIcon();
    void filesThatCannotBeEmbeddedGiveAClearMessage();
    void aNewPictureIsAnObjectWithAPicturePresentation();
};

void TestEmbeddedObjects::aPackageGroupGivesBackItsFileByteForByte()
{
    EmbeddedObject object;
    object.className = QString(kPackageClass);
    object.fileName = QStringLiteral("report.pdf");
    object.asIcon = true;
    object.data = everyByte();
    const QByteArray group = objectGroupRtf(object, pngOf({8, 8}, Qt::blue), {8, 8});
    QVERIFY(group.startsWith("{\\object\\objemb"));
    QVERIFY(group.contains("{\\result{\\pict\\pngblip"));
    const std::optional<EmbeddedObject> read = parseObjectGroup(group);
    QVERIFY(read);
    QCOMPARE(read->className, object.className);
    QCOMPARE(read->fileName, object.fileName);
    QCOMPARE(read->data, object.data);
    QVERIFY(read->asIcon);
    QVERIFY(!read->linked);
    QCOMPARE(read->sizeTwips, QSize(120, 120));
}

void TestEmbeddedObjects::aLinkedObjectKeepsItsPath()
{
    EmbeddedObject object;
    object.className = QString(kPackageClass);
    object.linked = true;
    object.linkPath = QStringLiteral("/home/user/notes/plan.odt");
    const std::optional<EmbeddedObject> read = parseObjectGroup(objectGroupRtf(object, pngOf({2, 2}, Qt::white), {2, 2}));
    QVERIFY(read);
    QVERIFY(read->linked);
    QCOMPARE(read->linkPath, object.linkPath);
    QCOMPARE(read->fileName, QStringLiteral("plan.odt"));
    QVERIFY(read->data.isEmpty());
}

void TestEmbeddedObjects::objectsOfOtherProgramsAreReadByTheirClass()
{
    const std::optional<EmbeddedObject> read = parseObjectGroup(foreignObjectGroup());
    QVERIFY(read);
    QCOMPARE(read->className, QStringLiteral("Sheet.Calc.5"));
    QCOMPARE(read->userTypeName(), QStringLiteral("Sheet.Calc.5"));
    QCOMPARE(read->data, QByteArray("native \x01\x02 data"));
    QCOMPARE(read->sizeTwips, QSize(900, 600));
}

void TestEmbeddedObjects::bytesThatAreNoObjectGroupGiveNoObject()
{
    QVERIFY(!parseObjectGroup(""));
    QVERIFY(!parseObjectGroup("{\\pict\\pngblip 00}"));
    QVERIFY(!parseObjectGroup("\\object"));
}

void TestEmbeddedObjects::damagedObjectDataIsKeptAsItIs()
{
    // A stream cut off in its class name: the bytes stay the object's data.
    const std::optional<EmbeddedObject> read =
        parseObjectGroup("{\\object\\objemb{\\*\\objclass Odd}{\\*\\objdata 0105000002000000ff}}");
    QVERIFY(read);
    QCOMPARE(read->className, QStringLiteral("Odd"));
    QCOMPARE(read->data, QByteArray::fromHex("0105000002000000ff"));
    QVERIFY(read->verbs().isEmpty());
}

void TestEmbeddedObjects::verbsDependOnTheKindOfObject_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("verbs");
    QTest::newRow("package") << QString(kPackageClass) << false << "a.pdf" << QStringList{"&Open"};
    QTest::newRow("package without a file") << QString(kPackageClass) << false << "" << QStringList{};
    QTest::newRow("picture") << QString(kPictureClass) << false << "Picture.png" << QStringList{"&Edit", "&Open"};
    QTest::newRow("link") << "Sheet.Calc.5" << true << "a.ods" << QStringList{"&Open"};
    QTest::newRow("unknown class") << "Sheet.Calc.5" << false << "" << QStringList{};
}

void TestEmbeddedObjects::verbsDependOnTheKindOfObject()
{
    QFETCH(QString, className);
    QFETCH(bool, linked);
    QFETCH(QString, fileName);
    QFETCH(QStringList, verbs);
    EmbeddedObject object;
    object.className = className;
    object.linked = linked;
    object.fileName = fileName;
    QStringList names;
    for (int i = 0; i < object.verbs().size(); ++i) {
        names << object.verbs()[i].name;
        QCOMPARE(object.verbs()[i].number, i);  // the first is the primary verb
    }
    QCOMPARE(names, verbs);
}

void TestEmbeddedObjects::anObjectSurvivesSavingAndLoadingByteForByte()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("data.bin"));
    testsupport::writeFile(path, everyByte());
    const FileObjectResult made = objectFromFile(path, false, false);
    QVERIFY2(made.object, qPrintable(made.error));

    QTextDocument document;
    insert(document, *made.object);
    const QByteArray saved = writeRtf(&document);
    QTextDocument loaded;
    QVERIFY(readRtf(saved, &loaded).ok());
    const QList<QTextImageFormat> pictures = picturesOf(loaded);
    QCOMPARE(pictures.size(), 1);
    const std::optional<EmbeddedObject> object = objectOf(pictures.first());
    QVERIFY(object);
    QCOMPARE(object->data, everyByte());
    QCOMPARE(object->fileName, QStringLiteral("data.bin"));
    // Saving again writes the same object.
    QCOMPARE(writeRtf(&loaded), saved);
}

void TestEmbeddedObjects::anotherProgramsObjectIsWrittenBackUnchanged()
{
    const QByteArray group = foreignObjectGroup();
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard before " + group + " after\\par}";
    QTextDocument document;
    QVERIFY(readRtf(rtf, &document).ok());
    QCOMPARE(picturesOf(document).size(), 1);
    QVERIFY(writeRtf(&document).contains(group));
}

void TestEmbeddedObjects::anImageFileBecomesAPictureWithItsOwnBytes()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.png"));
    const QByteArray png = pngOf({6, 3}, Qt::green);
    testsupport::writeFile(path, png);
    const FileObjectResult made = objectFromFile(path, false, false);
    QVERIFY(made.object);
    QVERIFY(!made.object->format.hasProperty(prop::ObjectRtf));
    QCOMPARE(made.object->format.property(prop::ImageOriginalBytes).toByteArray(), png);
    QCOMPARE(made.object->picture.size(), QSize(6, 3));

    QTextDocument document;
    insert(document, *made.object);
    QVERIFY(writeRtf(&document).replace("\r\n", "").contains(png.toHex()));
}

void TestEmbeddedObjects::anotherFileBecomesAPackageShownAsItsIcon()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("manual.pdf"));
    testsupport::writeFile(path, "%PDF-1.4 not really");
    for (bool asIcon : {false, true}) {
        const FileObjectResult made = objectFromFile(path, false, asIcon);
        QVERIFY(made.object);
        const std::optional<EmbeddedObject> object = objectOf(made.object->format);
        QVERIFY(object);
        QCOMPARE(object->className, QString(kPackageClass));
        QVERIFY(object->asIcon);
        QCOMPARE(object->fileName, QStringLiteral("manual.pdf"));
        QCOMPARE(object->data, QByteArray("%PDF-1.4 not really"));
        QCOMPARE(made.object->picture.size(), iconPresentation(QStringLiteral("manual.pdf")).size());
    }
    // An image shown as an icon is a package too.
    const QString image = folder.filePath(QStringLiteral("photo.png"));
    testsupport::writeFile(image, pngOf({3, 3}, Qt::red));
    QVERIFY(objectOf(objectFromFile(image, false, true).object->format));
}

void TestEmbeddedObjects::filesThatCannotBeEmbeddedGiveAClearMessage()
{
    QTemporaryDir folder;
    FileObjectResult made = objectFromFile(folder.filePath(QStringLiteral("gone.pdf")), false, false);
    QVERIFY(!made.object);
    QVERIFY2(made.error.contains(QStringLiteral("does not exist")), qPrintable(made.error));

    made = objectFromFile(folder.path(), false, false);  // a folder is no file
    QVERIFY(!made.object);

    const QString big = folder.filePath(QStringLiteral("big.bin"));
    QFile file(big);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(kMaxEmbeddedFileBytes + 1));
    file.close();
    made = objectFromFile(big, false, false);
    QVERIFY(!made.object);
    QVERIFY2(made.error.contains(QStringLiteral("too large")), qPrintable(made.error));
    // Linking does not copy the file, so its size does not matter.
    QVERIFY(objectFromFile(big, true, false).object);
}

void TestEmbeddedObjects::aNewPictureIsAnObjectWithAPicturePresentation()
{
    const DocumentObject made = blankPictureObject();
    const std::optional<EmbeddedObject> object = objectOf(made.format);
    QVERIFY(object);
    QCOMPARE(object->className, QString(kPictureClass));
    QVERIFY(!object->asIcon);
    QCOMPARE(QImage::fromData(object->data).size(), made.picture.size());
    QCOMPARE(made.picture.pixelColor(5, 5), QColor(Qt::white));
}

QTEST_MAIN(TestEmbeddedObjects)
#include "tst_embeddedobjects.moc"
