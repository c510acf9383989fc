# The saved scan reader's fuzz target, for the fuzzing build (clang, the
# program's libraries built with -fsanitize=fuzzer-no-link,address,undefined).
# Seeds: tests/fuzz/corpus/SavedScan (our export, the peers', packed ones).
add_executable(SavedScan_fuzz ${CMAKE_CURRENT_LIST_DIR}/SavedScan_fuzz.cpp)
target_include_directories(SavedScan_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(SavedScan_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(SavedScan_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
target_compile_features(SavedScan_fuzz PRIVATE cxx_std_20)
target_link_libraries(SavedScan_fuzz PRIVATE tallowin_savedscan)
