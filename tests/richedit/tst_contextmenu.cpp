#include "tests/support/scripteddialogs.h"
#include "platform/urlopener.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>
#include <memory>

namespace {

class CountingRichEdit : public TwwDBRichEdit {
public:
    using TwwDBRichEdit::TwwDBRichEdit;
    int beforeModifyCalls = 0;
    QStringList dialogsRun;
    void BeforeModify() override { ++beforeModifyCalls; }
    void ExecuteFindDialog() override { dialogsRun << QStringLiteral("find"); }
    void ExecuteReplaceDialog() override { dialogsRun << QStringLiteral("replace"); }
    bool ExecuteParagraphDialog() override { dialogsRun << QStringLiteral("paragraph"); return false; }
    bool ExecuteTabDialog() override { dialogsRun << QStringLiteral("tabs"); return false; }
};

constexpr int kSeparators[] = {2, 6, 10, 15, 18};

QList<int> visibleItems(const TwwCustomRichEdit &edit)
{
    QList<int> shown;
    for (int number = 1; number <= 19; ++number)
        if (edit.PopupItem(number)->isVisible())
            shown << number;
    return shown;
}

QList<int> visibleSeparators(const TwwCustomRichEdit &edit)
{
    QList<int> shown;
    for (int number : kSeparators)
        if (edit.PopupItem(number)->isVisible())
            shown << number;
    return shown;
}

QPoint pointOfChar(TwwCustomRichEdit &edit, int position)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(position);
    const QRect rect = edit.cursorRect(cursor);
    return QPoint(rect.x() + 3, rect.center().y());
}

QAction *actionNamed(QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions())
        if (action->objectName() == name)
            return action;
    return nullptr;
}

}  // namespace

class TestContextMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void optionsDecideWhichItemsShow_data();
    void optionsDecideWhichItemsShow();
    void separatorsFollowTheirRules_data();
    void separatorsFollowTheirRules();
    void aReadOnlyEditorOffersViewingAndCopying();
    void checkMarksFollowTheSelection();
    void styleItemsToggleTheSelectionsStyle();
    void bulletItemTogglesBullets();
    void dialogItemsCallTheControlsOperations();
    void rightClickOnAnObjectListsItsVerbs();
    void rightClickOnTextKeepsTheSelectionAndAddsNoObjectItem();
    void aReadOnlyEditorsObjectItemIsDisabled();
    void verbItemRunsTheVerb();

private:
    void insertPicture();
    QMenu *openMenuAt(int position);

    std::unique_ptr<QWidget> m_form;
    CountingRichEdit *m_edit = nullptr;
    std::unique_ptr<platform::ScriptedDialogs> m_dialogs;
    QList<QUrl> m_opened;
};

void TestContextMenu::init()
{
    m_dialogs = std::make_unique<platform::ScriptedDialogs>();
    m_form = std::make_unique<QWidget>();
    m_form->resize(500, 300);
    m_edit = new CountingRichEdit(m_form.get());
    m_edit->setGeometry(0, 0, 500, 300);
    m_opened.clear();
    platform::setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
}

void TestContextMenu::cleanup()
{
    platform::setUrlOpener({});
    if (m_edit->PopupMenu())
        m_edit->PopupMenu()->close();
    m_form.reset();
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join('\n')));
    m_dialogs.reset();
}

void TestContextMenu::insertPicture()
{
    m_dialogs->queueInsertObject(platform::InsertObjectChoice{});
    QVERIFY(m_edit->InsertObject());
}

// A right click where the platform asks for the menu on the press.
QMenu *TestContextMenu::openMenuAt(int position)
{
    const QPoint at = pointOfChar(*m_edit, position);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, m_edit->viewport()->mapToGlobal(at));
    QApplication::sendEvent(m_edit->viewport(), &request);
    QMenu *menu = m_edit->PopupMenu();
    [&] { QTRY_VERIFY(menu->isVisible()); }();
    return menu;
}

void TestContextMenu::optionsDecideWhichItemsShow_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("disableOle");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("no options") << 0 << false << false << QList<int>{};
    QTest::newRow("edit only") << 0x0001 << false << false << QList<int>{1};
    QTest::newRow("read-only") << 0x3F8F << true << false << QList<int>{1, 2, 3, 4, 5, 6, 16};
    QTest::newRow("insert object, objects off")
        << 0x3F8F << false << true << QList<int>{1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16, 17};
    QTest::newRow("word processor") << 0x3FFE << false << false
                                    << QList<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
}

