# Chart engine benchmarks: a full drawing of the chart panel and a repaint
# served from its buffer.
add_executable(chart_panel_bench ${CMAKE_CURRENT_LIST_DIR}/chart_panel_bench.cpp)
target_link_libraries(chart_panel_bench PRIVATE tallowin_chart_qt tallowin_feed benchmark::benchmark_main)

# The recording surface is test support; built here too when the tests are not.
if(NOT TARGET chart_test_support)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/chart/support ${CMAKE_BINARY_DIR}/chart_test_support)
endif()

# The whole chart with title, legend and a 50-slice pie with marks.
add_executable(chart_full_bench ${CMAKE_CURRENT_LIST_DIR}/chart_full_bench.cpp)
target_link_libraries(chart_full_bench PRIVATE tallowin_chart_qt tallowin_feed chart_test_support benchmark::benchmark_main)
