#pragma once
#include <QByteArray>

class QIODevice;
class TwwCustomRichEdit;

// The stored form of an editor control: its properties as a sequence of records, each
// a one-byte name length and the name, then the value; a zero name length ends them.
//   "RichEditVersion"  4-byte little-endian integer
//   "Data"             4-byte little-endian byte count N, then N bytes exactly as
//                      stream saving produces them (RTF unless PlainText)
//   "Lines.Strings"    4-byte little-endian count, then per line a 4-byte length and
//                      the line's UTF-8 bytes
// Malformed or truncated input raises EStreamError.

// Writes RichEditVersion (always 2, which also becomes the control's version) and,
// for a control not bound to a field, Data.
void WriteStoredRichEdit(TwwCustomRichEdit &edit, QIODevice &out);

// Reads a stored control. The version is 1 unless stored. Unless the control is bound
// to a field, Data replaces the content; without Data, the lines read so far are taken
// as RTF source and loaded again. Returns whether the content came from Data.
bool ReadStoredRichEdit(TwwCustomRichEdit &edit, QIODevice &in);

// The value of the Data property alone: N, then the N bytes.
void WriteRichEditData(TwwCustomRichEdit &edit, QIODevice &out);
// Loads a Data value as RTF (PlainText becomes false); N = 0 leaves the content as is.
// Returns whether content was loaded.
bool ReadRichEditData(TwwCustomRichEdit &edit, QIODevice &in);
