#pragma once

#include <map>
#include <memory>
#include <string>

struct hb_face_t;

// Font files installed on this machine, found by the PostScript name a PDF font carries (less
// its subset tag) through fontconfig, and opened once each.
class InstalledFontFaces {
public:
    InstalledFontFaces();
    ~InstalledFontFaces();
    InstalledFontFaces(const InstalledFontFaces&) = delete;
    InstalledFontFaces& operator=(const InstalledFontFaces&) = delete;

    // The face of that name, or null when no installed file holds it. Owned by this object.
    hb_face_t* faceNamed(const std::string& postScriptName);

    // Where fontconfig finds the face: a file and the face's index in it; empty when not installed.
    static std::pair<std::string, int> fileOf(const std::string& postScriptName);

private:
    struct FaceRelease {
        void operator()(hb_face_t* face) const;
    };
    std::map<std::string, std::unique_ptr<hb_face_t, FaceRelease>> m_faces; // null: not installed
};
