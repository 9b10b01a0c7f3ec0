#include "richedit/wwriched.h"

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
