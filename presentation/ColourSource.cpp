#include "presentation/ColourSource.h"

#include "image/SpmImage.h"

ColourSource LookUpColourSource(const ImageLookup& find, ImageRecords shown, int settingsIndex)
{
    const std::size_t index = PairIndex(settingsIndex);
    CPresentationConfig& shownRecord = (*shown.settings)[index];
    ColourSource result;
    ImageRecords source = find(shownRecord.m_NameOfImageForColor);
    if (!source) {
        result.missingName = shownRecord.m_NameOfImageForColor;
        shownRecord.m_NameOfImageForColor = shown.image->m_strName;
        source = shown;
    }
    result.image = source.image;
    result.settings = &(*source.settings)[index];
    return result;
}
