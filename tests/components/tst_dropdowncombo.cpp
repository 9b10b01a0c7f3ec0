#include "components/Wwdbcomb.h"
#include "components/Wwdbcomb_popup.h"
#include "platform/exceptions.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QStringList kFontSizes = {"8", "9", "10", "11", "12", "14", "16", "18",
                                "20", "22", "24", "26", "28", "36", "48", "72"};
const QStringList kFontNames = {"Times New Roman", "Arial", "courier new", "Arial Black", "Verdana"};

// A window holding a combo box and a plain edit to click or tab into.
struct Form {
    QList<bool> closeUps;  // the Select argument of each OnCloseUp
    int dropDowns = 0;
    QWidget window;  // after the records, so that it goes first
    TwwDBComboBox *combo;
    QLineEdit *other;

    explicit Form(QPoint screenPos = {50, 50}, int comboWidth = 120)
    {
        window.setGeometry(QRect(screenPos, QSize(comboWidth + 40, 80)));
        combo = new TwwDBComboBox(&window);
        combo->setGeometry(10, 10, comboWidth, 23);
        other = new QLineEdit(&window);
        other->setGeometry(10, 45, 100, 23);
        combo->OnDropDown = [this](QObject *sender) {
            QCOMPARE(sender, combo);
            ++dropDowns;
        };
        combo->OnCloseUp = [this](TwwDBComboBox *sender, bool select) {
            QCOMPARE(sender, combo);
            closeUps << select;
        };
    }

    bool showAndFocus()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        combo->setFocus();
        return combo->hasFocus();
    }

    TwwPopupListbox *list() const { return combo->PopupList(); }
    bool listShows() const { return list() && list()->isVisible(); }
    QString listSelection() const { return list() ? list()->selectedText() : QString(); }
    QToolButton *button() const { return combo->findChild<QToolButton *>(); }
    QPoint comboOrigin() const { return combo->mapToGlobal(QPoint(0, 0)); }
};

}  // namespace

class TestDropDownCombo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaults();
    void enterWithoutListFiresNothing();
    void typingInOpenListSelectsFirstMatchAndEnterTakesIt();
    void typingWithoutMatchKeepsTypedText();
    void escapeClosesWithoutSelect();
    void upDownMoveOnlyTheList();
    void charactersThatShareArrowCodesReachTheEdit();
    void shiftedKeysBelongToTheEdit();
    void clickElsewhereClosesWithSelect();
    void clickInListTakesTheRow();
    void buttonOpensAndCloses();
    void tabClosesWithSelectAndMovesFocus();
    void editKeepsFocusWhileListShows();
    void listHeightFollowsRowsAndDropDownCount();
    void listOpensBelowTheEdit();
    void listOpensAboveNearTheBottom();
    void listRightAlignedNearTheRightEdge();
    void onDropDownMayChangeItems();
    void closedUpDownStepThroughEntries();
    void itemIndexSetsTextAndFollowsList();
    void sortedItemsStaySorted();
    void mapListShowsAndStoresParts();
    void dropDownListStyleOpensOnClick();
    void simpleStyleHasNoList();
    void readOnlyRefusesChoice();
    void hintsOffWhileListShowsAndRestoredOnThrow();
    void autoDropDownAndMatchText();
    void clearKeyEmptiesListStyleBox();
    void hidingOrDestroyingPutsTheListAway();
};

