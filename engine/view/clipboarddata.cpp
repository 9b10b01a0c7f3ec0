#include "engine/view/clipboarddata.h"

#include "engine/codec/rtf/read/rtfreader.h"

#include <QTextDocument>

namespace engine {
namespace {

const QString &htmlType()
{
    static const QString type = QStringLiteral("text/html");
    return type;
}

}  // namespace

ClipboardData::ClipboardData(const QByteArray &rtf, const QString &text) : m_rtf(rtf)
{
    setText(text);
    for (const QString &type : rtfTypes())
        setData(type, rtf);
}

const QStringList &ClipboardData::rtfTypes()
{
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};
    return types;
}

QStringList ClipboardData::formats() const
{
    QStringList types = QMimeData::formats();
    types.append(htmlType());
    return types;
}

QVariant ClipboardData::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (mimeType == htmlType())
        return html();
    return QMimeData::retrieveData(mimeType, type);
}

QString ClipboardData::html() const
{
    if (!m_htmlMade) {
        QTextDocument copied;
        readRtf(m_rtf, &copied);
        m_html = copied.toHtml();
        m_htmlMade = true;
    }
    return m_html;
}

}  // namespace engine
