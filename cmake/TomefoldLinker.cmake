# Links with lld where it is installed (scripts/packages.txt installs it): the hundred-odd test
# programs each link Qt, qpdf and Poppler, which the default linker takes four times as long over.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld TOMEFOLD_HAVE_LLD)
if(TOMEFOLD_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()
