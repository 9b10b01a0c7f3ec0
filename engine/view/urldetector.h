#pragma once
#include <QList>
#include <QString>

// Finds the URLs in one paragraph's text: http://, https://, ftp://, file://, mailto:
// and www. addresses, ending before white space, quotes and angle brackets, without
// trailing sentence punctuation.
namespace engine {

struct TextSpan {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool operator==(const TextSpan &) const = default;
};

QList<TextSpan> findUrls(const QString &text);

}  // namespace engine
