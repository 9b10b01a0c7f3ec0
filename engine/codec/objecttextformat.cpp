#include "engine/codec/objecttextformat.h"

#include "engine/codec/textprops.h"

namespace engine {

bool isObjectFormat(const QTextCharFormat &format)
{
    return format.objectType() != QTextFormat::NoObject || format.hasProperty(prop::ObjectRtf)
           || format.hasProperty(prop::KeptRtf) || format.boolProperty(prop::FieldResultEmpty);
}

QTextCharFormat textFormatOf(const QTextCharFormat &format)
{
    if (!isObjectFormat(format))
        return format;
    QTextCharFormat text = format;
    for (const int property : {int(QTextFormat::ObjectType), int(QTextFormat::ObjectIndex), int(QTextFormat::ImageName),
                               int(QTextFormat::ImageTitle), int(QTextFormat::ImageAltText),
                               int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight),
                               int(QTextFormat::ImageQuality), int(QTextFormat::TextToolTip),
                               int(prop::ImageOriginalBytes), int(prop::ImageOriginalKind), int(prop::ObjectRtf),
                               int(prop::KeptRtf), int(prop::FieldResultEmpty)})
        text.clearProperty(property);
    if (format.boolProperty(prop::FieldResultEmpty)) {
        text.clearProperty(prop::FieldInstruction);
        text.clearProperty(prop::FieldNumber);
    }
    // An object stands on the line by its top, middle or bottom; text is only raised or
    // lowered.
    const QTextCharFormat::VerticalAlignment alignment = format.verticalAlignment();
    if (alignment != QTextCharFormat::AlignSuperScript && alignment != QTextCharFormat::AlignSubScript)
        text.clearProperty(QTextFormat::TextVerticalAlignment);
    return text;
}

}  // namespace engine
