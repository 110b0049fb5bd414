#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

class Array;

// How a tint transform runs over an image: once per pixel, or once per distinct pixel value (the
// function is pure, so the bytes come out the same).
enum class TintEvaluation {
    Cached,
    PerPixel
};

// Asked at the start of every row of rowPixels pixels (0: the whole data is one row); true abandons
// the conversion, which then gives nothing.
struct TintCancel {
    std::function<bool()> cancelled;
    long long rowPixels = 0;
};

// Separation and DeviceN samples (one byte per component) through the colour space's tint
// transform into bytes of its alternate space. Nothing comes back when the function cannot be read
// or is not usable, when its output count is not the alternate space's component count, or for a
// DeviceN space without colorants.
std::optional<QByteArray> ApplySeparationTintTransform(const Array& colorSpace, const QByteArray& data,
                                                       TintEvaluation evaluation = TintEvaluation::Cached,
                                                       const TintCancel& cancel = {});
std::optional<QByteArray> ApplyDeviceNTintTransform(const Array& colorSpace, const QByteArray& data,
                                                    TintEvaluation evaluation = TintEvaluation::Cached,
                                                    const TintCancel& cancel = {});

// The number of names in a DeviceN space's element 1 (1 when it is not an array).
int DeviceNColorantCount(const Array& colorSpace);

namespace PDFTintTransformDetail {
// The function of element 3 over data of inputsPerPixel bytes a pixel; expectedOutputs 0 takes
// whatever the function gives.
std::optional<QByteArray> TintTransform(const Array& colorSpace, const QByteArray& data, int inputsPerPixel,
                                        int expectedOutputs, TintEvaluation evaluation, const TintCancel& cancel = {});
} // namespace PDFTintTransformDetail
