# Edge cases of the toolkit's decoders, converters and writers: values on bounds, boxes larger on
# one side only, resolutions that differ by axis, palettes, inks, runs of spaces.
tomefold_add_test(toolkit_edge_case_tests SANITIZE
  SOURCES edges/TGAColourMapTest.cpp edges/CMYKInksTest.cpp edges/StitchingBoundsTest.cpp
          edges/StretchAndUnitsTest.cpp edges/PageImageSizeTest.cpp edges/ODTSpacesTest.cpp edges/PhotoshopResourcesTest.cpp edges/SGIRunLengthTest.cpp
          pdf/TestPDFObjects.cpp pdfimages/PDFImageTestFiles.cpp writing/WritingTestSupport.cpp
          writing/WritingTestSupport.h ToolkitTestImages.cpp ToolkitTestImages.h
  LIBS tomefold_toolkit poppler::core Qt6::Gui PkgConfig::JPEG PkgConfig::OPENJP2 PkgConfig::WEBP PkgConfig::TIFF
       PkgConfig::EXIV2 PkgConfig::QPDF giflib::giflib)
