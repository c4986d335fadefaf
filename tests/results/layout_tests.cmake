# The results window's layout and look, the word list, and the shared look and twips helpers.
claimcheck_add_qt_test(tst_wordlist SOURCES tst_wordlist.cpp LIBS claimcheck_results TIMEOUT 120)
claimcheck_add_qt_test(tst_trevask_layout SOURCES tst_trevask_layout.cpp LIBS claimcheck_results TIMEOUT 120)
claimcheck_add_qt_test(tst_look SOURCES tst_look.cpp LIBS claimcheck_results TIMEOUT 60)
