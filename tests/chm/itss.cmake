tomefold_add_test(itss_protocol_tests SANITIZE SOURCES ITSSProtocolTest.cpp LIBS tomefold_chm)
tomefold_add_test(chm_web_page_tests WEB SOURCES CHMWebPageTest.cpp LIBS tomefold_chm Qt6::Network)
tomefold_add_test(chm_page_encoding_tests SANITIZE SOURCES PageEncodingTest.cpp LIBS tomefold_chm)
