# The word list filled with up to a million entries, shown, type-ahead and read back.
qt_add_executable(claimcheck_wordlist_bench ${CMAKE_CURRENT_LIST_DIR}/wordlist_bench.cpp)
target_link_libraries(claimcheck_wordlist_bench PRIVATE claimcheck_results benchmark::benchmark)
