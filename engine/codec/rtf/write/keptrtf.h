#pragma once
#include <QByteArray>
#include <QByteArrayView>

// Kept RTF (headers, footers, notes) names fonts and colours by the numbers of the file
// it was read from. Writing it into another file renumbers those references into the
// writer's tables, adding the fonts and colours it needs.
namespace engine {

struct DocumentExtras;
class OutputFontTable;
class OutputColorTable;

class KeptRtfRenumbering {
public:
    KeptRtfRenumbering(const DocumentExtras &extras, OutputFontTable &fonts, OutputColorTable &colors);
    QByteArray apply(QByteArrayView rtf);

private:
    int fontIndex(int sourceNumber);
    int colorIndex(int sourceIndex);

    const DocumentExtras &m_extras;
    OutputFontTable &m_fonts;
    OutputColorTable &m_colors;
};

}  // namespace engine
