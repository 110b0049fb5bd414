#include "toolkit/pdf/PDFColorSpace.h"

#include <lcms2.h>

#include <algorithm>

ColorProfile::ColorProfile(void* handle)
    : m_handle(handle)
{}

ColorProfile::~ColorProfile()
{
    if (m_handle)
        cmsCloseProfile(static_cast<cmsHPROFILE>(m_handle));
}

std::shared_ptr<const PDFColorSpace> PDFColorSpace::Device(Model model)
{
    return std::shared_ptr<const PDFColorSpace>(new PDFColorSpace(model));
}

std::shared_ptr<const PDFColorSpace> PDFColorSpace::Profiled(Model model, std::shared_ptr<const ColorProfile> profile,
                                                             std::vector<double> ranges)
{
    auto space = std::shared_ptr<PDFColorSpace>(new PDFColorSpace(model));
    space->m_profile = std::move(profile);
    space->m_ranges = std::move(ranges);
    return space;
}

std::shared_ptr<const PDFColorSpace> PDFColorSpace::Indexed(std::shared_ptr<const PDFColorSpace> base, int hival,
                                                            QByteArray table)
{
    auto space = std::shared_ptr<PDFColorSpace>(new PDFColorSpace(Model::Indexed));
    space->m_hival = std::clamp(hival, 0, 255);
    const qsizetype needed = static_cast<qsizetype>(space->m_hival + 1) * (base ? base->componentCount() : 0);
    if (table.size() < needed)
        table.append(QByteArray(needed - table.size(), '\0'));
    else if (table.size() > needed)
        table.truncate(needed);
    space->m_base = std::move(base);
    space->m_table = std::move(table);
    return space;
}

int PDFColorSpace::componentCount() const
{
    switch (m_model) {
    case Model::Gray:
    case Model::Indexed:
        return 1;
    case Model::RGB:
    case Model::Lab:
        return 3;
    case Model::CMYK:
        return 4;
    }
    return 0;
}
