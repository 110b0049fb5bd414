#pragma once

#include "toolkit/options/ImageSizeOptions.h"

#include <QImage>
#include <QString>

class ImageConverter;

// Renders the selected pages of the converter's open PDF into image files in its destination folder,
// one file per page, or all pages into one multi-page TIFF. Pages are drawn by Poppler's Splash
// renderer straight into a bitmap of the final pixel size; with `m_concurrent` set, up to processors - 1
// pages render at once, each worker thread on its own copy of the document. With applySize the size
// record sets each page's pixel size instead of the resolution. Returns the run's result, which stays
// true only when every page rendered and was written; a cancelled run is not a successful one.
bool RenderPDFPages(ImageConverter& converter, bool applySize, ImageSizeOptions size);

// Draws every page of the converter's PDF image representation at twice its size into
// "<folder>/<base>-001.<extension>", "-002"... through the representation writer. The result is that of
// the last page; false without pages. No entry point uses it.
bool RenderPDFPagesWithImageRep(ImageConverter& converter);

// The extension of the converter's output type.
QString GetOutputExtension(const ImageConverter& converter);
