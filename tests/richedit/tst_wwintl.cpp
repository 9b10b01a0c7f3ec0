#include "richedit/Wwintl.h"

#include <QtTest>
#include <memory>

// Every test starts without a global table and leaves none behind.
class TestWwIntl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup()
    {
        delete GlobalIntl;
        QVERIFY(!GlobalIntl);
    }

    void defaultsAreTheSystemTexts();
    void globalIsCreatedOnceAndClearedByItsDestruction();
    void ownerDestructionFreesAndClearsTheGlobal();
    void destroyingAnotherTableLeavesTheGlobal();
    void connectingCopiesEveryGroupIntoTheGlobal();
    void connectedGlobalDoesNotCopyOntoItself();
    void loadedCopiesOnlyWhileConnected();
    void checkBoxStylePropagatesOnlyWhenConnected();
    void editorTextsFallBackToDefaultsWithoutGlobal();
};

void TestWwIntl::defaultsAreTheSystemTexts()
{
    TwwIntl intl;
    QCOMPARE(intl.BtnOKCaption, QStringLiteral("&OK"));
    QCOMPARE(intl.BtnCancelCaption, QStringLiteral("Cancel"));
    QVERIFY(intl.OKCancelBitmapped);
    QCOMPARE(intl.DialogFontStyle, TFontStyles());
    QVERIFY(!intl.Connected());
    QCOMPARE(intl.CheckBoxInGridStyle(), cbStyleAuto);
    QVERIFY(intl.UseLocateMethodForSearch);
    QCOMPARE(intl.DefaultEpochYear, 1950);
    QCOMPARE(intl.FilterMemoSize, 65536);

    const TwwDBRichEditIntl &r = intl.RichEdit;
    QCOMPARE(r.FontNameComboHint, QStringLiteral("Font | Changes the font of the selection"));
    QCOMPARE(r.UnderlineButtonHint,
             QStringLiteral("Underline | Formats the selection with a continuous underline (toggle)"));
    QCOMPARE(r.CAPLockCaption, QStringLiteral("CAP"));
    QCOMPARE(r.NUMLockCaption, QStringLiteral("NUM"));
    QCOMPARE(r.MenuLabels.PageSetupCaption, QStringLiteral("Page Set&up"));
    QCOMPARE(r.MenuLabels.InsertObjectCaption, QStringLiteral("&Object..."));
    QCOMPARE(r.PopupMenuLabels.InsertObjectCaption, QStringLiteral("&Insert &Object..."));
    QCOMPARE(r.PopupMenuLabels.ParagraphCaption, QStringLiteral("P&aragraph"));
    QCOMPARE(r.ParagraphDialog.AlignLeft, QStringLiteral("Left"));
    QCOMPARE(r.ParagraphDialog.AlignRight, QStringLiteral("Right"));
    QCOMPARE(r.ParagraphDialog.AlignCenter, QStringLiteral("Center"));
    QCOMPARE(r.ParagraphDialog.AlignJustify, QStringLiteral("Justify"));
    QCOMPARE(r.TabDialog.TabGroupBoxCaption, QStringLiteral("&Tab Stop Position"));

    QCOMPARE(intl.UserMessages.LocateNoMoreMatches, QStringLiteral("No more matches found"));
    QCOMPARE(intl.UserMessages.PictureValidateError, QStringLiteral("Invalid characters. Field : "));
    QCOMPARE(intl.UserMessages.RichEditExitWarning,
             QStringLiteral("Changes have been made!  Do you wish to save your changes?"));
    QCOMPARE(intl.Navigator.ConfirmDeleteMessage, QStringLiteral("Delete record?"));
    QCOMPARE(intl.MonthCalendar.PopupYearLabel, QStringLiteral("Edit Year"));
    QCOMPARE(intl.MonthCalendar.PopupYearErrorMessage, QStringLiteral("Enter Valid Year"));
}

void TestWwIntl::globalIsCreatedOnceAndClearedByItsDestruction()
{
    QObject owner;
    TwwIntl *global = CreateGlobalIntl(owner);
    QCOMPARE(GlobalIntl, global);
    QCOMPARE(global->parent(), &owner);
    QCOMPARE(CreateGlobalIntl(owner), global);  // a second call keeps the first
    delete global;
    QVERIFY(!GlobalIntl);
}

void TestWwIntl::ownerDestructionFreesAndClearsTheGlobal()
{
    auto owner = std::make_unique<QObject>();
    CreateGlobalIntl(*owner);
    QPointer<TwwIntl> watched = GlobalIntl;
    owner.reset();
    QVERIFY(watched.isNull());
    QVERIFY(!GlobalIntl);
}

void TestWwIntl::destroyingAnotherTableLeavesTheGlobal()
{
    TwwIntl *global = CreateGlobalIntl(*qApp);
    {
        TwwIntl other;
        other.RichEdit.NUMLockCaption = QStringLiteral("Num");
        other.SetConnected(true);
    }
    QCOMPARE(GlobalIntl, global);
    QCOMPARE(global->RichEdit.NUMLockCaption, QStringLiteral("Num"));  // texts stay as copied
}

