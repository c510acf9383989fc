# Chart engine benchmarks: a full drawing of the chart panel and a repaint
# served from its buffer.
add_executable(chart_panel_bench ${CMAKE_CURRENT_LIST_DIR}/chart_panel_bench.cpp)
target_link_libraries(chart_panel_bench PRIVATE tallowin_chart_qt benchmark::benchmark_main)

# The whole chart with title, legend and a 50-slice pie with marks.
add_executable(chart_full_bench ${CMAKE_CURRENT_LIST_DIR}/chart_full_bench.cpp)
target_link_libraries(chart_full_bench PRIVATE tallowin_chart_qt benchmark::benchmark_main)
