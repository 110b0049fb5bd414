tomefold_add_test(json_value_scan_tests SOURCES rating/JSONValueScanTest.cpp LIBS tomefold_app)
tomefold_add_test(store_rating_tests SOURCES rating/MacAppStoreRatingTest.cpp LIBS tomefold_app Qt6::Network)
# The store's answers come from the network.
foreach(name json_value_scan_tests store_rating_tests)
  tomefold_guard_hangs(${name})
endforeach()
