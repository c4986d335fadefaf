# The patent text retrieval: the addresses headless, the fetching with the real web view under Xvfb against a
# stand-in server on 127.0.0.1 (no other address is ever reached).
claimcheck_add_qt_test(tst_retrieval_addresses SOURCES tst_retrieval_addresses.cpp LIBS claimcheck_input)
claimcheck_add_qt_test(tst_retrieval SOURCES tst_retrieval.cpp
    LIBS claimcheck_input claimcheck_test_windows TIMEOUT 600 XVFB)
# Runs Chromium inside the test process: scripts/test --sanitize leaves it out (see there). It runs alone: its
# checks that a close ends a fetch at once and that a late copy of a huge page goes nowhere time the web engine, whose
# work a test running beside it slowed by seconds (seen: a close taking 1.6 s to end the command).
set_tests_properties(tst_retrieval PROPERTIES LABELS webengine RUN_SERIAL TRUE)
