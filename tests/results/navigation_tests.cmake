# Occurrence navigation, the disclosure index echo and the helpers they share: the pumped pause and the message box.
claimcheck_add_qt_test(tst_pumped_pause SOURCES tst_pumped_pause.cpp LIBS claimcheck_results TIMEOUT 60)
claimcheck_add_qt_test(tst_message_box SOURCES tst_message_box.cpp LIBS claimcheck_results TIMEOUT 60)
claimcheck_add_qt_test(tst_navigation SOURCES tst_navigation.cpp results_window_fixture.h LIBS claimcheck_results
    TIMEOUT 60)
claimcheck_add_qt_test(tst_echo SOURCES tst_echo.cpp results_window_fixture.h LIBS claimcheck_results TIMEOUT 60)
