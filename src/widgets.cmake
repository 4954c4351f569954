# brindle_widgets: the drop-down labels, the round button, the panels and
# the dialogs, on top of the core with QtGui and QtWidgets.
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui Widgets)

set(BRINDLE_WIDGETS_DIRS panels designer CACHE INTERNAL "Folders of brindle_widgets")
set(widgets_sources)
set(widgets_headers)
foreach(dir IN LISTS BRINDLE_WIDGETS_DIRS)
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  file(GLOB dir_headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
  list(APPEND widgets_sources ${dir_sources})
  list(APPEND widgets_headers ${dir_headers})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ${BRINDLE_INCLUDE_ROOT}/brindle/${dir} SYMBOLIC)
endforeach()

add_library(brindle_widgets ${widgets_sources} ${widgets_headers})
add_library(Brindle::widgets ALIAS brindle_widgets)
set_target_properties(brindle_widgets PROPERTIES AUTOMOC ON EXPORT_NAME widgets
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
generate_export_header(brindle_widgets EXPORT_FILE_NAME ${BRINDLE_INCLUDE_ROOT}/brindle/brindle_widgets_export.h)
target_link_libraries(brindle_widgets PUBLIC brindle_core Qt6::Gui Qt6::Widgets)

install(TARGETS brindle_widgets EXPORT BrindleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(dir IN LISTS BRINDLE_WIDGETS_DIRS)
  install(DIRECTORY ${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/brindle/${dir}
          FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
endforeach()
install(FILES ${BRINDLE_INCLUDE_ROOT}/brindle/brindle_widgets_export.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/brindle)

# One catalogue for all a user reads: the widgets, the studio and the core's
# default texts (titles, operator captions, messages). Built into the library
# so that a host installs no files; `update_translations` runs lupdate.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)
file(GLOB translated_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cpp
     ${PROJECT_SOURCE_DIR}/apps/brindle-studio/*.cpp)
qt_add_translations(brindle_widgets
  TS_FILES ${PROJECT_SOURCE_DIR}/translations/brindle_de.ts
  SOURCES ${translated_sources}
  RESOURCE_PREFIX /brindle/translations
  LUPDATE_OPTIONS -no-obsolete -locations none
  OUTPUT_TARGETS translation_targets)
# A static library hands its resource on as an object library, which the
# package must export with it.
if(translation_targets)
  install(TARGETS ${translation_targets} EXPORT BrindleTargets
    OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
