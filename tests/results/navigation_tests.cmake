# Occurrence navigation and the disclosure index echo, on a results window filled by hand.
claimcheck_add_qt_test(tst_navigation SOURCES tst_navigation.cpp LIBS claimcheck_test_windows TIMEOUT 60)
claimcheck_add_qt_test(tst_echo SOURCES tst_echo.cpp LIBS claimcheck_test_windows TIMEOUT 60)
