#include "richedit/wwcontrolstates.h"

#include "components/Wwdbcomb.h"
#include "platform/dialogs.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QPalette>
#include <QWidget>

namespace {

// The largest size the engine's character heights carry, in points.
constexpr int kLargestPointSize = 1638;

const QColor kMissingFontColour = Qt::red;

void setEnabled(QAction *item, bool on)
{
    if (item)
        item->setEnabled(on);
}

void setEnabled(QAbstractButton *button, bool on)
{
    if (button)
        button->setEnabled(on);
}

bool hasText(TwwCustomRichEdit &editor)
{
    const TwwRichEditStrings &lines = *editor.Lines();
    return lines.Count() > 1 || (lines.Count() == 1 && !lines.Get(0).isEmpty());
}

}  // namespace

void UpdateControlStates(TwwCustomRichEdit &editor, const TwwStateControls &c)
{
    UpdateFormatBarStates(editor, c);
    UpdatePasteStates(editor, c);
    setEnabled(c.Undo1, editor.CanUndo());
    setEnabled(c.Redo1, editor.CanRedo());
    setEnabled(c.UndoButton, editor.CanUndo());
    setEnabled(c.RedoButton, editor.CanRedo());

    const bool selection = editor.HasSelection();
    const bool text = hasText(editor);
    setEnabled(c.Cut1, selection && !editor.ReadOnly());
    setEnabled(c.CutButton, selection && !editor.ReadOnly());
    setEnabled(c.Copy1, selection);
    setEnabled(c.CopyButton, selection);
    setEnabled(c.Clear1, selection && !editor.ReadOnly());
    setEnabled(c.SelectAll1, text);
    setEnabled(c.Find1, text);
    setEnabled(c.FindButton, text);
    setEnabled(c.FindNext1, editor.CanFindNext());
    setEnabled(c.Replace1, text && !editor.ReadOnly());
}

// The format bar from one read of the selection.
void UpdateFormatBarStates(TwwCustomRichEdit &editor, const TwwStateControls &c)
{
    const TSelectionFormats formats = editor.SelectionFormats();
    c.BoldButton->setChecked(formats.Style.testFlag(fsBold));
    c.UnderlineButton->setChecked(formats.Style.testFlag(fsUnderline));
    c.ItalicButton->setChecked(formats.Style.testFlag(fsItalic));

    ShowSelectionFontName(c.FontNameCombo, formats.Name);
    c.FontSizeCombo->setItemIndex(c.FontSizeCombo->IndexOf(QString::number(formats.Size)));

    c.BulletButton->setChecked(formats.Numbering == nsBullet);
    c.BulletStyle1->setChecked(c.BulletButton->isChecked());

    switch (formats.Alignment) {
    case taLeftJustify: c.LeftButton->setChecked(true); break;
    case taRightJustify: c.RightButton->setChecked(true); break;
    case taCenter: c.CenterButton->setChecked(true); break;
    default: break;  // justified or mixed: the buttons stay as they were
    }
}

void UpdatePasteStates(TwwCustomRichEdit &editor, const TwwStateControls &c)
{
    const bool paste = editor.CanPaste() && !editor.ReadOnly();
    setEnabled(c.Paste1, paste);
    setEnabled(c.PasteButton, paste);
}

void ShowSelectionFontName(TwwDBComboBox *combo, const QString &name)
{
    const int index = combo->IndexOf(name, Qt::CaseInsensitive);
    combo->setItemIndex(index);
    if (index < 0 && combo->text() != name)
        combo->setText(name);
    const bool missing = index < 0 && !name.isEmpty();
    combo->setFontColor(missing ? kMissingFontColour : combo->palette().color(QPalette::WindowText));
}

const QStringList &FontSizeItems()
{
    static const QStringList sizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                      "20", "22", "24", "26", "28", "36", "48", "72"};
    return sizes;
}

std::optional<int> FontSizeFromText(QWidget *parent, const QString &text)
{
    bool ok = false;
    const int points = text.trimmed().toInt(&ok, 10);
    if (ok && points >= 1 && points <= kLargestPointSize)
        return points;
    platform::showError(parent, QStringLiteral("Please enter a font size from 1 to %1.").arg(kLargestPointSize));
    return std::nullopt;
}

void ShowBarPairs(QWidget *toolbarLine, QWidget *toolbar, QWidget *formatBarLine, QWidget *formatBar,
                  bool toolbarVisible, bool formatBarVisible)
{
    const auto setToolbarPair = [&] {
        if (toolbarVisible) {
            toolbarLine->show();
            toolbar->show();
        } else {
            toolbar->hide();
            toolbarLine->hide();
        }
    };
    if (formatBarVisible) {
        setToolbarPair();
        formatBarLine->show();
        formatBar->show();
    } else {
        formatBar->hide();
        formatBarLine->hide();
        setToolbarPair();
    }
}

QButtonGroup *MakeFormatBarToggles(QObject *owner, const TwwStateControls &c)
{
    for (QAbstractButton *toggle : {c.BoldButton, c.ItalicButton, c.UnderlineButton, c.BulletButton, c.LeftButton,
                                    c.CenterButton, c.RightButton})
        toggle->setCheckable(true);
    auto *group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QAbstractButton *alignment : {c.LeftButton, c.CenterButton, c.RightButton})
        group->addButton(alignment);
    return group;
}
