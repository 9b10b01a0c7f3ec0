#pragma once

class QTextDocument;
class QTextImageFormat;

namespace engine {

class RtfOutput;

// Writes one picture as a {\pict ...} group: the original PNG or JPEG bytes the reader
// kept, or else the document's image resource encoded as PNG. Returns false (writing
// nothing) when the document holds no image for the format.
bool writeRtfPicture(RtfOutput &out, const QTextDocument *document, const QTextImageFormat &format);

}  // namespace engine
