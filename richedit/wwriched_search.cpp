#include "richedit/wwriched.h"

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/waitcursor.h"
#include "richedit/Wwintl.h"
#include "richedit/wwfinddialog.h"

#include <optional>

// Searching and replacing through the modeless find and replace dialogs. A search run
// begins when a dialog is opened, goes forward from the selection to the end, wraps
// once to the top, stops at the run's start and ends with a message, which also starts
// a new run at the selection.

namespace {

TwwSearchOptions searchOptionsOf(TFindOptions options)
{
    TwwSearchOptions search;
    search.setFlag(TwwSearchOption::MatchCase, options.testFlag(frMatchCase));
    search.setFlag(TwwSearchOption::WholeWord, options.testFlag(frWholeWord));
    return search;
}

QString noMoreMatchesText()
{
    return GlobalIntl ? GlobalIntl->UserMessages.LocateNoMoreMatches : TwwUserMessagesIntl().LocateNoMoreMatches;
}

}  // namespace

// One call of FindAndReplace. It works on its own copy of the selection and gives it to
// the view when it ends, so that a Replace All run does not scroll, repaint and refresh
// the main window at every match. Its replacements call BeforeModify once, and under
// Replace All they form one undo step.
struct TwwCustomRichEdit::SearchPass {
    TwwCustomRichEdit &edit;
    const QString find;  // the search text, as long as a match
    const TwwSearchOptions options;
    const bool groupReplacements;
    engine::CharRange selection;
    bool modifying = false;

    SearchPass(TwwCustomRichEdit &editor, TFindOptions dialogOptions, bool replaceAll)
        : edit(editor), find(editor.LastFindText), options(searchOptionsOf(dialogOptions)),
          groupReplacements(replaceAll), selection(editor.selectionRange())
    {
    }

    ~SearchPass()
    {
        if (modifying && groupReplacements)
            edit.endUndoGroup();
        // Setting an unchanged selection again would turn a backward selection around.
        if (selection != edit.selectionRange())
            edit.setSelectionRange(selection);
    }

    SearchPass(const SearchPass &) = delete;
    SearchPass &operator=(const SearchPass &) = delete;

    int search(int from) const { return edit.SearchText(find, from, edit.textLength(), options); }

    // Replaces the selection when it is a match and leaves the caret after the new text.
    // The run's start, and the first text the run replaced, move with the text before
    // them.
    bool replaceSelectedMatch(const QString &replaceText)
    {
        const int at = selection.min;
        if (selection.max - at != find.size() || search(at) != at)
            return false;
        const int inserted = replace({at, int(at + find.size())}, replaceText);
        const int growth = inserted - int(find.size());
        if (edit.FindWrapped) {
            edit.FindStartPos += growth;
            if (edit.m_runReplacedFrom >= 0)
                edit.m_runReplacedFrom += growth;
        } else {
            if (at < edit.FindStartPos)
                edit.FindStartPos += growth;
            if (edit.m_runReplacedFrom < 0 || at < edit.m_runReplacedFrom)
                edit.m_runReplacedFrom = at;
        }
        selection = {at + inserted, at + inserted};
        return true;
    }

    // The next match of the run, or -1. After a replacement the search goes on at the
    // caret, so that a match right after the new text is not skipped and the new text is
    // never searched; otherwise one character after the selection start.
    int nextMatch(bool afterReplacement)
    {
        const int from = afterReplacement ? selection.min : selection.min + 1;
        int position = search(from);
        if (edit.FindWrapped)
            return acceptedAfterWrap(position) ? position : -1;
        if (position < 0 && selection.min > 0) {
            position = search(0);
            edit.FindWrapped = true;
            return acceptedAfterWrap(position) ? position : -1;
        }
        return position;
    }

    // After wrapping, a match may start at the run's start but not beyond it, and must
    // end before the text the run replaced before wrapping.
    bool acceptedAfterWrap(int position) const
    {
        if (position < 0 || position > edit.FindStartPos)
            return false;
        return edit.m_runReplacedFrom < 0 || position + find.size() <= edit.m_runReplacedFrom;
    }

    // Answers the number of characters inserted.
    int replace(engine::CharRange range, const QString &text)
    {
        if (!modifying) {
            edit.BeforeModify();
            if (groupReplacements)
                edit.beginUndoGroup();
            modifying = true;
        }
        const int before = edit.textLength();
        edit.replaceRange(range, text);
        return edit.textLength() - before + (range.max - range.min);
    }
};

