# Remembered scans: the snapshot copy and the store's write of a scanned
# tree (bench/history_snapshot.cpp, run by bench/history.sh).
add_executable(history_snapshot ${CMAKE_CURRENT_LIST_DIR}/history_snapshot.cpp)
target_link_libraries(history_snapshot PRIVATE tallowin_history)