void TestDropDownCombo::defaults()
{
    TwwDBComboBox combo;
    QCOMPARE(combo.Style(), csDropDown);
    QVERIFY(combo.Items().isEmpty());
    QCOMPARE(combo.Sorted(), false);
    QCOMPARE(combo.DropDownCount(), 8);
    QCOMPARE(combo.DropDownWidth(), 0);
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.ShowButton(), true);
    QCOMPARE(combo.ButtonStyle(), cbsDownArrow);
    QCOMPARE(combo.MapList(), false);
    QCOMPARE(combo.AllowClearKey(), false);
    QCOMPARE(combo.AutoDropDown(), false);
    QCOMPARE(combo.ShowMatchText(), false);
    QCOMPARE(combo.ItemHeight(), 0);
    QVERIFY(!combo.OnDropDown && !combo.OnCloseUp);
    QVERIFY(!combo.PopupList());  // created on first use
    // Events fire only when assigned: opening and closing without handlers is harmless.
    combo.setItems(kFontSizes);
    combo.DropDown();
    combo.CloseUp(true);
    QVERIFY(!combo.Dropped());
}

void TestDropDownCombo::enterWithoutListFiresNothing()
{
    Form f;
    f.combo->setItems(kFontNames);
    QVERIFY(f.showAndFocus());
    QTest::keyClicks(f.combo, "Ari");
    QTest::keyClick(f.combo, Qt::Key_Return);
    QCOMPARE(f.combo->text(), QString("Ari"));
    QVERIFY(f.closeUps.isEmpty());
    QCOMPARE(f.dropDowns, 0);
    QVERIFY(!f.listShows());
}

void TestDropDownCombo::typingInOpenListSelectsFirstMatchAndEnterTakesIt()
{
    Form f;
    f.combo->setSorted(true);
    f.combo->setItems(kFontNames);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.combo, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(f.listShows());
    QCOMPARE(f.dropDowns, 1);

    QTest::keyClicks(f.combo, "ari");
    QCOMPARE(f.listSelection(), QString("Arial"));  // first of "Arial", "Arial Black"
    QTest::keyClicks(f.combo, "al b");
    QCOMPARE(f.listSelection(), QString("Arial Black"));
    QCOMPARE(f.combo->text(), QString("arial b"));
    QTest::keyClick(f.combo, Qt::Key_Backspace);  // not a printable key: the list stays
    QCOMPARE(f.listSelection(), QString("Arial Black"));

    f.combo->setModified(false);
    QTest::keyClick(f.combo, Qt::Key_Enter);
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("Arial Black"));
    QVERIFY(f.combo->isModified());
    QCOMPARE(f.combo->ItemIndex(), 1);
    QCOMPARE(f.combo->selectedText(), f.combo->text());  // whole text selected again
}

void TestDropDownCombo::typingWithoutMatchKeepsTypedText()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setText("12");
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QCOMPARE(f.listSelection(), QString("12"));  // the row equal to the edit text
    QCOMPARE(f.list()->verticalScrollBar()->value(), 0);  // visible without scrolling
    QTest::keyClicks(f.combo, "13");
    QCOMPARE(f.list()->selectedRow(), -1);
    QTest::keyClick(f.combo, Qt::Key_Return);
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("13"));
}

void TestDropDownCombo::escapeClosesWithoutSelect()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setText("10");
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::keyClick(f.combo, Qt::Key_Down);
    QCOMPARE(f.listSelection(), QString("12"));
    f.combo->setModified(false);
    QTest::keyClick(f.combo, Qt::Key_Escape);
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{false});
    QCOMPARE(f.combo->text(), QString("10"));
    QVERIFY(!f.combo->isModified());
    // A second Escape with the list closed is not the box's business.
    QTest::keyClick(f.combo, Qt::Key_Escape);
    QCOMPARE(f.closeUps.size(), 1);
}

