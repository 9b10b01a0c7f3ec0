#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"

namespace engine {

int RichEditView::formatRange(FormatRange *range, bool render)
{
    if (!range) {
        if (d->pages)
            d->pages->release();
        return 0;
    }
    if (!d->pages)
        d->pages = std::make_unique<PageLayout>(document());
    return d->pages->formatRange(*range, render);
}

}  // namespace engine