void TestContextMenu::optionsDecideWhichItemsShow()
{
    QFETCH(int, options);
    QFETCH(bool, readOnly);
    QFETCH(bool, disableOle);
    QFETCH(QList<int>, shown);
    m_edit->SetPopupOptions(TwwRichEditPopupOptions(options));
    m_edit->SetReadOnly(readOnly);
    m_edit->SetOleOptions(disableOle ? TwwRichEditOleOptions(reoAdjustPopupMenu | reoDisableOLE)
                                     : TwwRichEditOleOptions(reoAdjustPopupMenu));
    m_edit->ContextMenuPopup();
    QCOMPARE(visibleItems(*m_edit), shown);
    QCOMPARE(m_edit->PopupOptions(), TwwRichEditPopupOptions(options));  // read-only masks one popup only
}

void TestContextMenu::separatorsFollowTheirRules_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("disableOle");
    QTest::addColumn<QList<int>>("separators");
    QTest::newRow("edit and cut") << 0x0003 << false << QList<int>{2};
    QTest::newRow("edit alone") << 0x0001 << false << QList<int>{};
    QTest::newRow("cut and bold") << 0x0012 << false << QList<int>{6};
    QTest::newRow("paste alone") << 0x0008 << false << QList<int>{};
    QTest::newRow("bold and font") << 0x0090 << false << QList<int>{10};
    QTest::newRow("underline and find") << 0x0840 << false << QList<int>{10};
    QTest::newRow("font and insert object") << 0x2080 << false << QList<int>{15};
    QTest::newRow("font and insert object, objects off") << 0x2080 << true << QList<int>{};
    QTest::newRow("tabs and replace") << 0x1400 << false << QList<int>{15};
    QTest::newRow("find and insert object") << 0x2800 << false << QList<int>{18};
    QTest::newRow("find and insert object, objects off") << 0x2800 << true << QList<int>{};
    QTest::newRow("find alone") << 0x0800 << false << QList<int>{};
}

void TestContextMenu::separatorsFollowTheirRules()
{
    QFETCH(int, options);
    QFETCH(bool, disableOle);
    QFETCH(QList<int>, separators);
    m_edit->SetPopupOptions(TwwRichEditPopupOptions(options));
    if (disableOle)
        m_edit->SetOleOptions(reoDisableOLE);
    m_edit->ContextMenuPopup();
    QCOMPARE(visibleSeparators(*m_edit), separators);
}

void TestContextMenu::aReadOnlyEditorOffersViewingAndCopying()
{
    m_edit->SetSelText(QStringLiteral("some text"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    m_edit->setSelectionRange({0, 4});
    m_edit->ContextMenuPopup();
    QCOMPARE(m_edit->PopupItem(1)->text(), QStringLiteral("&Edit"));
    QVERIFY(m_edit->PopupItem(3)->isEnabled());
    QVERIFY(m_edit->PopupItem(5)->isEnabled());

    m_edit->SetReadOnly(true);
    m_edit->ContextMenuPopup();
    QCOMPARE(m_edit->PopupItem(1)->text(), QStringLiteral("&View"));
    QVERIFY(!m_edit->PopupItem(3)->isEnabled());  // cut
    QVERIFY(m_edit->PopupItem(4)->isEnabled());   // copy
    QVERIFY(!m_edit->PopupItem(5)->isEnabled());  // paste

    m_edit->setSelectionRange({2, 2});
    m_edit->ContextMenuPopup();
    QVERIFY(!m_edit->PopupItem(4)->isEnabled());
    QCOMPARE(m_edit->PopupItem(19)->text(), QStringLiteral("&Insert &Object..."));
}

void TestContextMenu::checkMarksFollowTheSelection()
{
    m_edit->SetSelText(QStringLiteral("plain bold"));
    m_edit->setSelectionRange({6, 10});
    m_edit->SelectionAttributes().SetStyle(fsBold | fsUnderline);
    m_edit->ContextMenuPopup();
    QVERIFY(m_edit->PopupItem(7)->isChecked());
    QVERIFY(!m_edit->PopupItem(8)->isChecked());
    QVERIFY(m_edit->PopupItem(9)->isChecked());
    QVERIFY(!m_edit->PopupItem(12)->isChecked());

    m_edit->setSelectionRange({0, 5});
    m_edit->SetBullets(true);
    m_edit->ContextMenuPopup();
    QVERIFY(!m_edit->PopupItem(7)->isChecked());
    QVERIFY(!m_edit->PopupItem(9)->isChecked());
    QVERIFY(m_edit->PopupItem(12)->isChecked());
}

void TestContextMenu::styleItemsToggleTheSelectionsStyle()
{
    m_edit->SetSelText(QStringLiteral("word"));
    m_edit->SelectAll();
    m_edit->ContextMenuPopup();
    const int before = m_edit->beforeModifyCalls;
    m_edit->PopupItem(8)->trigger();  // italic
    QCOMPARE(m_edit->beforeModifyCalls, before + 1);
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles(fsItalic));
    QVERIFY(m_edit->PopupItem(8)->isChecked());
    m_edit->PopupItem(7)->trigger();  // bold joins italic
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles(fsItalic | fsBold));
    m_edit->ContextMenuPopup();
    m_edit->PopupItem(8)->trigger();  // italic goes, bold stays
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles(fsBold));
    QVERIFY(!m_edit->PopupItem(8)->isChecked());
}

