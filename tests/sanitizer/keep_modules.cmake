# Included by the top-level CMakeLists.txt when QF_SANITIZE is on, before any target is made:
# every executable gets the dlclose of keep_modules.c, exported so that the libraries it loads
# call it instead of the C library's.
add_library(qf_keep_modules STATIC ${CMAKE_CURRENT_LIST_DIR}/keep_modules.c)
link_libraries(qf_keep_modules)
add_link_options(-Wl,--undefined=dlclose -Wl,--export-dynamic-symbol=dlclose)
