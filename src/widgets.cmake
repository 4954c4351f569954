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
