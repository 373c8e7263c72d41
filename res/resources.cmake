# The resources compiled into the editor: its icons and Qt's Chinese translation, and on
# Windows the program's icon and version for its file properties. Sets
# corvane_qrc_files, corvane_svg_icons and, on Windows, corvane_windows_rc.
set(res ${CMAKE_SOURCE_DIR}/res)
set(out ${CMAKE_BINARY_DIR}/res)
set(icon_names corvane import export moveup movedown deletechecked linepoints autoselect
    calculate fitall about jstake)

# Qt's own buttons and dialogs in Chinese wherever the program runs, also where no Qt
# translations are installed (Windows).
find_file(CORVANE_QTBASE_ZH_CN qtbase_zh_CN.qm
          PATHS /usr/share/qt6/translations ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${out})
configure_file(${CORVANE_QTBASE_ZH_CN} ${out}/qtbase_zh_CN.qm COPYONLY)
file(WRITE ${out}/translations.qrc.tmp
     "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/translations\">\n"
     "    <file>qtbase_zh_CN.qm</file>\n  </qresource>\n</RCC>\n")
configure_file(${out}/translations.qrc.tmp ${out}/translations.qrc COPYONLY)
set(corvane_qrc_files ${out}/translations.qrc)

find_program(RSVG_CONVERT_PROGRAM rsvg-convert)
if(TARGET Qt6::Svg)
  set(corvane_svg_icons ON)
  list(APPEND corvane_qrc_files ${res}/corvane.qrc)
else()
  # No SVG reader: each drawing as pictures of the sizes menus and tool bars use.
  set(corvane_svg_icons OFF)
  if(NOT RSVG_CONVERT_PROGRAM)
    message(FATAL_ERROR "rsvg-convert (librsvg2-bin) is needed for the icons of a Qt without Svg")
  endif()
  set(entries)
  set(pictures)
  foreach(name IN LISTS icon_names)
    foreach(size 16 32 64)
      set(png ${out}/icons/${name}-${size}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${RSVG_CONVERT_PROGRAM} -w ${size} -h ${size} -o ${png} ${res}/icons/${name}.svg
        DEPENDS ${res}/icons/${name}.svg VERBATIM)
      list(APPEND pictures ${png})
      string(APPEND entries "    <file>icons/${name}-${size}.png</file>\n")
    endforeach()
  endforeach()
  file(MAKE_DIRECTORY ${out}/icons)
  file(WRITE ${out}/icons.qrc.tmp
       "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n${entries}"
       "  </qresource>\n</RCC>\n")
  configure_file(${out}/icons.qrc.tmp ${out}/icons.qrc COPYONLY)
  set_source_files_properties(${out}/icons.qrc PROPERTIES OBJECT_DEPENDS "${pictures}")
  list(APPEND corvane_qrc_files ${out}/icons.qrc)
endif()

if(WIN32)
  # The .ico of Explorer, the task bar and the file association: the drawing in the
  # sizes Windows asks for, in one file.
  find_program(CONVERT_PROGRAM NAMES convert REQUIRED)
  set(sizes 16 24 32 48 64 128 256)
  set(layers)
  foreach(size IN LISTS sizes)
    set(png ${out}/ico/corvane-${size}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/ico
      COMMAND ${RSVG_CONVERT_PROGRAM} -w ${size} -h ${size} -o ${png} ${res}/icons/corvane.svg
      DEPENDS ${res}/icons/corvane.svg VERBATIM)
    list(APPEND layers ${png})
  endforeach()
  add_custom_command(OUTPUT ${out}/corvane.ico
    COMMAND ${CONVERT_PROGRAM} ${layers} ${out}/corvane.ico
    DEPENDS ${layers} VERBATIM)
  set(CORVANE_ICO ${out}/corvane.ico)
  configure_file(${res}/corvane.rc.in ${out}/corvane.rc @ONLY)
  set_source_files_properties(${out}/corvane.rc PROPERTIES OBJECT_DEPENDS ${out}/corvane.ico)
  set(corvane_windows_rc ${out}/corvane.rc)
endif()
