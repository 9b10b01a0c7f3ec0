#pragma once
#include <QByteArray>
#include <QMimeData>
#include <QString>

// What Copy puts on the clipboard: the selection as RTF (under each name programs ask
// for it by) and as plain text, both fixed when it is copied, and as HTML, made from
// that RTF only when a program asks for it: for a large selection the HTML costs as
// much as the copy itself, and most receivers take RTF or text.
namespace engine {

class ClipboardData : public QMimeData {
    Q_OBJECT
public:
    ClipboardData(const QByteArray &rtf, const QString &text);

    static const QStringList &rtfTypes();

    QStringList formats() const override;  // Qt's hasFormat() asks this too

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QString html() const;

    QByteArray m_rtf;
    mutable QString m_html;
    mutable bool m_htmlMade = false;
};

}  // namespace engine
