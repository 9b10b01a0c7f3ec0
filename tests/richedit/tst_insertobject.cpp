#include "tests/support/scripteddialogs.h"
#include "tests/support/testsupport.h"
#include "engine/codec/objects/objectfactory.h"
#include "engine/codec/textprops.h"
#include "platform/exceptions.h"
#include "platform/urlopener.h"
#include "richedit/wwricholecallback.h"
#include "richedit/wwriched.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using platform::InsertObjectChoice;
using platform::MessageResult;

namespace {

InsertObjectChoice fromFile(const QString &path, bool link = false, bool asIcon = false)
{
    InsertObjectChoice choice;
    choice.createNew = false;
    choice.fileName = path;
    choice.link = link;
    choice.displayAsIcon = asIcon;
    return choice;
}

QByteArray pngBytes(QColor colour)
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QTextImageFormat formatAt(TwwCustomRichEdit &edit, int position)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().toImageFormat();
}

}  // namespace

class TestInsertObject : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cancellingChangesNothing();
    void theObjectGoesInAtTheSelectionStartAndIsSelected();
    void insertingLeavesTheClipboardAsItWas();
    void aFileThatCannotBeUsedGivesAMessageAndChangesNothing();
    void objectsSwitchedOffOfferNoObjectInterface();
    void theCallbackAnswersAsAContainerWithoutUserInterface();
    void dropEffectFollowsTheKeysAndWhatTheSourceAllows_data();
    void dropEffectFollowsTheKeysAndWhatTheSourceAllows();
    void filesDroppedOnTheEditorBecomePicturesAndPackages();
    void anObjectSurvivesSavingAndLoading();
    void aVerbOpensAPrivateCopyWhoseChangesComeBack();
    void verbFilesGoWithTheirDocument();
    void verbsThatCannotRunGiveAClearMessage();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    int insertFile(const QString &path, bool link = false, bool asIcon = false);
    QByteArray saved() const;

    std::unique_ptr<QWidget> m_form;
    TwwDBRichEdit *m_edit = nullptr;
    std::unique_ptr<platform::ScriptedDialogs> m_dialogs;
    std::unique_ptr<QTemporaryDir> m_folder;
    QList<QUrl> m_opened;
    bool m_openerAnswers = true;
};

void TestInsertObject::init()
{
    m_dialogs = std::make_unique<platform::ScriptedDialogs>();
    m_folder = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<QWidget>();
    m_edit = new TwwDBRichEdit(m_form.get());
    m_edit->setGeometry(0, 0, 500, 300);
    m_opened.clear();
    m_openerAnswers = true;
    platform::setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return m_openerAnswers;
    });
}

void TestInsertObject::cleanup()
{
    platform::setUrlOpener({});
    m_form.reset();
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join('\n')));
    m_dialogs.reset();
}

QString TestInsertObject::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_folder->filePath(name);
    testsupport::writeFile(path, bytes);
    return path;
}

int TestInsertObject::insertFile(const QString &path, bool link, bool asIcon)
{
    m_dialogs->queueInsertObject(fromFile(path, link, asIcon));
    return m_edit->InsertObject() ? m_edit->SelStart() : -1;
}

QByteArray TestInsertObject::saved() const
{
    QByteArray rtf;
    m_edit->streamOut(engine::SF_RTF, [&](const char *data, qint64 size) {
        rtf.append(data, size);
        return true;
    });
    return rtf;
}

void TestInsertObject::cancellingChangesNothing()
{
    m_edit->SetSelText(QStringLiteral("some text"));
    m_edit->setSelectionRange({2, 6});
    m_edit->SetModified(false);
    QApplication::clipboard()->setText(QStringLiteral("copied"));
    m_dialogs->queueInsertObject(std::nullopt);
    QVERIFY(!m_edit->InsertObject());
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("some text"));
    QCOMPARE(m_edit->selectionRange(), (engine::CharRange{2, 6}));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copied"));
    QVERIFY(!m_edit->Modified());
    // The dialog offers a new picture, preselected.
    QCOMPARE(m_dialogs->lastRequest().insertObject.objectTypes, QStringList{QStringLiteral("Picture")});
}