void TestDropDownCombo::upDownMoveOnlyTheList()
{
    Form f;
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QCOMPARE(f.list()->selectedRow(), -1);  // empty edit: no row
    QTest::keyClick(f.combo, Qt::Key_Down);
    QCOMPARE(f.listSelection(), QString("8"));
    QTest::keyClick(f.combo, Qt::Key_Up);  // stays on the first row
    QCOMPARE(f.listSelection(), QString("8"));
    QTest::keyClick(f.combo, Qt::Key_PageDown);
    QVERIFY(f.list()->selectedRow() > 1);
    QCOMPARE(f.combo->text(), QString());  // the edit never saw them
    QCOMPARE(f.combo->ItemIndex(), f.list()->selectedRow());

    f.combo->setText("abc");
    f.combo->setCursorPosition(3);
    const int row = f.list()->selectedRow();
    QTest::keyClick(f.combo, Qt::Key_Left);  // Left stays with the edit
    QCOMPARE(f.combo->cursorPosition(), 2);
    QCOMPARE(f.list()->selectedRow(), row);
    QTest::keyClick(f.combo, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), f.combo->Items().at(row));
}

// The characters "&" and "(" share their codes with the arrow keys on some keyboards'
// message level; here they are ordinary text.
void TestDropDownCombo::charactersThatShareArrowCodesReachTheEdit()
{
    Form f;
    f.combo->setItems({"(none)", "&Bold", "Plain"});
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QTest::keyClicks(f.combo, "(");
    QCOMPARE(f.combo->text(), QString("("));
    QCOMPARE(f.listSelection(), QString("(none)"));
    f.combo->clear();
    QTest::keyClicks(f.combo, "&");
    QCOMPARE(f.combo->text(), QString("&"));
    QCOMPARE(f.listSelection(), QString("&Bold"));
}

void TestDropDownCombo::shiftedKeysBelongToTheEdit()
{
    Form f;
    f.combo->setItems(kFontNames);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QTest::keyClick(f.combo, Qt::Key_Escape, Qt::ShiftModifier);
    QTest::keyClick(f.combo, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(f.listShows());
    QVERIFY(f.closeUps.isEmpty());
}

void TestDropDownCombo::clickElsewhereClosesWithSelect()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setText("9");
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::mouseClick(f.other, Qt::LeftButton);
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});  // once, though the focus moved as well
    QCOMPARE(f.combo->text(), QString("10"));
    QVERIFY(f.other->hasFocus());

    // A click on the window's bare background closes it too, though no focus moves.
    f.combo->setFocus();
    f.combo->DropDown();
    QTest::mouseClick(&f.window, Qt::LeftButton, {}, QPoint(150, 70));
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps.size(), 2);
}

void TestDropDownCombo::clickInListTakesTheRow()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setItemHeight(16);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QWidget *rows = f.list()->viewport();
    const QRect third = f.list()->visualItemRect(f.list()->item(2));
    QCOMPARE(third.height(), 16);
    QTest::mousePress(rows, Qt::LeftButton, {}, third.center());
    QVERIFY(f.listShows());  // the press only selects
    QCOMPARE(f.listSelection(), QString("10"));
    QTest::mouseRelease(rows, Qt::LeftButton, {}, third.center());
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("10"));
    QVERIFY(f.combo->hasFocus());
}

void TestDropDownCombo::buttonOpensAndCloses()
{
    Form f;
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    f.other->setFocus();
    QToolButton *button = f.button();
    QVERIFY(button && button->isVisible());
    QVERIFY(button->width() >= 15);
    QVERIFY(button->geometry().right() < f.combo->width());
    QVERIFY(button->geometry().right() >= f.combo->width() - 3);  // inside the frame only
    QVERIFY(f.combo->textMargins().right() >= button->width());  // text never runs under it

    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    QVERIFY(f.listShows());
    QVERIFY(f.combo->hasFocus());  // the button brings the focus into the edit
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("8"));

    f.combo->setShowButton(false);
    QVERIFY(!button->isVisible());
    QCOMPARE(f.combo->textMargins().right(), 0);
}

void TestDropDownCombo::tabClosesWithSelectAndMovesFocus()
{
    Form f;
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::keyClick(f.combo, Qt::Key_Tab);
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("8"));
    QVERIFY(f.other->hasFocus());
}

