# The codec glue reads untrusted bytes: its tests also run under the sanitizers.
set(codec_test_images codec/CodecTestImages.cpp)
tomefold_add_test(toolkit_jpeg_codec_tests SANITIZE
  SOURCES codec/JPEGCodecTest.cpp ${codec_test_images}
  LIBS tomefold_toolkit)
tomefold_add_test(toolkit_jpeg2000_codec_tests SANITIZE
  SOURCES codec/JPEG2000CodecTest.cpp ${codec_test_images}
  LIBS tomefold_toolkit)
tomefold_add_test(toolkit_webp_codec_tests SANITIZE
  SOURCES codec/WebPCodecTest.cpp ${codec_test_images}
  LIBS tomefold_toolkit)
tomefold_add_test(toolkit_webp_reader_tests SANITIZE
  SOURCES codec/WebPPictureReadersTest.cpp ${codec_test_images}
  LIBS tomefold_toolkit)
