#pragma once

// The conversion toolkit as a host sees it: eight plain functions, each taking a pointer to a record the
// caller fills and owns, and returning true when the conversion succeeded. Each builds its converter for
// the one call and destroys it on every exit, exceptions included, which also removes the converter's
// temporary files; none keeps state between calls or takes ownership of anything in the record. A null
// record, or a required field left empty, returns false without writing anything. Entry points that
// report progress (the record's progress target) send their reports to the main thread and wait for
// them, so a host calls them from a worker thread while the main thread's event loop runs.

#include "toolkit/imageio/Image.h"
#include "toolkit/options/FilesToPDFConversionOptions.h"
#include "toolkit/options/ImageConversionOptions.h"
#include "toolkit/options/ImagesToPDFConversionOptions.h"
#include "toolkit/options/PDFToDocumentConversionOptions.h"
#include "toolkit/options/TextToPDFConversionOptions.h"

// One image file to another image format, the pixels kept. Requires sourceURL and destinationURL. A dpi
// below 1 writes each representation at its own resolution; otherwise dpi is written for both axes.
bool ConvertImage(const ImageConversionOptions* options);

// One image file to another, resized, rotated, flipped, recoloured, with the text stamp and the overlay
// image. Requires sourceURL, and destinationURL unless keepImageInMemory is set: then no file is written
// and the finished image is handed back in resultImage.
bool ConvertImageWithOptions(ImageConversionOptions* options);

// The pages of the PDF at sourceURL to image files in the folder destinationURL. False, writing nothing,
// when the PDF cannot be opened or its password does not unlock it.
bool ConvertPDFToImages(const ImageConversionOptions* options);

// The images embedded in the PDF at sourceURL to image files in the folder destinationURL; the same
// failures as ConvertPDFToImages.
bool ExtractImagesFromPDF(const ImageConversionOptions* options);

// Image and PDF files to one PDF each in the folder destinationURL, or with mergeIntoOne to the one PDF
// destinationURL.
bool ConvertImagesToPDF(const ImagesToPDFConversionOptions* options);

// The PDF at sourceURL to a text document (plain text, RTF, RTFD, DOC, DOCX or ODT) in the folder
// destinationURL. A PDF that cannot be opened returns false.
bool ConvertPDFToDocument(const PDFToDocumentConversionOptions* options);

// Text documents to one PDF each, or with mergeIntoOne to one merged PDF.
bool ConvertTextToPDF(const TextToPDFConversionOptions* options);

// A mixed list of images, text documents, PDFs and HTML files to one PDF each, or with mergeIntoOne to
// one merged PDF. Requires items and destinationURL.
bool ConvertFilesToPDF(const FilesToPDFConversionOptions* options);

// The file URL of an absolute path given as the file system's bytes, which need not be UTF-8 (its path holds
// them percent-encoded). Every entry point finds and writes files so named, from sourceURL,
// destinationURL and the lists' "FilePath" alike.
QUrl FileURLFromPathBytes(const QByteArray& path);

// For a host building such a list: whether the file is to be declared an HTML file, by its type, else by
// its extension ("html", "HTML", "htm", "HTM", "svg", "asp", "aspx", "jsp", "xhtml", as spelled).
bool IsHTMLFile(const QUrl& url);