void TestInsertObject::theObjectGoesInAtTheSelectionStartAndIsSelected()
{
    m_edit->SetSelText(QStringLiteral("keep this"));
    m_edit->setSelectionRange({5, 9});
    m_dialogs->queueInsertObject(InsertObjectChoice{});
    QVERIFY(m_edit->InsertObject());
    QCOMPARE(m_edit->textLength(), 10);
    QCOMPARE(m_edit->textRange({0, 5}), QStringLiteral("keep "));
    QCOMPARE(m_edit->textRange({6, 10}), QStringLiteral("this"));
    QCOMPARE(m_edit->selectionRange(), (engine::CharRange{5, 6}));
    QVERIFY(m_edit->OleInterface()->selectedObject());
    QCOMPARE(m_edit->OleInterface()->selectedObject()->object.className, QStringLiteral("Picture"));
    QVERIFY(m_edit->Modified());
}

void TestInsertObject::insertingLeavesTheClipboardAsItWas()
{
    auto *data = new QMimeData;
    data->setText(QStringLiteral("copied"));
    data->setData(QStringLiteral("application/x-private"), "mine");
    QApplication::clipboard()->setMimeData(data);
    insertFile(writeFile(QStringLiteral("a.pdf"), "%PDF"));
    const QMimeData *after = QApplication::clipboard()->mimeData();
    QCOMPARE(after->text(), QStringLiteral("copied"));
    QCOMPARE(after->data(QStringLiteral("application/x-private")), QByteArray("mine"));
}

void TestInsertObject::aFileThatCannotBeUsedGivesAMessageAndChangesNothing()
{
    m_edit->SetSelText(QStringLiteral("text"));
    m_edit->SetModified(false);
    m_dialogs->queueInsertObject(fromFile(m_folder->filePath(QStringLiteral("vanished.pdf"))));
    try {
        m_edit->InsertObject();
        QFAIL("no error");
    } catch (const Exception &error) {
        QVERIFY2(error.message().contains(QStringLiteral("vanished.pdf")), qPrintable(error.message()));
    }
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("text"));
    QVERIFY(!m_edit->Modified());
}

void TestInsertObject::objectsSwitchedOffOfferNoObjectInterface()
{
    QVERIFY(m_edit->OleInterface());
    QCOMPARE(m_edit->oleCallback(), m_edit->OleCallback());
    m_edit->SetOleOptions(reoDisableOLE);
    QVERIFY(!m_edit->OleInterface());
    QVERIFY(!m_edit->oleCallback());
    QVERIFY_THROWS_EXCEPTION(Exception, m_edit->InsertObject());
    m_edit->SetOleOptions(reoAdjustPopupMenu);
    QVERIFY(m_edit->OleInterface());
    QCOMPARE(m_edit->oleCallback(), m_edit->OleCallback());
}

void TestInsertObject::theCallbackAnswersAsAContainerWithoutUserInterface()
{
    TRichEditOleCallback &callback = *m_edit->OleCallback();
    std::unique_ptr<QIODevice> storage;
    QCOMPARE(callback.GetNewStorage(storage), engine::OleResult::Ok);
    QVERIFY(storage && storage->isWritable());
    QObject *frame = this;
    QObject *document = this;
    QCOMPARE(callback.GetInPlaceContext(frame, document), engine::OleResult::NotImplemented);
    QVERIFY(!frame && !document);
    QCOMPARE(callback.ShowContainerUI(true), engine::OleResult::NotImplemented);
    QCOMPARE(callback.QueryInsertObject({}), engine::OleResult::Ok);
    QCOMPARE(callback.DeleteObject({}), engine::OleResult::Ok);
    QCOMPARE(callback.QueryAcceptData(nullptr, true), engine::OleResult::Ok);
    QCOMPARE(callback.ContextSensitiveHelp(true), engine::OleResult::NotImplemented);
    QMimeData *data = new QMimeData;
    QMimeData *given = data;
    QCOMPARE(callback.GetClipboardData(given), engine::OleResult::NotImplemented);
    QVERIFY(!given);
    delete data;
    QObject *menu = this;
    QCOMPARE(callback.GetContextMenu(menu), engine::OleResult::Ok);
    QVERIFY(!menu);
}

