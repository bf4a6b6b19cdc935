# Included by the top-level CMakeLists.txt when QF_SANITIZE is on, before any target is made:
# every executable links the object of keep_modules.c itself (an archive member would lose to
# the sanitizer runtime's own dlclose) and exports its dlclose, so that the libraries it loads
# call it instead of the C library's.
add_library(qf_keep_modules OBJECT ${CMAKE_CURRENT_LIST_DIR}/keep_modules.c)
link_libraries(qf_keep_modules)
add_link_options(-Wl,--export-dynamic-symbol=dlclose)
