#include "richedit/wwriched.h"

#include "richedit/wwrchdlg.h"
#include "richedit/wwrichtb.h"

// The control's dialog operations; descendants may override each. The paragraph and tab
// dialogs are shown from here; the find and replace operations are in wwriched_search.cpp.
// The operations that have no dialog of their own report that nothing was changed.

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
