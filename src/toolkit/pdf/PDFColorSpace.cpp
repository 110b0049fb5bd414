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

std::vector<double> PDFColorSpace::componentRanges() const
{
    const size_t wanted = 2 * static_cast<size_t>(componentCount());
    if (m_model == Model::Lab) {
        if (m_ranges.size() >= 6)
            return {m_ranges.begin(), m_ranges.begin() + 6};
        if (m_ranges.size() >= 4)
            return {0.0, 100.0, m_ranges[0], m_ranges[1], m_ranges[2], m_ranges[3]};
        return {0.0, 100.0, -100.0, 100.0, -100.0, 100.0};
    }
    std::vector<double> ranges;
    for (size_t i = 0; i < wanted; ++i)
        ranges.push_back(i < m_ranges.size() ? m_ranges[i] : (i % 2 == 0 ? 0.0 : 1.0));
    return ranges;
}