void TestDropDownCombo::editKeepsFocusWhileListShows()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setText("14");
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QVERIFY(f.listShows());
    QVERIFY(f.list()->isWindow());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.combo));
    QCOMPARE(QApplication::activeWindow(), &f.window);
    QCOMPARE(f.list()->focusPolicy(), Qt::NoFocus);
    QCOMPARE(f.combo->selectedText(), QString("14"));  // whole text selected
    QCOMPARE(f.listSelection(), QString("14"));
    // Losing the focus closes the list, accepting its row.
    QTest::keyClick(f.combo, Qt::Key_Down);
    f.other->setFocus();
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("16"));
}

void TestDropDownCombo::listHeightFollowsRowsAndDropDownCount()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setItemHeight(15);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QCOMPARE(f.list()->height(), 8 * 15 + 4);
    QCOMPARE(f.list()->width(), f.combo->width());
    QVERIFY(f.list()->verticalScrollBar()->maximum() > 0);
    f.combo->CloseUp(false);

    f.combo->setItems({"8", "9", "10"});
    f.combo->setDropDownWidth(200);
    f.combo->DropDown();
    QCOMPARE(f.list()->height(), 3 * 15 + 4);
    QCOMPARE(f.list()->width(), 200);
    QCOMPARE(f.list()->verticalScrollBar()->maximum(), 0);  // every row fits
    f.combo->CloseUp(false);

    // Without an item height the rows are as high as the font makes them.
    f.combo->setItemHeight(0);
    f.combo->setDropDownCount(20);
    f.combo->setItems(kFontSizes);
    f.combo->DropDown();
    QCOMPARE(f.list()->height(), 16 * QFontMetrics(f.combo->font()).height() + 4);
    QCOMPARE(f.list()->verticalScrollBar()->maximum(), 0);
    f.combo->CloseUp(false);

    // A selected row beyond the first page is scrolled into view.
    f.combo->setDropDownCount(8);
    f.combo->setText("72");
    f.combo->DropDown();
    QVERIFY(f.list()->viewport()->rect().contains(f.list()->visualItemRect(f.list()->item(15))));
    f.combo->CloseUp(false);

    f.combo->clearItems();
    f.combo->DropDown();
    QCOMPARE(f.list()->height(), 4);
}

void TestDropDownCombo::listOpensBelowTheEdit()
{
    Form f({40, 60});
    f.combo->setItems(kFontSizes);
    f.combo->setItemHeight(15);
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    const QPoint origin = f.comboOrigin();
    QCOMPARE(f.list()->geometry().topLeft(), QPoint(origin.x(), origin.y() + f.combo->height() - 1));
}

void TestDropDownCombo::listOpensAboveNearTheBottom()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Form f({40, screen.bottom() - 100});
    f.combo->setItems(kFontSizes);
    f.combo->setItemHeight(15);
    QVERIFY(f.showAndFocus());
    const QPoint origin = f.comboOrigin();
    QVERIFY(origin.y() + f.combo->height() - 1 + 124 > screen.bottom() + 1);
    f.combo->DropDown();
    QCOMPARE(f.list()->geometry(), QRect(origin.x(), origin.y() - 124, f.combo->width(), 124));
    f.combo->CloseUp(false);

    // Three rows still fit below.
    f.combo->setItems({"8", "9", "10"});
    f.combo->DropDown();
    QCOMPARE(f.list()->y(), origin.y() + f.combo->height() - 1);
}

void TestDropDownCombo::listRightAlignedNearTheRightEdge()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Form f({screen.right() - 200, 60}, 100);
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    const QPoint origin = f.comboOrigin();
    f.combo->setDropDownWidth(300);
    f.combo->DropDown();
    QCOMPARE(f.list()->x(), origin.x() + 100 - 300 - 1);
    f.combo->CloseUp(false);

    // Reaching the edge exactly counts as passing it.
    f.combo->setDropDownWidth(screen.right() + 1 - origin.x());
    f.combo->DropDown();
    QCOMPARE(f.list()->x(), origin.x() + 100 - f.combo->DropDownWidth() - 1);
    f.combo->CloseUp(false);
    f.combo->setDropDownWidth(screen.right() - origin.x());
    f.combo->DropDown();
    QCOMPARE(f.list()->x(), origin.x());
}

