tomefold_add_test(json_value_scan_tests SOURCES rating/JSONValueScanTest.cpp LIBS tomefold_app)
tomefold_add_test(store_rating_tests SOURCES rating/MacAppStoreRatingTest.cpp LIBS tomefold_app Qt6::Network)
