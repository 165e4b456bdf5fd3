#include "formats/ImageFormat.h"

#include "document/SpmImage.h"
#include "formats/ImageFile.h"

bool ReadImageHeader(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.ReadSpmHeader(path, image.m_header);
    case ImageFormat::kOrigin: return file.ReadOriginHeader(path, image.m_header);
    case ImageFormat::kMdt: return file.ReadMdtHeader(path, image.m_header, image.m_nIndexInFile);
    case ImageFormat::kNanoscope:
        return file.ReadNanoscopeHeader(path, image.m_header, image.m_nIndexInFile);
    case ImageFormat::kNone: break;
    }
    return false;
}

bool ReadImageSamples(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.ReadSpmData(path, image);
    case ImageFormat::kOrigin: return file.ReadOriginData(image);
    case ImageFormat::kMdt: return file.ReadMdtData(image);
    case ImageFormat::kNanoscope: return file.ReadNanoscopeData(image);
    case ImageFormat::kNone: break;
    }
    return false;
}

bool WriteImage(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.WriteSpm(path, image);
    case ImageFormat::kNanoscope: return file.WriteNanoscope(path, image);
    case ImageFormat::kMdt: return file.WriteMdt(path, image);
    case ImageFormat::kOrigin:
    case ImageFormat::kNone: break;
    }
    return false;
}
