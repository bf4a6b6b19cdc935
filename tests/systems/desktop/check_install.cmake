# Installs the build into a scratch prefix and checks that the program, its desktop entry, its
# icons, manual page and AppStream metadata are where a desktop looks for them, and that the
# files only the Debian package holds stay out.
#   cmake -D BUILD_DIR=... -D PREFIX=... -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/quillfen share/applications/quillfen.desktop
             share/icons/hicolor/16x16/apps/quillfen.png share/icons/hicolor/32x32/apps/quillfen.png
             share/man/man1/quillfen.1.gz share/metainfo/org.quillfen.quillfen.metainfo.xml
             share/doc/quillfen/copyright)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(file share/doc/quillfen/changelog.Debian.gz share/lintian)
  if(EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "installed, but the Debian package's own: ${file}")
  endif()
endforeach()
file(READ ${PREFIX}/share/applications/quillfen.desktop entry)
foreach(line "Exec=quillfen" "Icon=quillfen" "Name=GL Quillfen" "Type=Application")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
file(READ ${PREFIX}/share/icons/hicolor/32x32/apps/quillfen.png header LIMIT 8 HEX)
if(NOT header STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "the 32 x 32 icon is no PNG file")
endif()
file(REMOVE_RECURSE ${PREFIX})
