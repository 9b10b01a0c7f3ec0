#pragma once
#include "engine/view/urldetector.h"

#include <QSyntaxHighlighter>

// Lays display-only formats over a paragraph's text: hidden text grey with a dotted
// underline, hyperlinks and (while URL detection is on) detected URLs underlined in the
// link colour. The stored formats, the undo history and the modified flag are not
// touched, and only the paragraphs that change are looked at again.
namespace engine {

class DisplayHighlighter : public QSyntaxHighlighter {
public:
    explicit DisplayHighlighter(QTextDocument *document);

    void setDetectUrls(bool on);
    bool detectUrls() const { return m_detectUrls; }

protected:
    void highlightBlock(const QString &text) override;

private:
    bool m_detectUrls = false;
};

}  // namespace engine