void TestDropDownCombo::onDropDownMayChangeItems()
{
    Form f;
    f.combo->setSorted(true);
    QVERIFY(f.showAndFocus());
    f.combo->OnDropDown = [&f](QObject *) {
        f.combo->setFontColor(Qt::black);
        if (f.combo->Items().isEmpty())
            for (const QString &name : kFontNames)
                f.combo->addItem(name);
    };
    f.combo->setFontColor(QColor(0xFF, 0, 0));
    f.combo->DropDown();
    QCOMPARE(f.list()->count(), kFontNames.size());
    QCOMPARE(f.list()->rows().first(), QString("Arial"));
    QCOMPARE(f.combo->FontColor(), QColor(Qt::black));
    QCOMPARE(f.list()->palette().color(QPalette::Text), QColor(Qt::black));
}

void TestDropDownCombo::closedUpDownStepThroughEntries()
{
    Form f;
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.combo, Qt::Key_Down);  // nothing shown yet: the first entry
    QCOMPARE(f.combo->text(), QString("8"));
    QVERIFY(f.combo->isModified());
    QCOMPARE(f.combo->selectedText(), QString("8"));
    QTest::keyClick(f.combo, Qt::Key_Up);  // no entry before the first
    QCOMPARE(f.combo->text(), QString("8"));

    f.combo->setText("28");  // the entry the text shows counts, case aside
    QTest::keyClick(f.combo, Qt::Key_Down);
    QCOMPARE(f.combo->text(), QString("36"));
    f.combo->setText("72");
    QTest::keyClick(f.combo, Qt::Key_Down);
    QCOMPARE(f.combo->text(), QString("72"));
    QVERIFY(!f.listShows());
    QVERIFY(f.closeUps.isEmpty());
}

void TestDropDownCombo::itemIndexSetsTextAndFollowsList()
{
    Form f;
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    f.combo->setItemIndex(4);
    QCOMPARE(f.combo->text(), QString("12"));
    QCOMPARE(f.combo->ItemIndex(), 4);
    f.combo->setText("13");
    f.combo->setItemIndex(-1);  // no entry: the text stays
    QCOMPARE(f.combo->text(), QString("13"));
    QCOMPARE(f.combo->ItemIndex(), -1);
    f.combo->setItemIndex(99);
    QCOMPARE(f.combo->text(), QString("13"));

    // Once the list exists, its row is the index.
    f.combo->setItemIndex(2);
    f.combo->DropDown();
    QCOMPARE(f.combo->ItemIndex(), 2);
    QTest::keyClick(f.combo, Qt::Key_Down);
    QCOMPARE(f.combo->ItemIndex(), 3);
    f.combo->setItemIndex(6);
    QCOMPARE(f.listSelection(), QString("16"));
    QTest::keyClick(f.combo, Qt::Key_Return);
    QCOMPARE(f.combo->text(), QString("16"));
    QCOMPARE(f.combo->ItemIndex(), 6);

    // Items replaced while the list is closed: the index is the remembered one.
    f.combo->setItems({"a", "b"});
    f.combo->setItemIndex(1);
    QCOMPARE(f.combo->ItemIndex(), 1);
    QCOMPARE(f.combo->text(), QString("b"));
}

