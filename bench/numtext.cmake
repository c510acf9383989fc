# Number text: FormatGeneral and FormatNumberPattern per call.
add_executable(numtext_bench ${CMAKE_CURRENT_LIST_DIR}/numtext_bench.cpp)
target_link_libraries(numtext_bench PRIVATE tallowin_numtext benchmark::benchmark_main)