void TestWwIntl::connectingCopiesEveryGroupIntoTheGlobal()
{
    TwwIntl *global = CreateGlobalIntl(*qApp);
    TwwIntl form;
    form.RichEdit.FontHint = QStringLiteral("Schrift");
    form.RichEdit.MenuLabels.FileCaption = QStringLiteral("&Datei");
    form.RichEdit.PopupMenuLabels.CutCaption = QStringLiteral("&Ausschneiden");
    form.RichEdit.ParagraphDialog.AlignLeft = QStringLiteral("Links");
    form.RichEdit.TabDialog.TabDlgCaption = QStringLiteral("Tabulator");
    form.UserMessages.LocateNoMoreMatches = QStringLiteral("Keine weiteren Treffer");
    form.Navigator.ConfirmDeleteMessage = QStringLiteral("Datensatz löschen?");
    form.MonthCalendar.PopupYearLabel = QStringLiteral("Jahr");
    form.BtnOKCaption = QStringLiteral("O&K");
    form.BtnCancelCaption = QStringLiteral("Abbrechen");
    form.OKCancelBitmapped = false;
    form.DialogFontStyle = fsBold | fsItalic;
    form.UseLocateMethodForSearch = false;
    form.DefaultEpochYear = 1980;
    form.FilterMemoSize = 100;
    form.InternalSetting = false;
    form.SetCheckBoxInGridStyle(cbStyleXmark);  // not connected yet: stays local
    QCOMPARE(global->CheckBoxInGridStyle(), cbStyleAuto);

    form.SetConnected(true);

    QCOMPARE(global->RichEdit, form.RichEdit);
    QCOMPARE(global->UserMessages, form.UserMessages);
    QCOMPARE(global->Navigator, form.Navigator);
    QCOMPARE(global->MonthCalendar, form.MonthCalendar);
    QCOMPARE(global->BtnOKCaption, QStringLiteral("O&K"));
    QCOMPARE(global->BtnCancelCaption, QStringLiteral("Abbrechen"));
    QVERIFY(!global->OKCancelBitmapped);
    QCOMPARE(global->DialogFontStyle, fsBold | fsItalic);
    QVERIFY(!global->UseLocateMethodForSearch);
    QCOMPARE(global->DefaultEpochYear, 1980);
    QCOMPARE(global->FilterMemoSize, 100);
    QVERIFY(!global->InternalSetting);
    QCOMPARE(global->CheckBoxInGridStyle(), cbStyleXmark);
    QVERIFY(!global->Connected());  // the global table's own flag is not copied
}

void TestWwIntl::connectedGlobalDoesNotCopyOntoItself()
{
    TwwIntl *global = CreateGlobalIntl(*qApp);
    global->RichEdit.CAPLockCaption = QStringLiteral("Caps");
    global->SetConnected(true);
    global->SetCheckBoxInGridStyle(cbStyleCheckmark);
    global->Loaded();
    QCOMPARE(global->RichEdit.CAPLockCaption, QStringLiteral("Caps"));
    QCOMPARE(global->CheckBoxInGridStyle(), cbStyleCheckmark);
}

void TestWwIntl::loadedCopiesOnlyWhileConnected()
{
    TwwIntl *global = CreateGlobalIntl(*qApp);
    TwwIntl form;
    form.RichEdit.ExitHint = QStringLiteral("Ende");
    form.Loaded();
    QCOMPARE(global->RichEdit.ExitHint, QStringLiteral("Exit"));

    form.SetConnected(true);
    form.RichEdit.ExitHint = QStringLiteral("Verlassen");  // edited after connecting
    QCOMPARE(global->RichEdit.ExitHint, QStringLiteral("Ende"));
    form.Loaded();
    QCOMPARE(global->RichEdit.ExitHint, QStringLiteral("Verlassen"));
}

void TestWwIntl::checkBoxStylePropagatesOnlyWhenConnected()
{
    TwwIntl *global = CreateGlobalIntl(*qApp);
    TwwIntl form;
    form.SetConnected(true);
    form.SetCheckBoxInGridStyle(cbStyleCheckmark);
    QCOMPARE(global->CheckBoxInGridStyle(), cbStyleCheckmark);
    form.SetConnected(false);
    form.SetCheckBoxInGridStyle(cbStyleXmark);
    QCOMPARE(global->CheckBoxInGridStyle(), cbStyleCheckmark);

    // Without any global table a connected one still works on its own.
    delete GlobalIntl;
    form.SetConnected(true);
    form.SetCheckBoxInGridStyle(cbStyleAuto);
    QCOMPARE(form.CheckBoxInGridStyle(), cbStyleAuto);
}

void TestWwIntl::editorTextsFallBackToDefaultsWithoutGlobal()
{
    QCOMPARE(RichEditTexts().ParagraphDialog.AlignRight, QStringLiteral("Right"));
    TwwIntl *global = CreateGlobalIntl(*qApp);
    global->RichEdit.ParagraphDialog.AlignRight = QStringLiteral("Rechts");
    QCOMPARE(RichEditTexts().ParagraphDialog.AlignRight, QStringLiteral("Rechts"));
}

QTEST_MAIN(TestWwIntl)
#include "tst_wwintl.moc"