void TestInsertObject::dropEffectFollowsTheKeysAndWhatTheSourceAllows_data()
{
    using namespace engine;
    QTest::addColumn<bool>("drag");
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<int>("effect");
    const int all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("no key moves") << false << 0 << all << int(DROPEFFECT_MOVE);
    QTest::newRow("ctrl copies") << false << ctrl << all << int(DROPEFFECT_COPY);
    QTest::newRow("ctrl+shift links") << false << (ctrl | shift) << all << int(DROPEFFECT_LINK);
    QTest::newRow("shift alone moves") << false << shift << all << int(DROPEFFECT_MOVE);
    QTest::newRow("move not allowed") << false << 0 << int(DROPEFFECT_COPY | DROPEFFECT_LINK)
                                      << int(DROPEFFECT_COPY | DROPEFFECT_LINK);
    QTest::newRow("copy not allowed") << false << ctrl << int(DROPEFFECT_MOVE) << int(DROPEFFECT_MOVE);
    QTest::newRow("link not allowed") << false << (ctrl | shift) << int(DROPEFFECT_COPY) << int(DROPEFFECT_COPY);
    QTest::newRow("as drag source") << true << ctrl << all << all;
}

void TestInsertObject::dropEffectFollowsTheKeysAndWhatTheSourceAllows()
{
    QFETCH(bool, drag);
    QFETCH(int, keys);
    QFETCH(int, allowed);
    QFETCH(int, effect);
    quint32 answer = quint32(allowed);
    QCOMPARE(m_edit->OleCallback()->GetDragDropEffect(drag, Qt::KeyboardModifiers(keys), answer),
             engine::OleResult::Ok);
    QCOMPARE(int(answer), effect);
}

void TestInsertObject::filesDroppedOnTheEditorBecomePicturesAndPackages()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QString png = writeFile(QStringLiteral("photo.png"), pngBytes(Qt::red));
    const QString pdf = writeFile(QStringLiteral("manual.pdf"), "%PDF-1.4");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(png), QUrl::fromLocalFile(pdf)});
    const QPoint at(20, 10);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(m_edit->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(m_edit->viewport(), &drop);
    QCOMPARE(m_edit->textLength(), 2);
    QCOMPARE(formatAt(*m_edit, 0).property(engine::prop::ImageOriginalBytes).toByteArray(), pngBytes(Qt::red));
    QVERIFY(!formatAt(*m_edit, 0).hasProperty(engine::prop::ObjectRtf));
    const std::optional<engine::objects::EmbeddedObject> package = engine::objects::objectOf(formatAt(*m_edit, 1));
    QVERIFY(package);
    QCOMPARE(package->fileName, QStringLiteral("manual.pdf"));
    QCOMPARE(package->data, QByteArray("%PDF-1.4"));
}

void TestInsertObject::anObjectSurvivesSavingAndLoading()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(255 - i));
    insertFile(writeFile(QStringLiteral("data.bin"), bytes));
    insertFile(writeFile(QStringLiteral("photo.png"), pngBytes(Qt::blue)));
    const QByteArray rtf = saved();
    m_edit->Clear();
    qint64 at = 0;
    QVERIFY(m_edit->streamIn(engine::SF_RTF, [&](char *buffer, qint64 max) {
        const qint64 count = qMin(max, rtf.size() - at);
        memcpy(buffer, rtf.constData() + at, size_t(count));
        at += count;
        return count;
    }));
    QCOMPARE(m_edit->textLength(), 2);
    QCOMPARE(formatAt(*m_edit, 0).property(engine::prop::ImageOriginalBytes).toByteArray(), pngBytes(Qt::blue));
    QCOMPARE(engine::objects::objectOf(formatAt(*m_edit, 1))->data, bytes);
    QCOMPARE(saved(), rtf);
}

