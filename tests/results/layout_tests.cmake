# The results window's layout and look, and the word list.
claimcheck_add_qt_test(tst_wordlist SOURCES tst_wordlist.cpp LIBS claimcheck_test_windows TIMEOUT 120)
claimcheck_add_qt_test(tst_trevask_layout SOURCES tst_trevask_layout.cpp LIBS claimcheck_results TIMEOUT 120)
# The word list's order in a Spanish user's environment: it follows LC_COLLATE (LC_ALL, which would win, is unset).
add_test(NAME tst_wordlist_spanish_collation COMMAND tst_wordlist followsTheUsersCollationLocale)
set_tests_properties(tst_wordlist_spanish_collation PROPERTIES TIMEOUT 60
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_COLLATE=es_ES.UTF-8"
    ENVIRONMENT_MODIFICATION "LC_ALL=unset:")