void TwwCustomRichEdit::createSearchDialogs()
{
    m_findDialog = new TFindDialog(this);
    m_findDialog->setObjectName(QStringLiteral("FindDialog"));
    m_findDialog->SetOptions(frHideUpDown | frReplace | frReplaceAll);
    m_findDialog->OnFind = [this](TFindDialog *sender) { FindDialogFind(sender); };
    m_findDialog->OnClose = [this](TFindDialog *sender) { FindDialogClose(sender); };

    m_replaceDialog = new TReplaceDialog(this);
    m_replaceDialog->setObjectName(QStringLiteral("ReplaceDialog"));
    m_replaceDialog->SetOptions(frDown);
    m_replaceDialog->OnFind = [this](TFindDialog *sender) { FindDialogFind(sender); };
    m_replaceDialog->OnReplace = [this](TFindDialog *sender) { ReplaceDialogReplace(sender); };
    m_replaceDialog->OnClose = [this](TFindDialog *sender) { FindDialogClose(sender); };
    m_searchDialog = m_findDialog;
}

void TwwCustomRichEdit::ExecuteFindDialog()
{
    openSearchDialog(m_findDialog);
}

void TwwCustomRichEdit::ExecuteReplaceDialog()
{
    openSearchDialog(m_replaceDialog);
}

// A selection within one paragraph becomes the find text; otherwise the last one. The
// selection stays visible while a dialog has the focus; the HideSelection the user had
// is kept from before the first dialog opened and comes back when the last one closes.
void TwwCustomRichEdit::openSearchDialog(TFindDialog *dialog)
{
    const QString selected = SelText();
    dialog->SetFindText(selected.isEmpty() || selected.contains(QLatin1Char('\r')) ? LastFindText : selected);
    FindWrapped = false;
    FindStartPos = SelStart();
    m_runReplacedFrom = -1;
    if (!searchDialogOpen())
        SavedHideSelection = HideSelection();
    SetHideSelection(false);
    dialog->Execute();
}

bool TwwCustomRichEdit::searchDialogOpen() const
{
    return m_findDialog->isVisible() || m_replaceDialog->isVisible();
}

// Find Next in either dialog searches with that dialog's own options, which Find Next
// (F3) then keeps using.
void TwwCustomRichEdit::FindDialogFind(TFindDialog *sender)
{
    LastFindText = sender->FindText();
    m_findDialog->SetFindText(LastFindText);
    m_searchDialog = sender;
    FindNext();
}

void TwwCustomRichEdit::ReplaceDialogReplace(TFindDialog *)
{
    LastFindText = m_replaceDialog->FindText();
    DoReplace();
}

void TwwCustomRichEdit::FindDialogClose(TFindDialog *)
{
    if (!searchDialogOpen())
        SetHideSelection(SavedHideSelection);
}

void TwwCustomRichEdit::FindNext()
{
    FindAndReplace(m_searchDialog, false, QString());
}

void TwwCustomRichEdit::DoReplace()
{
    FindAndReplace(m_replaceDialog, true, m_replaceDialog->ReplaceText());
}

// Finds the next match of LastFindText and selects it. Replacing, a selection that is a
// match is replaced first; Replace All repeats this until the run has no match left.
// A read-only editor is searched but never changed.
void TwwCustomRichEdit::FindAndReplace(TFindDialog *dialog, bool replacing, const QString &replaceText)
{
    const bool replaceAll = replacing && dialog->Options().testFlag(frReplaceAll);
    replacing = replacing && !GetReadOnly();
    {
        std::optional<WaitCursor> busy;
        if (replaceAll)
            busy.emplace();
        SearchPass pass(*this, dialog->Options(), replaceAll);
        for (;;) {
            const bool replaced = replacing && pass.replaceSelectedMatch(replaceText);
            const int position = pass.nextMatch(replaced);
            if (position < 0)
                break;
            pass.selection = {position, int(position + pass.find.size())};
            if (!replaceAll)
                return;
        }
    }
    QWidget *owner = dialog->isVisible() ? static_cast<QWidget *>(dialog) : this;
    platform::dialogs().messageBox(owner, platform::applicationTitle(), noMoreMatchesText(),
                                   platform::MessageIcon::Information, platform::MessageButtons::OK);
    endSearchRun();
}

void TwwCustomRichEdit::endSearchRun()
{
    FindStartPos = SelStart();
    FindWrapped = false;
    m_runReplacedFrom = -1;
}

// Searching forward in the content; the engine answers the start of the first match
// in the range, or -1.
int TwwCustomRichEdit::SearchText(const QString &text, int startPos, int length,
                                  TwwSearchOptions options)
{
    quint32 flags = engine::FR_DOWN;
    if (options.testFlag(TwwSearchOption::WholeWord))
        flags |= engine::FR_WHOLEWORD;
    if (options.testFlag(TwwSearchOption::MatchCase))
        flags |= engine::FR_MATCHCASE;
    return findText(flags, {startPos, startPos + length}, text);
}
