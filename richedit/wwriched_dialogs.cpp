#include "richedit/wwriched.h"

#include "richedit/wwrchdlg.h"
#include "richedit/wwrichtb.h"

// The control's dialog operations; descendants may override each. The paragraph and tab
// dialogs are shown from here. The other operations in their plain form report that
// nothing was changed; the units that build the find and replace dialogs, the object
// insertion and the editor window define them instead.

void TwwCustomRichEdit::ExecuteFindDialog() {}

void TwwCustomRichEdit::ExecuteReplaceDialog() {}

void TwwCustomRichEdit::FindNext() {}

void TwwCustomRichEdit::DoReplace() {}

bool TwwCustomRichEdit::InsertObject()
{
    return false;
}

bool TwwCustomRichEdit::ExecuteEditorWindow()
{
    return false;
}

bool TwwCustomRichEdit::ExecuteParagraphDialog()
{
    return TwwRichParagraphDialog::ExecuteParagraphDialog(this);
}

bool TwwCustomRichEdit::ExecuteTabDialog()
{
    return TwwRichTabDialog::ExecuteTabDialog(this);
}
