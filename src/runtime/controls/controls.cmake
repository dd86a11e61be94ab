# Controls of the host package: labelled edits, general grids, status bar and rights-aware buttons.
target_sources(QuillCMRunStd PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Kvbasicinfocomponent.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvbasicinfocomponent.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvcontrols.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvcontrols.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvggeneralgrid.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvggeneralgrid.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvgridexport.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvgridexport.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvtranslations.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvtranslations.h
)
target_include_directories(QuillCMRunStd PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# Excel export of the grids (libxlsxwriter).
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(QuillCMRunStd PRIVATE PkgConfig::XLSXWRITER)
