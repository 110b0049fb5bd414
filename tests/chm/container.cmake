# The container check over damaged copies of compiled fixtures.
tomefold_add_test(chm_container_check_tests SANITIZE
  SOURCES CHMContainerCheckTest.cpp
  LIBS tomefold_chm)
