#include "app/WPForm.h"

#include "platform/clock.h"
#include "richedit/wwriched.h"

#include <QLocale>

namespace {

// The locale's long time format without its time zone, which a clock reading on the
// desktop does not show.
QString longTimeFormatWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            kept += c;
    }
    return kept.simplified();
}

// The locale's short date, a blank and its long time; no time at exactly midnight.
QString dateAndTimeText(const QDateTime &moment)
{
    const QLocale locale;
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(moment.time(), longTimeFormatWithoutZone(locale));
}

}  // namespace

void TfmPellWP::Find1Click()
{
    RichEdit1->ExecuteFindDialog();
}

void TfmPellWP::FindNext1Click()
{
    RichEdit1->FindNext();
}

void TfmPellWP::Replace1Click()
{
    RichEdit1->ExecuteReplaceDialog();
}

// The date and time go in front of the selection, which stays in the text. A read-only
// document is left as it is.
void TfmPellWP::DateandTime1Click()
{
    if (RichEdit1->ReadOnly())
        return;
    RichEdit1->SetSelLength(0);
    RichEdit1->SetSelText(dateAndTimeText(platform::currentDateTime()));
}
