#pragma once
#include <QTextCharFormat>

// Objects and marks in the text (pictures, kept objects, note, bookmark and shape marks,
// the stand-in of a field with an empty result) carry the character format of the text
// around them, beside what makes them an object. Text put next to one, typed by the user
// or a page number shown in an empty field's place, takes that character format alone:
// plain text, never a picture's size or name, a note's tooltip, or the field of a mark.
namespace engine {

bool isObjectFormat(const QTextCharFormat &format);

// `format` without its object's properties; any other format as it is. An empty field's
// mark also leaves its field behind, so that text next to it is no part of the field.
QTextCharFormat textFormatOf(const QTextCharFormat &format);

}  // namespace engine
