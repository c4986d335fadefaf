# The results window's layout and look, and the word list.
claimcheck_add_qt_test(tst_wordlist SOURCES tst_wordlist.cpp LIBS claimcheck_results TIMEOUT 120)
claimcheck_add_qt_test(tst_trevask_layout SOURCES tst_trevask_layout.cpp LIBS claimcheck_results TIMEOUT 120)
