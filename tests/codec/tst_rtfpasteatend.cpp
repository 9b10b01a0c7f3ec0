#include "engine/codec/documentextras.h"
#include "engine/codec/documentinsertion.h"
#include "engine/codec/listdocument.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/rtfpasteatend.h"
#include "pastesources.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <memory>

using namespace engine;
using namespace pastesources;

namespace {

QByteArray pictureRtf(Qt::GlobalColor colour)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw4\\pich4 " + png.toHex() + "}";
}

std::unique_ptr<QTextDocument> documentOf(const QByteArray &bytes)
{
    auto document = std::make_unique<ListDocument>();
    if (!bytes.isEmpty())
        readRtf(bytes, document.get());
    return document;
}

QTextCursor cursorAtEnd(QTextDocument *document)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

}  // namespace

class TestRtfPasteAtEnd : public QObject {
    Q_OBJECT

private slots:
    // Read straight in at the end, the paste gives what reading it apart and inserting
    // that gives, the caret after it; undo gives back the document, redo the paste.
    void pasteAtTheEndMatchesTheGeneralInsertion_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("target");
        const QByteArray mixed = rtf("{\\b bold} plain {\\i slanted}\\par\\qc second {\\ul under}\\par last");
        const QByteArray twoItems = rtf("\\pard\\ls1 one\\par\\pard\\ls1 two\\par", kBullets);
        const QByteArray table =
            rtf("before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row\\pard after\\par");
        const QByteArray note = rtf("text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} a note}\\par next");
        const QByteArray picture = rtf("a " + pictureRtf(Qt::red) + " b\\par c");
        const QByteArray listTarget = rtf("\\pard\\ls1 x\\par\\pard\\ls1 y", kBullets);
        for (const auto &[name, target] : {std::pair{"an empty document", QByteArray()},
                                           std::pair{"a paragraph with text", rtf("\\qr xy")},
                                           std::pair{"an empty last paragraph", rtf("xy\\par\\pard\\qc\\par")},
                                           std::pair{"a list item", listTarget}}) {
            QTest::addRow("runs into %s", name) << mixed << target;
            QTest::addRow("a list into %s", name) << twoItems << target;
            QTest::addRow("a table into %s", name) << table << target;
            QTest::addRow("a note into %s", name) << note << target;
            QTest::addRow("a picture into %s", name) << picture << target;
        }
        const QByteArray tableFirst = rtf("\\trowd\\cellx1000\\pard\\intbl A\\cell\\row\\pard after");
        QTest::newRow("a table first into an empty document") << tableFirst << QByteArray();
        QTest::newRow("a table first after text") << tableFirst << rtf("xy");
        QTest::newRow("a list first, two levels") << rtf("\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 a1\\par\\pard b", kBullets)
                                                  << rtf("xy");
    }

    void pasteAtTheEndMatchesTheGeneralInsertion()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        const auto expected = documentOf(target);
        QTextCursor expectedCursor = cursorAtEnd(expected.get());
        insertDocument(expectedCursor, documentOf(source).get());

        const auto actual = documentOf(target);
        const QByteArray before = writeRtf(actual.get());
        QTextCursor cursor = cursorAtEnd(actual.get());
        QTextCursor other = cursorAtEnd(actual.get());
        QVERIFY(canPasteRtfAtEnd(cursor));
        QVERIFY(pasteRtfAtEnd(cursor, source));

        QCOMPARE(paragraphsAndItems(actual.get()), paragraphsAndItems(expected.get()));
        const QByteArray after = writeRtf(actual.get());
        QCOMPARE(after, writeRtf(expected.get()));
        QCOMPARE(cursor.position(), expectedCursor.position());
        QCOMPARE(other.position(), expectedCursor.position());

        actual->undo();
        QCOMPARE(writeRtf(actual.get()), before);
        QVERIFY(!actual->isUndoAvailable());
        actual->redo();
        QCOMPARE(writeRtf(actual.get()), after);
        QCOMPARE(paragraphsAndItems(actual.get()), paragraphsAndItems(expected.get()));
    }

    // The paragraph of an empty document gets its own formats back on undo, its mark's
    // included, and its list too.
    void undoGivesTheEmptyDocumentItsFormatsBack()
    {
        const auto document = documentOf(rtf("\\pard\\ls1\\qc{\\b\\fs40\\par}", kBullets));
        QTextCursor cursor(document.get());
        const QTextBlockFormat blockFormat = cursor.blockFormat();
        const QTextCharFormat markFormat = cursor.blockCharFormat();
        QVERIFY(cursor.currentList());
        const QTextListFormat listFormat = cursor.currentList()->format();
        document->clearUndoRedoStacks();

        QVERIFY(pasteRtfAtEnd(cursor, rtf("\\ql{\\i plain} text\\par two")));
        QVERIFY(!document->firstBlock().textList());
        document->undo();
        QCOMPARE(document->characterCount(), 1);
        const QTextBlock block = document->firstBlock();
        QCOMPARE(block.blockFormat().alignment(), blockFormat.alignment());
        QCOMPARE(block.charFormat(), markFormat);
        QVERIFY(block.textList());
        QCOMPARE(block.textList()->format(), listFormat);
        document->redo();
        QCOMPARE(document->toPlainText(), QStringLiteral("plain text\ntwo"));
        QVERIFY(!document->firstBlock().textList());
    }

    // Redo reads the paste again; the steps recorded after it, which name its lists,
    // still apply when they are redone.
    void stepsAfterThePasteApplyAgainAfterItsRedo()
    {
        const auto document = documentOf(QByteArray());
        QTextCursor cursor(document.get());
        QVERIFY(pasteRtfAtEnd(cursor, rtf("\\pard\\ls1 one\\par\\pard\\ls1 two\\par\\pard\\ls1 three", kBullets)));
        QTextListFormat decimal = document->firstBlock().textList()->format();
        decimal.setStyle(QTextListFormat::ListDecimal);
        document->firstBlock().textList()->setFormat(decimal);
        QTextCursor second(document->findBlockByNumber(1));
        second.insertText(QStringLiteral("the "));
        const QByteArray edited = writeRtf(document.get());

        for (int i = 0; i < 3; ++i)
            document->undo();
        QCOMPARE(document->characterCount(), 1);
        for (int i = 0; i < 3; ++i)
            document->redo();
        QCOMPARE(writeRtf(document.get()), edited);
        const QTextList *list = document->firstBlock().textList();
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(document->findBlockByNumber(1).text(), QStringLiteral("the two"));
    }

    // The document keeps its page setup and kept groups, and its pictures keep their
    // images: those of the paste get names of their own.
    void theDocumentKeepsItsSettingsAndPictures()
    {
        const auto document = documentOf(rtf("\\paperw5000\\margl100 own " + pictureRtf(Qt::blue) + "\\par"));
        const DocumentExtras extras = documentExtras(document.get());
        QVERIFY(!extras.isEmpty());
        QList<QString> ownNames;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    ownNames.append(it.fragment().charFormat().toImageFormat().name());
        QCOMPARE(ownNames.size(), 1);

        QTextCursor cursor = cursorAtEnd(document.get());
        QVERIFY(pasteRtfAtEnd(cursor, rtf("\\paperw9000\\margl900 {\\info{\\title Other}}pasted "
                                          + pictureRtf(Qt::red))));
        QCOMPARE(documentExtras(document.get()).page, extras.page);
        QCOMPARE(documentExtras(document.get()).headerGroups, extras.headerGroups);
        const QImage own =
            document->resource(QTextDocument::ImageResource, QUrl(ownNames.first())).value<QImage>();
        QCOMPARE(own.pixelColor(0, 0), QColor(Qt::blue));
        const QTextBlock last = document->lastBlock();
        QTextFormat pasted;
        for (auto it = last.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pasted = it.fragment().charFormat();
        const QString pastedName = pasted.toImageFormat().name();
        QVERIFY(!pastedName.isEmpty() && pastedName != ownNames.first());
        QCOMPARE(document->resource(QTextDocument::ImageResource, QUrl(pastedName)).value<QImage>().pixelColor(0, 0),
                 QColor(Qt::red));
    }

    void onlyTheEndOfTheDocumentTakesThisWay()
    {
        const auto document = documentOf(rtf("abc"));
        QTextCursor cursor(document.get());
        QVERIFY(!canPasteRtfAtEnd(cursor));
        cursor.movePosition(QTextCursor::End);
        QVERIFY(canPasteRtfAtEnd(cursor));
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
        QVERIFY(!canPasteRtfAtEnd(cursor));
    }

    void bytesWithoutTextOrNotRtfChangeNothing()
    {
        const auto document = documentOf(rtf("\\qc abc"));
        const QByteArray before = writeRtf(document.get());
        document->clearUndoRedoStacks();
        QTextCursor cursor = cursorAtEnd(document.get());
        QVERIFY(!pasteRtfAtEnd(cursor, "plain text"));
        QVERIFY(pasteRtfAtEnd(cursor, rtf("\\ql\\par")));
        QCOMPARE(writeRtf(document.get()), before);
        QVERIFY(!document->isUndoAvailable());
        QCOMPARE(cursor.position(), 3);
    }
};

QTEST_MAIN(TestRtfPasteAtEnd)
#include "tst_rtfpasteatend.moc"