void TestDropDownCombo::sortedItemsStaySorted()
{
    TwwDBComboBox combo;
    combo.setItems({"Verdana", "arial", "Courier"});
    QCOMPARE(combo.Items(), QStringList({"Verdana", "arial", "Courier"}));
    combo.setSorted(true);
    QCOMPARE(combo.Items(), QStringList({"arial", "Courier", "Verdana"}));
    QCOMPARE(combo.addItem("Tahoma"), 2);
    QCOMPARE(combo.addItem("Arial Black"), 1);
    QCOMPARE(combo.addItem("Zapf"), 5);
    QCOMPARE(combo.Items(), QStringList({"arial", "Arial Black", "Courier", "Tahoma", "Verdana", "Zapf"}));
    QCOMPARE(combo.IndexOf("ARIAL"), -1);
    QCOMPARE(combo.IndexOf("ARIAL", Qt::CaseInsensitive), 0);
    combo.setSorted(false);
    QCOMPARE(combo.addItem("Abadi"), 6);  // unsorted lists append
}

void TestDropDownCombo::mapListShowsAndStoresParts()
{
    Form f;
    f.combo->setItems({"Left\tL", "Center\tC", "Right\tR", "Plain"});
    QVERIFY(f.showAndFocus());
    f.combo->setItemIndex(1);
    QCOMPARE(f.combo->text(), QString("Center"));
    QCOMPARE(f.combo->Value(), QString("Center"));  // MapList off: the text itself
    f.combo->setMapList(true);
    QCOMPARE(f.combo->Value(), QString("C"));
    f.combo->DropDown();
    QCOMPARE(f.list()->rows(), QStringList({"Left", "Center", "Right", "Plain"}));
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::keyClick(f.combo, Qt::Key_Return);
    QCOMPARE(f.combo->text(), QString("Right"));
    QCOMPARE(f.combo->Value(), QString("R"));
    f.combo->setText("Plain");
    QCOMPARE(f.combo->Value(), QString("Plain"));
    f.combo->setText("other");
    QCOMPARE(f.combo->Value(), QString("other"));
}

void TestDropDownCombo::dropDownListStyleOpensOnClick()
{
    Form f;
    f.combo->setStyle(csDropDownList);
    f.combo->setItems({"Left", "Center", "Right"});
    QVERIFY(f.showAndFocus());
    QTest::keyClicks(f.combo, "xyz");  // not typeable
    QCOMPARE(f.combo->text(), QString());

    QTest::mouseClick(f.combo, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.listShows());
    QTest::keyClicks(f.combo, "c");  // picks the row, the edit stays as it is
    QCOMPARE(f.listSelection(), QString("Center"));
    QCOMPARE(f.combo->text(), QString());
    QTest::mouseClick(f.combo, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!f.listShows());
    QCOMPARE(f.closeUps, QList<bool>{true});
    QCOMPARE(f.combo->text(), QString("Center"));

    // Accepting with no row empties a list-style box.
    f.combo->DropDown();
    f.list()->selectRow(-1);
    f.combo->CloseUp(true);
    QCOMPARE(f.combo->text(), QString());
}

void TestDropDownCombo::simpleStyleHasNoList()
{
    Form f;
    f.combo->setStyle(csSimple);
    f.combo->setItems(kFontSizes);
    QVERIFY(f.showAndFocus());
    QVERIFY(!f.button()->isVisible());
    QTest::keyClick(f.combo, Qt::Key_Down, Qt::AltModifier);
    f.combo->DropDown();
    QVERIFY(!f.combo->Dropped());
    QCOMPARE(f.dropDowns, 0);
    QTest::keyClicks(f.combo, "7");
    QCOMPARE(f.combo->text(), QString("7"));
}

void TestDropDownCombo::readOnlyRefusesChoice()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setText("8");
    f.combo->setReadOnly(true);
    QVERIFY(f.showAndFocus());
    QTest::keyClicks(f.combo, "9");
    QCOMPARE(f.combo->text(), QString("8"));
    f.combo->DropDown();
    QTest::keyClick(f.combo, Qt::Key_Down);
    QTest::keyClick(f.combo, Qt::Key_Return);
    QCOMPARE(f.closeUps, QList<bool>{true});  // still reported
    QCOMPARE(f.combo->text(), QString("8"));
}

