#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <vector>

// What the colour-space builder reports beside the colour space it made.
enum class ColorSpaceKind : uint32_t {
    None = 0,
    Gray = 1,
    RGB = 2,
    CMYK = 3,
    CalGray = 4,
    CalRGB = 5,
    Lab = 6,
    ICCBased = 7,
    Indexed = 8,
    Separation = 10,
    DeviceN = 11,
};

// An lcms2 profile, closed when the last colour space that uses it goes.
class ColorProfile {
public:
    // Takes ownership of an open lcms2 profile (cmsHPROFILE).
    explicit ColorProfile(void* handle);
    ~ColorProfile();
    ColorProfile(const ColorProfile&) = delete;
    ColorProfile& operator=(const ColorProfile&) = delete;

    void* handle() const { return m_handle; }

private:
    void* m_handle;
};

// The toolkit's colour-space value: a device space, a calibrated or ICC space carried by its lcms2
// profile, or an Indexed space over a base space with its colour table. Immutable once built.
class PDFColorSpace {
public:
    enum class Model {
        Gray,
        RGB,
        CMYK,
        Lab,
        Indexed
    };

    static std::shared_ptr<const PDFColorSpace> Device(Model model);
    // A space whose colours the profile defines; componentCount is the PDF space's.
    static std::shared_ptr<const PDFColorSpace> Profiled(Model model, std::shared_ptr<const ColorProfile> profile,
                                                         std::vector<double> ranges);
    // hival is kept between 0 and 255; a table shorter than (hival + 1) entries of the base's
    // components is filled up with zeros, so lookups never leave it.
    static std::shared_ptr<const PDFColorSpace> Indexed(std::shared_ptr<const PDFColorSpace> base, int hival,
                                                        QByteArray table);

    Model model() const { return m_model; }
    int componentCount() const;
    // Calibrated, Lab and ICC spaces; none for device and Indexed spaces.
    const ColorProfile* profile() const { return m_profile.get(); }
    // Per component: the lowest and highest value (ICC "Range", Lab's a* and b*).
    const std::vector<double>& ranges() const { return m_ranges; }
    // A pair per component, the lowest and highest value a sample byte spans: L* 0 to 100 and the
    // a*, b* ranges for Lab, an ICC space's Range, else 0 to 1.
    std::vector<double> componentRanges() const;
    const std::shared_ptr<const PDFColorSpace>& base() const { return m_base; }
    int hival() const { return m_hival; }
    const QByteArray& colorTable() const { return m_table; }

private:
    explicit PDFColorSpace(Model model)
        : m_model(model)
    {}

    Model m_model;
    std::shared_ptr<const ColorProfile> m_profile;
    std::vector<double> m_ranges;
    std::shared_ptr<const PDFColorSpace> m_base;
    int m_hival = 0;
    QByteArray m_table;
};

using PDFColorSpacePtr = std::shared_ptr<const PDFColorSpace>;
