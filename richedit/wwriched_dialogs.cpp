#include "richedit/wwriched.h"

// The control's dialog operations that have no dialog yet: each reports that nothing
// was changed. Descendants may override them. The find and replace operations are in
// wwriched_search.cpp.

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