void TestDropDownCombo::hintsOffWhileListShowsAndRestoredOnThrow()
{
    Form f;
    f.combo->setItems(kFontSizes);
    f.combo->setHint("Font Size | Changes the font size of the selection");
    f.combo->setShowHint(true);
    QCOMPARE(f.combo->toolTip(), QString("Font Size"));
    QCOMPARE(f.combo->statusTip(), QString("Changes the font size of the selection"));
    QVERIFY(f.showAndFocus());
    f.combo->DropDown();
    QVERIFY(!f.combo->ShowHint());
    QVERIFY(f.combo->toolTip().isEmpty());
    f.combo->OnCloseUp = [](TwwDBComboBox *, bool) { throw Exception("handler failed"); };
    QVERIFY_THROWS_EXCEPTION(Exception, f.combo->CloseUp(true));
    QVERIFY(!f.listShows());
    QVERIFY(!f.combo->Dropped());
    QVERIFY(f.combo->ShowHint());
    QCOMPARE(f.combo->toolTip(), QString("Font Size"));

    // A failing OnDropDown leaves the list closed.
    f.combo->OnDropDown = [](QObject *) { throw Exception("no fonts"); };
    QVERIFY_THROWS_EXCEPTION(Exception, f.combo->DropDown());
    QVERIFY(!f.combo->Dropped());
    QVERIFY(!f.listShows());
}

void TestDropDownCombo::autoDropDownAndMatchText()
{
    Form f;
    f.combo->setSorted(true);
    f.combo->setItems(kFontNames);
    f.combo->setAutoDropDown(true);
    f.combo->setShowMatchText(true);
    QVERIFY(f.showAndFocus());
    QTest::keyClicks(f.combo, "cou");
    QVERIFY(f.listShows());
    QCOMPARE(f.dropDowns, 1);
    QCOMPARE(f.listSelection(), QString("courier new"));
    QCOMPARE(f.combo->text(), QString("courier new"));
    QCOMPARE(f.combo->selectedText(), QString("rier new"));
    QTest::keyClicks(f.combo, "x");  // types over the completion
    QCOMPARE(f.combo->text(), QString("coux"));
    QCOMPARE(f.list()->selectedRow(), -1);
}

void TestDropDownCombo::clearKeyEmptiesListStyleBox()
{
    Form f;
    f.combo->setStyle(csDropDownList);
    f.combo->setItems({"Left", "Center", "Right"});
    f.combo->setItemIndex(2);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.combo, Qt::Key_Delete);
    QCOMPARE(f.combo->text(), QString("Right"));  // off by default
    f.combo->setAllowClearKey(true);
    QTest::keyClick(f.combo, Qt::Key_Delete);
    QCOMPARE(f.combo->text(), QString());
    QCOMPARE(f.combo->ItemIndex(), -1);
    QVERIFY(f.combo->isModified());
}

void TestDropDownCombo::hidingOrDestroyingPutsTheListAway()
{
    auto f = std::make_unique<Form>();
    f->combo->setItems(kFontSizes);
    f->combo->setShowHint(true);
    QVERIFY(f->showAndFocus());
    f->combo->DropDown();
    f->window.hide();  // the focus leaves with the window: a choice, as on any focus loss
    QVERIFY(!f->listShows());
    QVERIFY(!f->combo->Dropped());
    QVERIFY(f->combo->ShowHint());
    QCOMPARE(f->closeUps, QList<bool>{true});

    // Destroying the window while the list shows leaves nothing behind.
    f = std::make_unique<Form>();
    f->combo->setItems(kFontSizes);
    QVERIFY(f->showAndFocus());
    f->combo->DropDown();
    f.reset();
    QWidget probe;
    probe.show();
    QTest::mouseClick(&probe, Qt::LeftButton);
}

QTEST_MAIN(TestDropDownCombo)
#include "tst_dropdowncombo.moc"
