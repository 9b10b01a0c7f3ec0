#include "engine/codec/documentextras.h"

#include <QTextDocument>
#include <QVariant>

namespace engine {
namespace {

constexpr char kProperty[] = "wpDocumentExtras";

}  // namespace

DocumentExtras documentExtras(const QTextDocument *document)
{
    return document ? document->property(kProperty).value<DocumentExtras>() : DocumentExtras();
}

void setDocumentExtras(QTextDocument *document, const DocumentExtras &extras)
{
    if (!document)
        return;
    document->setProperty(kProperty, QVariant::fromValue(extras));
}

void clearDocumentExtras(QTextDocument *document)
{
    if (document)
        document->setProperty(kProperty, QVariant());
}

}  // namespace engine
