# The container check over damaged copies of compiled fixtures.
tomefold_add_test(chm_container_check_tests SANITIZE
  SOURCES CHMContainerCheckTest.cpp
  LIBS tomefold_chm)
# LZX-compressed data that chmlib's decoder would follow outside its buffers, alone and in fixtures.
tomefold_add_test(chm_lzx_check_tests SANITIZE SOURCES LZXCheckTest.cpp LIBS tomefold_chm)
