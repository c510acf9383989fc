# Size tree: the whole-tree re-sort (Google Benchmark) and the generator of
# the test tree that bench/scan_compare.sh scans.
add_executable(sizetree_bench ${CMAKE_CURRENT_LIST_DIR}/sizetree_bench.cpp)
target_link_libraries(sizetree_bench PRIVATE tallowin_sizetree benchmark::benchmark)
add_executable(sizetree_make_tree ${CMAKE_CURRENT_LIST_DIR}/sizetree_make_tree.cpp)
# Listing the files of one folder of a million files (bench/sizetree_loose_files.cpp).
add_executable(sizetree_loose_files ${CMAKE_CURRENT_LIST_DIR}/sizetree_loose_files.cpp)
target_link_libraries(sizetree_loose_files PRIVATE tallowin_sizetree)
