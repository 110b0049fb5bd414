#include "platform/pdffonts/InstalledFontFaces.h"

#include <fontconfig/fontconfig.h>
#include <hb.h>

#include <mutex>

namespace {

// fontconfig's own configuration is loaded once per process.
FcConfig* fontConfiguration()
{
    static std::once_flag once;
    static FcConfig* config = nullptr;
    std::call_once(once, [] { config = FcInitLoadConfigAndFonts(); });
    return config;
}

} // namespace

void InstalledFontFaces::FaceRelease::operator()(hb_face_t* face) const
{
    hb_face_destroy(face);
}

InstalledFontFaces::InstalledFontFaces() = default;
InstalledFontFaces::~InstalledFontFaces() = default;

std::pair<std::string, int> InstalledFontFaces::fileOf(const std::string& postScriptName)
{
    FcConfig* config = fontConfiguration();
    if (config == nullptr || postScriptName.empty())
        return {};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_POSTSCRIPT_NAME, reinterpret_cast<const FcChar8*>(postScriptName.c_str()));
    FcObjectSet* properties = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_POSTSCRIPT_NAME, nullptr);
    FcFontSet* fonts = FcFontList(config, pattern, properties);
    std::pair<std::string, int> found;
    for (int i = 0; fonts != nullptr && i < fonts->nfont && found.first.empty(); ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        FcChar8* name = nullptr;
        // The list matches names case-insensitively; the PDF's name is exact.
        if (FcPatternGetString(fonts->fonts[i], FC_POSTSCRIPT_NAME, 0, &name) != FcResultMatch
            || postScriptName != reinterpret_cast<const char*>(name))
            continue;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
            found = {reinterpret_cast<const char*>(file), index};
        }
    }
    if (fonts != nullptr)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(properties);
    FcPatternDestroy(pattern);
    return found;
}

hb_face_t* InstalledFontFaces::faceNamed(const std::string& postScriptName)
{
    const auto known = m_faces.find(postScriptName);
    if (known != m_faces.end())
        return known->second.get();
    std::unique_ptr<hb_face_t, FaceRelease> face;
    const auto [file, index] = fileOf(postScriptName);
    if (!file.empty()) {
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(file.c_str());
        if (blob != nullptr) {
            face.reset(hb_face_create(blob, static_cast<unsigned>(index)));
            hb_blob_destroy(blob);
            if (hb_face_get_glyph_count(face.get()) == 0)
                face.reset();
        }
    }
    return m_faces.emplace(postScriptName, std::move(face)).first->second.get();
}
