# The final alert's list of files around its length limit; the outcome's texts built from their own
# source, so that the program needs no more than the localized strings.
tomefold_add_test(final_alert_list_tests
  SOURCES batch/FinalAlertListLengthTest.cpp ${PROJECT_SOURCE_DIR}/src/app/batch/BatchOutcome.cpp
  LIBS tomefold_common)
