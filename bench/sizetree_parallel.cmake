# The scan with either listing engine, timed alone (bench/scan_parallel.sh).
add_executable(sizetree_scan_engines ${CMAKE_CURRENT_LIST_DIR}/scan_parallel_engines.cpp)
target_link_libraries(sizetree_scan_engines PRIVATE tallowin_sizetree)
