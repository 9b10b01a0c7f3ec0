#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QObject;
class QAction;
class QWidget;
class TwwCustomRichEdit;
class TwwDBComboBox;

// The controls of a window that show an editor's state: the format bar, the toolbar and
// the Edit menu. The word processor's main window and the editor window keep theirs in
// step with their editor through UpdateControlStates.
struct TwwStateControls {
    QAbstractButton *BoldButton = nullptr;
    QAbstractButton *ItalicButton = nullptr;
    QAbstractButton *UnderlineButton = nullptr;
    TwwDBComboBox *FontNameCombo = nullptr;
    TwwDBComboBox *FontSizeCombo = nullptr;
    QAbstractButton *BulletButton = nullptr;
    QAction *BulletStyle1 = nullptr;
    QAbstractButton *LeftButton = nullptr;
    QAbstractButton *CenterButton = nullptr;
    QAbstractButton *RightButton = nullptr;
    QAction *Paste1 = nullptr;
    QAbstractButton *PasteButton = nullptr;
    QAction *Undo1 = nullptr;
    QAction *Redo1 = nullptr;
    QAbstractButton *UndoButton = nullptr;
    QAbstractButton *RedoButton = nullptr;
    QAction *Cut1 = nullptr;
    QAbstractButton *CutButton = nullptr;
    QAction *Copy1 = nullptr;
    QAbstractButton *CopyButton = nullptr;
    QAction *Clear1 = nullptr;
    QAction *SelectAll1 = nullptr;
    QAction *Find1 = nullptr;
    QAbstractButton *FindButton = nullptr;
    QAction *FindNext1 = nullptr;
    QAction *Replace1 = nullptr;
};

// Collects a window's state controls by the names both editing windows give them; only
// the Undo menu item is named differently, so the caller passes it.
template <typename Window>
TwwStateControls CollectStateControls(const Window &window, QAction *undoItem)
{
    TwwStateControls controls;
    controls.BoldButton = window.BoldButton;
    controls.ItalicButton = window.ItalicButton;
    controls.UnderlineButton = window.UnderlineButton;
    controls.FontNameCombo = window.FontNameCombo;
    controls.FontSizeCombo = window.FontSizeCombo;
    controls.BulletButton = window.BulletButton;
    controls.BulletStyle1 = window.BulletStyle1;
    controls.LeftButton = window.LeftButton;
    controls.CenterButton = window.CenterButton;
    controls.RightButton = window.RightButton;
    controls.Paste1 = window.Paste1;
    controls.PasteButton = window.PasteButton;
    controls.Undo1 = undoItem;
    controls.Redo1 = window.Redo1;
    controls.UndoButton = window.UndoButton;
    controls.RedoButton = window.RedoButton;
    controls.Cut1 = window.Cut1;
    controls.CutButton = window.CutButton;
    controls.Copy1 = window.Copy1;
    controls.CopyButton = window.CopyButton;
    controls.Clear1 = window.Clear1;
    controls.SelectAll1 = window.SelectAll1;
    controls.Find1 = window.Find1;
    controls.FindButton = window.FindButton;
    controls.FindNext1 = window.FindNext1;
    controls.Replace1 = window.Replace1;
    return controls;
}

// Brings the controls in line with the editor, in this order: the style buttons, the
// face and size boxes, the bullet button and its menu item, the alignment buttons (a
// justified or mixed selection leaves them), paste, undo and redo, then the commands that
// need a selection or any text. Cut, paste, clear and replace stay off while the editor is
// read-only.
void UpdateControlStates(TwwCustomRichEdit &editor, const TwwStateControls &controls);
void UpdateFormatBarStates(TwwCustomRichEdit &editor, const TwwStateControls &controls);
void UpdatePasteStates(TwwCustomRichEdit &editor, const TwwStateControls &controls);

// The face box shows the selection's face also when no installed font has it (in red,
// as a warning that another face stands in for it), and nothing over mixed faces.
void ShowSelectionFontName(TwwDBComboBox *combo, const QString &name);

// The sizes the size box offers.
const QStringList &FontSizeItems();
// A whole number of points from 1 to 1638 typed into the size box; anything else shows
// a message on `parent` and gives nothing.
std::optional<int> FontSizeFromText(QWidget *parent, const QString &text);

// Shows or hides a window's toolbar and format bar with their lines. A bar and its line
// go together: shown line first, hidden bar first; the format bar's pair is hidden
// before, and shown after, the toolbar's pair, which keeps the order line, bar, line, bar
// from the top.
void ShowBarPairs(QWidget *toolbarLine, QWidget *toolbar, QWidget *formatBarLine, QWidget *formatBar,
                  bool toolbarVisible, bool formatBarVisible);

// Makes the style, bullet and alignment buttons toggles that stay down after a click (a
// second click releases them), the alignment buttons one radio group, owned by `owner`.
QButtonGroup *MakeFormatBarToggles(QObject *owner, const TwwStateControls &controls);
