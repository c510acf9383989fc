# A file system that answers after a fixed delay, for bench/slow_fs.sh; built
# where libfuse3 is installed.
pkg_check_modules(FUSE3 QUIET IMPORTED_TARGET fuse3)
if(FUSE3_FOUND)
  add_executable(sizetree_slow_fs ${CMAKE_CURRENT_LIST_DIR}/slow_fs.cpp)
  target_link_libraries(sizetree_slow_fs PRIVATE PkgConfig::FUSE3)
endif()