void TestContextMenu::bulletItemTogglesBullets()
{
    m_edit->SetSelText(QStringLiteral("item"));
    m_edit->ContextMenuPopup();
    m_edit->PopupItem(12)->trigger();
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsBullet);
    QVERIFY(m_edit->PopupItem(12)->isChecked());
    m_edit->PopupItem(12)->trigger();
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsNone);
    QVERIFY(m_edit->beforeModifyCalls >= 2);
}

void TestContextMenu::dialogItemsCallTheControlsOperations()
{
    for (int item : {13, 14, 16, 17})
        m_edit->PopupItem(item)->trigger();
    QCOMPARE(m_edit->dialogsRun, QStringList({"paragraph", "tabs", "find", "replace"}));
    m_dialogs->queueInsertObject(std::nullopt);
    m_edit->PopupItem(19)->trigger();
    QCOMPARE(m_dialogs->count(platform::ScriptedDialogs::Kind::InsertObject), 1);
}

void TestContextMenu::rightClickOnAnObjectListsItsVerbs()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QStringLiteral("ab"));
    m_edit->setSelectionRange({1, 1});
    insertPicture();
    m_edit->setSelectionRange({0, 0});

    for (int round = 0; round < 2; ++round) {  // the items of the last pop-up are replaced
        QMenu *menu = openMenuAt(1);
        QCOMPARE(m_edit->selectionRange(), (engine::CharRange{1, 2}));
        QAction *object = actionNamed(menu, QStringLiteral("PopupObject"));
        QVERIFY(object);
        QCOMPARE(menu->actions().count(object), 1);
        QCOMPARE(object->text(), QStringLiteral("Picture &Object"));
        QVERIFY(object->menu());
        const QList<QAction *> verbs = object->menu()->actions();
        QCOMPARE(verbs.size(), 2);
        QCOMPARE(verbs[0]->text(), QStringLiteral("&Edit"));
        QCOMPARE(verbs[1]->text(), QStringLiteral("&Open"));
        QCOMPARE(object->menu()->defaultAction(), verbs[0]);
        QVERIFY(verbs[0]->font().bold());
        QCOMPARE(menu->actions().size(), 21);
        menu->close();
    }
}

void TestContextMenu::rightClickOnTextKeepsTheSelectionAndAddsNoObjectItem()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QStringLiteral("x"));
    insertPicture();
    m_edit->SelectAll();
    m_edit->SetSelText(QStringLiteral("first second third"));  // replaces the picture
    m_edit->setSelectionRange({6, 12});
    QMenu *menu = openMenuAt(15);
    QCOMPARE(m_edit->SelText(), QStringLiteral("second"));
    QVERIFY(!actionNamed(menu, QStringLiteral("PopupObject")));
    QVERIFY(!m_edit->SelectedObject());
    QCOMPARE(menu->actions().size(), 19);
}

void TestContextMenu::aReadOnlyEditorsObjectItemIsDisabled()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    insertPicture();
    m_edit->SetReadOnly(true);
    QMenu *menu = openMenuAt(0);
    QAction *object = actionNamed(menu, QStringLiteral("PopupObject"));
    QVERIFY(object);
    QVERIFY(!object->isEnabled());
    QVERIFY(!object->menu());
}

void TestContextMenu::verbItemRunsTheVerb()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    insertPicture();
    QMenu *menu = openMenuAt(0);
    actionNamed(menu, QStringLiteral("PopupObject"))->menu()->actions().at(1)->trigger();
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(m_opened.first().toLocalFile().endsWith(QStringLiteral("Picture.png")));
    QVERIFY(!QImage(m_opened.first().toLocalFile()).isNull());
}

QTEST_MAIN(TestContextMenu)
#include "tst_contextmenu.moc"