void TestInsertObject::aVerbOpensAPrivateCopyWhoseChangesComeBack()
{
    const int position = insertFile(writeFile(QStringLiteral("notes.txt"), "first"));
    QVERIFY(position >= 0);
    m_edit->SetModified(false);
    m_edit->document()->clearUndoRedoStacks();
    m_edit->setSelectionRange({position, position + 1});
    QVERIFY(m_edit->OleInterface()->selectedObject());
    // The verb list is read when the menu is built; DoVerb(0) runs the primary verb anyway.
    m_edit->ContextMenuPopup();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), m_edit->viewport()->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(m_edit->viewport(), &request);
    m_edit->PopupMenu()->close();
    m_edit->DoVerb(0);
    QCOMPARE(m_opened.size(), 1);
    const QString copy = m_opened.first().toLocalFile();
    QVERIFY(copy.endsWith(QStringLiteral("/notes.txt")));
    QCOMPARE(testsupport::readFile(copy), QByteArray("first"));
    QCOMPARE(QFile::permissions(copy) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    QVERIFY_THROWS_EXCEPTION(Exception, m_edit->DoVerb(1));  // "Invalid Verb": packages have one verb

    testsupport::writeFile(copy, "second, longer");
    QTRY_COMPARE(engine::objects::objectOf(formatAt(*m_edit, position))->data, QByteArray("second, longer"));
    QVERIFY(m_edit->Modified());
    QVERIFY(m_edit->CanUndo());
    m_edit->Undo();
    QCOMPARE(engine::objects::objectOf(formatAt(*m_edit, position))->data, QByteArray("first"));
}

void TestInsertObject::verbFilesGoWithTheirDocument()
{
    insertFile(writeFile(QStringLiteral("a.txt"), "a"));
    m_edit->ContextMenuPopup();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), m_edit->viewport()->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(m_edit->viewport(), &request);
    m_edit->PopupMenu()->close();
    m_edit->DoVerb(0);
    const QString copy = m_opened.last().toLocalFile();
    QVERIFY(QFile::exists(copy));
    m_edit->Clear();
    QVERIFY(!QFile::exists(copy));

    insertFile(writeFile(QStringLiteral("b.txt"), "b"));
    QApplication::sendEvent(m_edit->viewport(), &request);
    m_edit->PopupMenu()->close();
    m_edit->DoVerb(0);
    const QString second = m_opened.last().toLocalFile();
    QVERIFY(QFile::exists(second));
    m_form.reset();
    QVERIFY(!QFile::exists(second));
    m_form = std::make_unique<QWidget>();
    m_edit = new TwwDBRichEdit(m_form.get());
}

void TestInsertObject::verbsThatCannotRunGiveAClearMessage()
{
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), m_edit->viewport()->mapToGlobal(QPoint(1, 1)));
    const QString linked = writeFile(QStringLiteral("linked.txt"), "l");
    insertFile(linked, true);
    QFile::remove(linked);
    QApplication::sendEvent(m_edit->viewport(), &request);
    m_edit->PopupMenu()->close();
    try {
        m_edit->DoVerb(0);
        QFAIL("no error");
    } catch (const Exception &error) {
        QVERIFY2(error.message().contains(QStringLiteral("cannot be found")), qPrintable(error.message()));
    }
    QVERIFY(m_opened.isEmpty());

    m_openerAnswers = false;  // the desktop has no application for it
    insertFile(writeFile(QStringLiteral("odd.xyz"), "x"));
    QApplication::sendEvent(m_edit->viewport(), &request);
    m_edit->PopupMenu()->close();
    try {
        m_edit->DoVerb(0);
        QFAIL("no error");
    } catch (const Exception &error) {
        QVERIFY2(error.message().contains(QStringLiteral("No application")), qPrintable(error.message()));
    }
}

QTEST_MAIN(TestInsertObject)
#include "tst_insertobject.moc"
