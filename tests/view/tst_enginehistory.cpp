#include "engine/view/richeditview.h"

#include <QStandardPaths>
#include <QTest>

using namespace engine;

class TestEngineHistory : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void newViewHasNothingToUndo()
    {
        RichEditView view;
        QVERIFY(!view.canUndo());
        QVERIFY(!view.canRedo());
        QVERIFY(!view.document()->isModified());
    }

    void undoAndRedoManyLevels()
    {
        RichEditView view;
        const QStringList pieces{QStringLiteral("one "), QStringLiteral("two\r"), QStringLiteral("three "),
                                 QStringLiteral("four\r\nfive"), QStringLiteral(" six")};
        QStringList states{QString()};
        for (const QString &piece : pieces) {
            view.replaceSelection(piece);
            states.append(view.textRange({0, -1}));
        }
        for (int i = pieces.size() - 1; i >= 0; --i) {
            QVERIFY(view.canUndo());
            view.undoLast();
            QCOMPARE(view.textRange({0, -1}), states.at(i));
        }
        QVERIFY(!view.canUndo());
        for (int i = 1; i <= pieces.size(); ++i) {
            QVERIFY(view.canRedo());
            view.redoLast();
            QCOMPARE(view.textRange({0, -1}), states.at(i));
        }
        QVERIFY(!view.canRedo());
    }

    void aNewEditDropsTheRedoSteps()
    {
        RichEditView view;
        view.replaceSelection(QStringLiteral("first"));
        view.replaceSelection(QStringLiteral(" second"));
        view.undoLast();
        QVERIFY(view.canRedo());
        view.replaceSelection(QStringLiteral(" other"));
        QVERIFY(!view.canRedo());
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("first other"));
    }

    void formatChangesAreUndoneInOneStep()
    {
        RichEditView view;
        view.replaceSelection(QStringLiteral("a\rb\rc"));
        view.setSelectionRange({0, -1});
        CharFormat bold;
        bold.mask = CFM_BOLD | CFM_ITALIC;
        bold.effects = CFE_BOLD | CFE_ITALIC;
        view.setCharFormat(bold, true);
        ParaFormat para;
        para.mask = PFM_ALIGNMENT | PFM_NUMBERING;
        para.alignment = PFA_RIGHT;
        para.numbering = PFN_BULLET;
        view.setParaFormat(para);

        view.undoLast();  // paragraph format, bullets included
        view.setSelectionRange({0, -1});
        QCOMPARE(view.paraFormat().alignment, quint16(PFA_LEFT));
        QCOMPARE(view.paraFormat().numbering, quint16(PFN_NONE));
        QVERIFY(view.charFormat(true).effects & CFE_BOLD);
        view.undoLast();  // character format
        view.setSelectionRange({0, -1});
        QVERIFY(!(view.charFormat(true).effects & CFE_BOLD));
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("a\rb\rc"));
        view.undoLast();  // the text
        QCOMPARE(view.textLength(), 0);
        QVERIFY(!view.canUndo());
    }

    void typedWordsUndoAfterTyping()
    {
        RichEditView view;
        view.show();
        view.setFocus();
        QTest::keyClicks(&view, QStringLiteral("typed"));
        QVERIFY(view.canUndo());
        QVERIFY(view.document()->isModified());
        while (view.canUndo())
            view.undoLast();
        QCOMPARE(view.textLength(), 0);
    }
};

QTEST_MAIN(TestEngineHistory)
#include "tst_enginehistory.moc"
