#include "engine/codec/storagechange.h"

#include <QTextBlock>
#include <QTextLayout>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextengine_p.h>
#include <algorithm>

namespace engine {

void announceFormatChange(QTextDocumentPrivate *storage, int from, int to)
{
    const QTextBlock last = storage->blocksFind(std::max(from, to - 1));
    for (QTextBlock block = storage->blocksFind(from); block.isValid(); block = block.next()) {
        if (QTextLayout *layout = QTextDocumentPrivate::block(block)->layout)
            layout->engine()->invalidate();
        if (block == last)
            break;
    }
    storage->documentChange(from, to - from);
}

}  // namespace engine
