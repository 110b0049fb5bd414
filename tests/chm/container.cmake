# The container check over damaged copies of compiled fixtures.
tomefold_add_test(chm_container_check_tests SANITIZE
  SOURCES CHMContainerCheckTest.cpp
  LIBS tomefold_chm)
# LZX-compressed data that chmlib's decoder would follow outside its buffers, alone and in fixtures.
tomefold_add_test(chm_lzx_check_tests SANITIZE SOURCES LZXCheckTest.cpp LIBS tomefold_chm)
# Cut-off copies of compiled fixtures (and of given real help files) read what they hold.
tomefold_add_test(chm_truncation_tests SANITIZE SOURCES CHMTruncationTest.cpp LIBS tomefold_chm)
