# Installs the build into a scratch prefix and checks that the program, its desktop
# entry and its icons land in their freedesktop places.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    bin/wordprocessor
    share/applications/wordprocessor.desktop
    share/icons/hicolor/scalable/apps/wordprocessor.svg)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/wordprocessor.png)
endforeach()
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/wordprocessor.desktop" entry)
foreach(line "Exec=wordprocessor %F" "MimeType=text/rtf;application/rtf;text/plain;" "Icon=wordprocessor")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "desktop entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
