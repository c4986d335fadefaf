# The report program's whole run against the analysis alone, and its cost on descriptions up to 10 MB.
qt_add_executable(claimcheck_report_bench ${CMAKE_CURRENT_LIST_DIR}/report_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/synthetic_text.cpp ${CMAKE_CURRENT_LIST_DIR}/synthetic_text.h)
set_target_properties(claimcheck_report_bench PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_libraries(claimcheck_report_bench PRIVATE claimcheck_report claimcheck_test_oracle benchmark::benchmark)

# Which claim words each rule set reports, planted into the corpus patents' claims.
add_executable(claimcheck_stems_recall ${CMAKE_CURRENT_LIST_DIR}/stems_recall.cpp)
set_target_properties(claimcheck_stems_recall PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_libraries(claimcheck_stems_recall PRIVATE claimcheck_report claimcheck_test_oracle)
