#include "richedit/wwriched.h"

// The control's dialog operations in their plain form: each reports that nothing was
// changed. The units that build the find and replace dialogs, the paragraph and tab
// dialogs, the object insertion and the editor window define these operations instead,
// and descendants may override them.

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
    return false;
}

bool TwwCustomRichEdit::ExecuteTabDialog()
{
    return false;
}
