#include "toolkit/pdf/CalibratedColorProfiles.h"

#include "toolkit/pdf/PDFObjectValues.h"

#include <Object.h>
#include <Dict.h>

#include <lcms2.h>

#include <array>
#include <cmath>

namespace {

using Model = PDFColorSpace::Model;

// The first count numbers of key, defaults where the array is missing or shorter.
template <size_t N>
std::array<double, N> NumbersOr(const Dict& dict, const char* key, const std::array<double, N>& defaults)
{
    std::array<double, N> values = defaults;
    if (auto numbers = PDFObjectValues::NumberArray(dict, key)) {
        for (size_t i = 0; i < N && i < numbers->size(); ++i)
            values[i] = (*numbers)[i];
    }
    return values;
}

// A tristimulus value as chromaticity; none when it has no chromaticity (sum not positive).
bool ToChromaticity(double x, double y, double z, cmsCIExyY& result)
{
    const double sum = x + y + z;
    if (!(sum > 0.0) || !std::isfinite(sum))
        return false;
    const cmsCIEXYZ xyz{x, y, z};
    cmsXYZ2xyY(&result, &xyz);
    return result.y > 0.0;
}

bool WhitePoint(const Dict& dict, cmsCIExyY& white)
{
    const auto point = NumbersOr<3>(dict, "WhitePoint", {0.0, 0.0, 1.0});
    return ToChromaticity(point[0], point[1], point[2], white);
}

double Gamma(double value)
{
    return value > 0.0 && std::isfinite(value) ? value : 1.0;
}

PDFColorSpacePtr Profiled(cmsHPROFILE handle, Model model, std::vector<double> ranges = {})
{
    if (!handle)
        return nullptr;
    return PDFColorSpace::Profiled(model, std::make_shared<const ColorProfile>(handle), std::move(ranges));
}

} // namespace

PDFColorSpacePtr CreateICCColorSpace(const std::vector<uint8_t>& profile, int n, std::vector<double> ranges)
{
    if (profile.empty() || (n != 1 && n != 3 && n != 4))
        return nullptr;
    cmsHPROFILE handle = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
    if (!handle)
        return nullptr;
    const cmsColorSpaceSignature signature = cmsGetColorSpace(handle);
    Model model = Model::Gray;
    if (signature == cmsSigGrayData && n == 1)
        model = Model::Gray;
    else if (signature == cmsSigRgbData && n == 3)
        model = Model::RGB;
    else if (signature == cmsSigLabData && n == 3)
        model = Model::Lab;
    else if (signature == cmsSigCmykData && n == 4)
        model = Model::CMYK;
    else {
        cmsCloseProfile(handle);
        return nullptr;
    }
    return Profiled(handle, model, std::move(ranges));
}

PDFColorSpacePtr CreateCalGrayColorSpace(const Dict& dict)
{
    cmsCIExyY white;
    if (!WhitePoint(dict, white))
        return PDFColorSpace::Device(Model::Gray);
    cmsToneCurve* curve = cmsBuildGamma(nullptr, Gamma(PDFObjectValues::Number(dict, "Gamma").value_or(1.0)));
    cmsHPROFILE handle = curve ? cmsCreateGrayProfile(&white, curve) : nullptr;
    if (curve)
        cmsFreeToneCurve(curve);
    PDFColorSpacePtr space = Profiled(handle, Model::Gray);
    return space ? space : PDFColorSpace::Device(Model::Gray);
}

// The Matrix's columns are the tristimulus values of the three primaries.
PDFColorSpacePtr CreateCalRGBColorSpace(const Dict& dict)
{
    cmsCIExyY white;
    const auto matrix = NumbersOr<9>(dict, "Matrix", {1, 0, 0, 0, 1, 0, 0, 0, 1});
    cmsCIExyYTRIPLE primaries;
    const bool valid = WhitePoint(dict, white)
                       && ToChromaticity(matrix[0], matrix[1], matrix[2], primaries.Red)
                       && ToChromaticity(matrix[3], matrix[4], matrix[5], primaries.Green)
                       && ToChromaticity(matrix[6], matrix[7], matrix[8], primaries.Blue);
    if (!valid)
        return PDFColorSpace::Device(Model::RGB);
    const auto gamma = NumbersOr<3>(dict, "Gamma", {1.0, 1.0, 1.0});
    std::array<cmsToneCurve*, 3> curves{};
    for (size_t i = 0; i < 3; ++i)
        curves[i] = cmsBuildGamma(nullptr, Gamma(gamma[i]));
    cmsHPROFILE handle = nullptr;
    if (curves[0] && curves[1] && curves[2])
        handle = cmsCreateRGBProfile(&white, &primaries, curves.data());
    for (cmsToneCurve* curve : curves) {
        if (curve)
            cmsFreeToneCurve(curve);
    }
    PDFColorSpacePtr space = Profiled(handle, Model::RGB);
    return space ? space : PDFColorSpace::Device(Model::RGB);
}

PDFColorSpacePtr CreateLabColorSpace(const Dict& dict)
{
    cmsCIExyY white;
    if (!WhitePoint(dict, white))
        return PDFColorSpace::Device(Model::RGB);
    const auto range = NumbersOr<4>(dict, "Range", {-100.0, 100.0, -100.0, 100.0});
    PDFColorSpacePtr space = Profiled(cmsCreateLab4Profile(&white), Model::Lab,
                                      {0.0, 100.0, range[0], range[1], range[2], range[3]});
    return space ? space : PDFColorSpace::Device(Model::RGB);
}
