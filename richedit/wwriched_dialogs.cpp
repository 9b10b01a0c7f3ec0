#include "richedit/wwriched.h"

#include "richedit/wwrchdlg.h"
#include "richedit/wwrich.h"
#include "richedit/wwrichtb.h"

// The control's dialog operations; descendants may override each. The editor window, the
// paragraph and tab dialogs are shown from here; the find and replace operations are in
// wwriched_search.cpp.

bool TwwCustomRichEdit::ExecuteEditorWindow()
{
    return TwwRichEditForm::Execute(this);
}

bool TwwCustomRichEdit::ExecuteParagraphDialog()
{
    return TwwRichParagraphDialog::ExecuteParagraphDialog(this);
}

bool TwwCustomRichEdit::ExecuteTabDialog()
{
    return TwwRichTabDialog::ExecuteTabDialog(this);
}
