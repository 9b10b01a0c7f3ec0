#include "richedit/wwriched.h"

// The control's dialog operations that have no dialog yet: each reports that nothing
// was changed. Descendants may override them.

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
